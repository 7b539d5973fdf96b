#pragma once

#include "online/feedbackrequest.h"

#include <atomic>
#include <memory>
#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
template<typename T>
class QFutureWatcher;

namespace inkvale {

class DesktopActions;
class LimitedTextEdit;
class MarkerPanel;
class UserDialogs;

// The feedback window: an optional like or dislike marker, a text and an optional e-mail
// address, sent to the maker's service. Shown modally, a new one each time; it destroys itself
// when closed. Sending runs in the background: the window stays responsive and cannot send
// twice at once.
class FeedbackWindow : public QWidget
{
    Q_OBJECT
public:
    FeedbackWindow(const FeedbackEndpoint &endpoint, UserDialogs &dialogs, DesktopActions &desktop,
                   QWidget *parent = nullptr);
    ~FeedbackWindow() override;

    QFrame *markerRow = nullptr;
    MarkerPanel *likePanel = nullptr;
    MarkerPanel *dislikePanel = nullptr;
    QLabel *likeImage = nullptr;
    QLabel *dislikeImage = nullptr;
    QLabel *headingLabel = nullptr;
    QLabel *questionLabel = nullptr;
    LimitedTextEdit *feedbackEdit = nullptr;
    QFrame *emailRow = nullptr;
    QLabel *emailLabel = nullptr;
    QLineEdit *emailEdit = nullptr;
    QFrame *buttonRow = nullptr;
    QPushButton *sendButton = nullptr;

    void likePressed(Qt::MouseButton button);
    void dislikePressed(Qt::MouseButton button);
    void send();
    // A request is on its way.
    bool isSending() const;

signals:
    // The request has been judged: `delivered` when the service answered "OK".
    void sendFinished(bool delivered);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void initialise();
    void toggleMarker(MarkerPanel &pressed, MarkerPanel &other);
    void setSending(bool sending);
    void sendEnded();
    FeedbackMarker marker() const;

    FeedbackEndpoint m_endpoint;
    UserDialogs &m_dialogs;
    DesktopActions &m_desktop;
    QFutureWatcher<bool> *m_request;
    // Set when the window goes while its request runs, so that the request ends at once.
    std::shared_ptr<std::atomic<bool>> m_cancel;
};

} // namespace inkvale
