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
extern int CloseCountdown;

// The borderless corner notice that announces a newer version: clicking its text opens the
// download address. It can be dragged, closes itself after about eleven seconds, and is only
// hidden when closed.
class TNewVer : public QWidget
{
    Q_OBJECT
public:
    // `mainWindow` keeps the keyboard focus when the notice shows up; `desktop` opens the
    // address.
    TNewVer(const QString &ServerVersion, const QString &DownloadURL, DesktopActions &desktop,
            QWidget *mainWindow);

    QFrame *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Panel3 = nullptr;
    QToolButton *Button1 = nullptr;
    QTimer *TimerStart = nullptr;
    QTimer *TimerClose = nullptr;
    QTimer *TimerLink = nullptr;

    bool Dragging() const { return m_dragging; }

    void TimerStartTimer();
    void TimerCloseTimer();
    void TimerLinkTimer();
    void Label2Click();
    void Button1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void FormCreate(const QString &ServerVersion);
    void FormMouseDown(Qt::MouseButton button, const QPoint &screenPoint);
    void FormMouseMove(const QPoint &screenPoint);
    void FormMouseUp();
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
