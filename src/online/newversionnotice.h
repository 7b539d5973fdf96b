#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;
class QToolButton;

namespace inkvale {

class CentreReveal;
class DesktopActions;

// Seconds until the new-version notice closes by itself. Program-wide and never reset: the
// notice is created at most once per run.
extern int closeCountdown;

// The borderless corner notice that announces a newer version: clicking its text opens the
// download address. It can be dragged, closes itself after about eleven seconds, and is only
// hidden when closed.
class NewVersionNotice : public QWidget
{
    Q_OBJECT
public:
    // `mainWindow` keeps the keyboard focus when the notice shows up; `desktop` opens the
    // address.
    NewVersionNotice(const QString &serverVersion, const QString &downloadUrl,
                     DesktopActions &desktop, QWidget *mainWindow);

    QFrame *frame = nullptr;
    QLabel *iconImage = nullptr;
    QFrame *textPanel = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *linkLabel = nullptr;
    QFrame *closePanel = nullptr;
    QToolButton *closeButton = nullptr;
    QTimer *revealTimer = nullptr;
    QTimer *closeTimer = nullptr;
    QTimer *linkTimer = nullptr;

    bool isDragging() const { return m_dragging; }

    void startReveal();
    void countDown();
    void updateLinkColour();
    void openDownloadPage();
    void closeNotice();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void initialise(const QString &serverVersion);
    void startDrag(Qt::MouseButton button, const QPoint &screenPoint);
    void moveDrag(const QPoint &screenPoint);
    void endDrag();
    bool linkMouseEvent(QEvent *event);

    QString m_downloadUrl;
    DesktopActions &m_desktop;
    QPointer<QWidget> m_mainWindow;
    CentreReveal *m_reveal = nullptr;
    bool m_dragging = false;
    QPoint m_lastDragPoint;
    bool m_linkPressed = false;
};

} // namespace inkvale
