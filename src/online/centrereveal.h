#pragma once

#include <functional>
#include <QObject>

class QVariantAnimation;
class QWidget;

namespace inkvale {

// Grows a window out of its centre or shrinks it into its centre by animating its mask, so
// that its geometry and layout stay as they are while it runs.
class CentreReveal : public QObject
{
    Q_OBJECT
public:
    explicit CentreReveal(QWidget &window);

    // From a point in the centre to the whole window within `durationMs`.
    void grow(int durationMs);
    // From the whole window to its centre within `durationMs`; then `done` runs and the
    // window's mask is cleared again.
    void shrink(int durationMs, std::function<void()> done);
    bool isRunning() const;

private:
    void run(int durationMs, qreal from, qreal to);
    void showFraction(qreal fraction);
    void finish();

    QWidget &m_window;
    QVariantAnimation *m_animation;
    std::function<void()> m_done;
};

} // namespace inkvale
