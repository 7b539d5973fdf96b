#pragma once

#include <optional>
#include <QDateTime>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QString>

namespace inkvale {

// The picture of a row as its conversion gets it (upright, no larger than the largest side),
// for the preview's original and 100 % views; decoded off the event loop, the newest request
// replacing an older one. The last picture is kept for the next request of the same.
class PreviewOriginal : public QObject
{
    Q_OBJECT
public:
    explicit PreviewOriginal(QObject *parent = nullptr);
    // Waits for the decoding thread.
    ~PreviewOriginal() override;

    // Loads `input` for a conversion with `effect` and `largestSide` (0: the picture's own
    // size); the kept picture is delivered at once. A picture that the tool could not convert
    // on this machine is not decoded either.
    void load(const QString &input, const QString &effect, int largestSide);
    // Stops delivering, and forgets the kept picture.
    void clear();
    bool isBusy() const { return m_current.has_value(); }

signals:
    // `input`'s picture; null when it cannot be read or is refused.
    void loaded(const QString &input, const QImage &picture);

private:
    struct Request
    {
        QString input;
        QString effect;
        int largestSide = 0;
        // A file changed since it was decoded is decoded afresh.
        QDateTime modified;
    };

    void start();
    void decoded();

    QFutureWatcher<QImage> m_decoding;
    // Until its end is handled, whatever was asked meanwhile.
    bool m_decodingRuns = false;
    std::optional<Request> m_current;
    std::optional<Request> m_pending;
    std::optional<Request> m_kept;
    QImage m_keptPicture;
};

} // namespace inkvale
