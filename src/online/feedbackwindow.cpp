#include "online/feedbackwindow.h"

#include "online/limitedtextedit.h"
#include "online/markerpanel.h"
#include "online/pixelfont.h"
#include "online/trimblanks.h"
#include "windowkit/appidentity.h"
#include "windowkit/artwork.h"
#include "windowkit/desktopactions.h"
#include "windowkit/userdialogs.h"
#include "windowkit/widgetnames.h"

#include <QApplication>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>
#include <QVBoxLayout>

namespace inkvale {
namespace {

constexpr int kTextLimit = 10000;
constexpr int kEmailLimit = 100;

QFrame *row(QWidget *parent, const char *name, int height)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setFixedHeight(height);
    return frame;
}

QLabel *picture(const char *name, const QString &artwork)
{
    auto *label = named(new QLabel, name);
    label->setPixmap(artworkIcon(artwork).pixmap(QSize(32, 32)));
    return label;
}

} // namespace

FeedbackWindow::FeedbackWindow(const FeedbackEndpoint &endpoint, UserDialogs &dialogs,
                               DesktopActions &desktop, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_endpoint(endpoint)
    , m_dialogs(dialogs)
    , m_desktop(desktop)
    , m_request(new QFutureWatcher<bool>(this))
{
    setObjectName(QStringLiteral("FeedbackWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    buildControls();
    initialise();
    connect(m_request, &QFutureWatcher<bool>::finished, this, &FeedbackWindow::sendEnded);
}

FeedbackWindow::~FeedbackWindow()
{
    // Closed while sending: the request gives up, nobody waits for it, the cursor comes back.
    if (isSending()) {
        m_cancel->store(true);
        QApplication::restoreOverrideCursor();
    }
}

void FeedbackWindow::buildControls()
{
    setFixedSize(525, 326);
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    markerRow = row(this, "markerRow", 46);
    auto *markers = new QHBoxLayout(markerRow);
    markers->setContentsMargins(3, 3, 3, 3);
    markers->setSpacing(3);
    likeImage = picture("likeImage", QStringLiteral("like"));
    likePanel =
        named(new MarkerPanel(QStringLiteral("I like it!"), likeImage, markerRow), "likePanel");
    dislikeImage = picture("dislikeImage", QStringLiteral("dislike"));
    dislikePanel = named(new MarkerPanel(QStringLiteral("I dislike it!"), dislikeImage, markerRow),
                         "dislikePanel");
    dislikePanel->setFixedWidth(256);
    markers->addWidget(likePanel, 1);
    markers->addWidget(dislikePanel);
    page->addWidget(markerRow);
    connect(likePanel, &MarkerPanel::pressed, this, &FeedbackWindow::likePressed);
    connect(dislikePanel, &MarkerPanel::pressed, this, &FeedbackWindow::dislikePressed);

    headingLabel = named(new QLabel(this), "headingLabel");
    headingLabel->setFont(pixelFont(16));
    headingLabel->setContentsMargins(6, 4, 6, 2);
    page->addWidget(headingLabel);
    questionLabel = named(new QLabel(this), "questionLabel");
    questionLabel->setFont(pixelFont(13, true));
    questionLabel->setContentsMargins(6, 2, 6, 4);
    page->addWidget(questionLabel);

    feedbackEdit = named(new LimitedTextEdit(kTextLimit, this), "feedbackEdit");
    feedbackEdit->setFont(pixelFont(13));
    feedbackEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the e-mail box.
    feedbackEdit->setTabChangesFocus(true);
    auto *memoBox = new QVBoxLayout;
    memoBox->setContentsMargins(6, 0, 6, 0);
    memoBox->addWidget(feedbackEdit);
    page->addLayout(memoBox, 1);

    emailRow = row(this, "emailRow", 30);
    auto *emailLayout = new QHBoxLayout(emailRow);
    emailLayout->setContentsMargins(6, 3, 6, 3);
    emailLabel = named(new QLabel(emailRow), "emailLabel");
    emailLabel->setFont(pixelFont(13));
    emailLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    emailEdit = named(new QLineEdit(emailRow), "emailEdit");
    emailEdit->setFont(pixelFont(13));
    emailEdit->setMaxLength(kEmailLimit);
    emailLayout->addWidget(emailLabel);
    emailLayout->addWidget(emailEdit, 1);
    page->addWidget(emailRow);

    buttonRow = row(this, "buttonRow", 39);
    auto *buttonLayout = new QHBoxLayout(buttonRow);
    buttonLayout->setContentsMargins(3, 3, 6, 3);
    buttonLayout->addStretch();
    sendButton = named(new QPushButton(buttonRow), "sendButton");
    sendButton->setFixedSize(172, 33);
    sendButton->setFont(pixelFont(16));
    sendButton->setIcon(artworkIcon(QStringLiteral("feedback")));
    sendButton->setIconSize(QSize(16, 16));
    // Return or Enter on the focused button sends, as Space does.
    sendButton->setAutoDefault(true);
    buttonLayout->addWidget(sendButton);
    page->addWidget(buttonRow);
    connect(sendButton, &QPushButton::clicked, this, &FeedbackWindow::send);

    // The labels name their boxes for a screen reader, and their keys lead there.
    questionLabel->setBuddy(feedbackEdit);
    emailLabel->setBuddy(emailEdit);
    // The markers come after "Send", so that the text box stays the first stop.
    setTabOrder(feedbackEdit, emailEdit);
    setTabOrder(emailEdit, sendButton);
    setTabOrder(sendButton, likePanel);
    setTabOrder(likePanel, dislikePanel);
    for (QWidget *widget : {static_cast<QWidget *>(feedbackEdit), static_cast<QWidget *>(emailEdit),
                            static_cast<QWidget *>(sendButton), static_cast<QWidget *>(likePanel),
                            static_cast<QWidget *>(dislikePanel)}) {
        widget->installEventFilter(this);
    }
}

void FeedbackWindow::initialise()
{
    setWindowTitle(appIdentity().appProduct + QStringLiteral(" feedback"));
    headingLabel->setText(QStringLiteral("We would really appreciate your feedback."));
    questionLabel->setText(QStringLiteral("&What did you like or dislike?"));
    emailLabel->setText(QStringLiteral("Include my &e-mail:"));
    sendButton->setText(QStringLiteral("&Send"));
    feedbackEdit->setAccessibleName(QStringLiteral("What did you like or dislike?"));
    emailEdit->setAccessibleName(QStringLiteral("Include my e-mail"));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    feedbackEdit->setFocus();
}

void FeedbackWindow::likePressed(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        toggleMarker(*likePanel, *dislikePanel);
    }
}

void FeedbackWindow::dislikePressed(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        toggleMarker(*dislikePanel, *likePanel);
    }
}

void FeedbackWindow::toggleMarker(MarkerPanel &pressed, MarkerPanel &other)
{
    // Pressing a selected marker clears it; selecting one clears the other.
    if (pressed.isSelected()) {
        pressed.setSelected(false);
        return;
    }
    pressed.setSelected(true);
    other.setSelected(false);
}

FeedbackMarker FeedbackWindow::marker() const
{
    if (likePanel->isSelected()) {
        return FeedbackMarker::Like;
    }
    return dislikePanel->isSelected() ? FeedbackMarker::Dislike : FeedbackMarker::None;
}

bool FeedbackWindow::isSending() const
{
    return m_request->isRunning();
}

void FeedbackWindow::send()
{
    if (isSending()) {
        return;
    }
    QString text = feedbackEdit->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString trimmed = trimBlanks(text);
    const QString feedback = composeFeedbackText(marker(), trimmed);
    if (trimmed.isEmpty()) {
        feedbackEdit->setFocus();
        m_desktop.beep();
        return;
    }
    const QString email = trimBlanks(emailEdit->text());
    if (!email.isEmpty() && !isValidFeedbackEmail(email)) {
        emailEdit->setFocus();
        m_dialogs.showMessage(this, QMessageBox::Critical, QStringLiteral("Failure"),
                              QStringLiteral("Invalid e-mail address!"));
        return;
    }
    const std::vector<std::string> form = feedbackFormLines(appIdentity(), feedback, email);
    setSending(true);
    // Up to two attempts of three seconds each: off the window's thread.
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_request->setFuture(
        QtConcurrent::run([endpoint = m_endpoint, form, cancel = m_cancel]() mutable {
            endpoint.options.cancel = cancel.get();
            return sendFeedbackForm(endpoint, form);
        }));
}

void FeedbackWindow::setSending(bool sending)
{
    sendButton->setEnabled(!sending);
    if (sending) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void FeedbackWindow::sendEnded()
{
    setSending(false);
    const bool delivered = m_request->result();
    emit sendFinished(delivered);
    if (!delivered) {
        m_dialogs.showMessage(this, QMessageBox::Critical, QStringLiteral("Failure"),
                              QStringLiteral("Something went wrong. Your feedback could not be "
                                             "delivered.\r\rPlease try again later."));
        return;
    }
    m_dialogs.showMessage(this, QMessageBox::Information, QStringLiteral("Success"),
                          QStringLiteral("Your feedback is received.\r\rThank you!"));
    close();
}

bool FeedbackWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Escape on the text box, the e-mail box, "Send" or a marker closes without sending; the key
    // never reaches the control.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace inkvale
