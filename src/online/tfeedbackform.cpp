#include "online/tfeedbackform.h"

#include "app/appidentity.h"
#include "app/artwork.h"
#include "app/desktopactions.h"
#include "app/userdialogs.h"
#include "app/widgetnames.h"
#include "online/limitedtextedit.h"
#include "online/markerpanel.h"
#include "online/pixelfont.h"
#include "online/trimblanks.h"

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

TFeedbackForm::TFeedbackForm(const FeedbackEndpoint &endpoint, UserDialogs &dialogs,
                             DesktopActions &desktop, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_endpoint(endpoint)
    , m_dialogs(dialogs)
    , m_desktop(desktop)
    , m_request(new QFutureWatcher<bool>(this))
{
    setObjectName(QStringLiteral("FeedbackForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    buildControls();
    FormCreate();
    connect(m_request, &QFutureWatcher<bool>::finished, this, &TFeedbackForm::sendEnded);
}

TFeedbackForm::~TFeedbackForm()
{
    // Closed while sending: the request gives up, nobody waits for it, the cursor comes back.
    if (isSending()) {
        m_cancel->store(true);
        QApplication::restoreOverrideCursor();
    }
}

void TFeedbackForm::buildControls()
{
    setFixedSize(525, 326);
    auto *form = new QVBoxLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->setSpacing(0);

    Panel3 = row(this, "Panel3", 46);
    auto *markers = new QHBoxLayout(Panel3);
    markers->setContentsMargins(3, 3, 3, 3);
    markers->setSpacing(3);
    Image1 = picture("Image1", QStringLiteral("like"));
    Panel4 = named(new MarkerPanel(QStringLiteral("I like it!"), Image1, Panel3), "Panel4");
    Image2 = picture("Image2", QStringLiteral("dislike"));
    Panel5 = named(new MarkerPanel(QStringLiteral("I dislike it!"), Image2, Panel3), "Panel5");
    Panel5->setFixedWidth(256);
    markers->addWidget(Panel4, 1);
    markers->addWidget(Panel5);
    form->addWidget(Panel3);
    connect(Panel4, &MarkerPanel::pressed, this, &TFeedbackForm::Image1MouseDown);
    connect(Panel5, &MarkerPanel::pressed, this, &TFeedbackForm::Image2MouseDown);

    Label1 = named(new QLabel(this), "Label1");
    Label1->setFont(pixelFont(16));
    Label1->setContentsMargins(6, 4, 6, 2);
    form->addWidget(Label1);
    Label2 = named(new QLabel(this), "Label2");
    Label2->setFont(pixelFont(13, true));
    Label2->setContentsMargins(6, 2, 6, 4);
    form->addWidget(Label2);

    Memo1 = named(new LimitedTextEdit(kTextLimit, this), "Memo1");
    Memo1->setFont(pixelFont(13));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the e-mail box.
    Memo1->setTabChangesFocus(true);
    auto *memoBox = new QVBoxLayout;
    memoBox->setContentsMargins(6, 0, 6, 0);
    memoBox->addWidget(Memo1);
    form->addLayout(memoBox, 1);

    Panel1 = row(this, "Panel1", 30);
    auto *emailRow = new QHBoxLayout(Panel1);
    emailRow->setContentsMargins(6, 3, 6, 3);
    Label3 = named(new QLabel(Panel1), "Label3");
    Label3->setFont(pixelFont(13));
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1 = named(new QLineEdit(Panel1), "Edit1");
    Edit1->setFont(pixelFont(13));
    Edit1->setMaxLength(kEmailLimit);
    emailRow->addWidget(Label3);
    emailRow->addWidget(Edit1, 1);
    form->addWidget(Panel1);

    Panel2 = row(this, "Panel2", 39);
    auto *buttonRow = new QHBoxLayout(Panel2);
    buttonRow->setContentsMargins(3, 3, 6, 3);
    buttonRow->addStretch();
    BitBtn1 = named(new QPushButton(Panel2), "BitBtn1");
    BitBtn1->setFixedSize(172, 33);
    BitBtn1->setFont(pixelFont(16));
    BitBtn1->setIcon(artworkIcon(QStringLiteral("feedback")));
    BitBtn1->setIconSize(QSize(16, 16));
    // Return or Enter on the focused button sends, as Space does.
    BitBtn1->setAutoDefault(true);
    buttonRow->addWidget(BitBtn1);
    form->addWidget(Panel2);
    connect(BitBtn1, &QPushButton::clicked, this, &TFeedbackForm::BitBtn1Click);

    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, BitBtn1);
    for (QWidget *widget : {static_cast<QWidget *>(Memo1), static_cast<QWidget *>(Edit1),
                            static_cast<QWidget *>(BitBtn1)}) {
        widget->installEventFilter(this);
    }
}

void TFeedbackForm::FormCreate()
{
    setWindowTitle(appIdentity().AppProduct + QStringLiteral(" feedback"));
    Label1->setText(QStringLiteral("We would really appreciate your feedback."));
    Label2->setText(QStringLiteral("What did you like or dislike?"));
    Label3->setText(QStringLiteral("Include my e-mail:"));
    BitBtn1->setText(QStringLiteral("Send"));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Memo1->setFocus();
}

void TFeedbackForm::Image1MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        toggleMarker(*Panel4, *Panel5);
    }
}

void TFeedbackForm::Image2MouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        toggleMarker(*Panel5, *Panel4);
    }
}

void TFeedbackForm::toggleMarker(MarkerPanel &pressed, MarkerPanel &other)
{
    // Pressing a selected marker clears it; selecting one clears the other.
    if (pressed.isSelected()) {
        pressed.setSelected(false);
        return;
    }
    pressed.setSelected(true);
    other.setSelected(false);
}

FeedbackMarker TFeedbackForm::marker() const
{
    if (Panel4->isSelected()) {
        return FeedbackMarker::Like;
    }
    return Panel5->isSelected() ? FeedbackMarker::Dislike : FeedbackMarker::None;
}

bool TFeedbackForm::isSending() const
{
    return m_request->isRunning();
}

void TFeedbackForm::BitBtn1Click()
{
    if (isSending()) {
        return;
    }
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QString trimmed = TrimBlanks(text);
    const QString feedback = ComposeFeedbackText(marker(), trimmed);
    if (trimmed.isEmpty()) {
        Memo1->setFocus();
        m_desktop.beep();
        return;
    }
    const QString email = TrimBlanks(Edit1->text());
    if (!email.isEmpty() && !IsValidFeedbackEmail(email)) {
        Edit1->setFocus();
        m_dialogs.showMessage(this, QMessageBox::Critical, QStringLiteral("Failure"),
                              QStringLiteral("Invalid e-mail address!"));
        return;
    }
    const std::vector<std::string> form = FeedbackFormLines(appIdentity(), feedback, email);
    setSending(true);
    // Up to two attempts of three seconds each: off the window's thread.
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    m_request->setFuture(
        QtConcurrent::run([endpoint = m_endpoint, form, cancel = m_cancel]() mutable {
            endpoint.options.cancel = cancel.get();
            return SendFeedbackForm(endpoint, form);
        }));
}

void TFeedbackForm::setSending(bool sending)
{
    BitBtn1->setEnabled(!sending);
    if (sending) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TFeedbackForm::sendEnded()
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

bool TFeedbackForm::eventFilter(QObject *watched, QEvent *event)
{
    // Escape on the text box, the e-mail box or "Send" closes without sending; the key never
    // reaches the control.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace inkvale
