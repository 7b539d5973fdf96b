#include "online/tnewver.h"

#include "app/appidentity.h"
#include "app/artwork.h"
#include "app/desktopactions.h"
#include "app/makerweb.h"
#include "app/widgetnames.h"
#include "online/centrereveal.h"
#include "online/pixelfont.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace inkvale {

int CloseCountdown = 11;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 68;
constexpr int kEdgeDistance = 5;
constexpr int kAnimationMs = 100;

QFrame *panel(QWidget *parent, const char *name)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

void setTextColour(QLabel &label, const QColor &colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

bool isMouseEvent(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

TNewVer::TNewVer(const QString &ServerVersion, const QString &DownloadURL, DesktopActions &desktop,
                 QWidget *mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus)
    , m_downloadUrl(DownloadURL)
    , m_desktop(desktop)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("NewVer"));
    // The main window keeps the keyboard focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    buildControls();
    m_reveal = new CentreReveal(*this);
    FormCreate(ServerVersion);

    TimerStart = named(new QTimer(this), "TimerStart");
    TimerStart->setInterval(1);
    TimerClose = named(new QTimer(this), "TimerClose");
    TimerClose->setInterval(1000);
    TimerLink = named(new QTimer(this), "TimerLink");
    TimerLink->setInterval(100);
    connect(TimerStart, &QTimer::timeout, this, &TNewVer::TimerStartTimer);
    connect(TimerClose, &QTimer::timeout, this, &TNewVer::TimerCloseTimer);
    connect(TimerLink, &QTimer::timeout, this, &TNewVer::TimerLinkTimer);
    connect(Button1, &QToolButton::clicked, this, &TNewVer::Button1Click);
    TimerStart->start();
    TimerClose->start();
    TimerLink->start();
}

void TNewVer::buildControls()
{
    setFixedSize(kWidth, kHeight);
    auto *formLayout = new QVBoxLayout(this);
    formLayout->setContentsMargins(0, 0, 0, 0);
    Panel1 = named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAutoFillBackground(true);
    formLayout->addWidget(Panel1);

    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Image1 = named(new QLabel(Panel1), "Image1");
    Image1->setFixedSize(60, 60);
    Image1->setAlignment(Qt::AlignCenter);
    auto *imageBox = new QVBoxLayout;
    imageBox->setContentsMargins(3, 3, 3, 3);
    imageBox->addWidget(Image1);
    row->addLayout(imageBox);

    Panel2 = panel(Panel1, "Panel2");
    auto *column = new QVBoxLayout(Panel2);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    Label1 = named(new QLabel(Panel2), "Label1");
    Label1->setFont(pixelFont(13, true, false));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setContentsMargins(3, 3, 3, 3);
    column->addWidget(Label1);
    Label2 = named(new QLabel(Panel2), "Label2");
    Label2->setFont(pixelFont(13, false, true));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setCursor(Qt::PointingHandCursor);
    // Transparent: the label never paints a background of its own.
    Label2->setAutoFillBackground(false);
    column->addWidget(Label2, 1);
    row->addWidget(Panel2, 1);

    Panel3 = panel(Panel1, "Panel3");
    Panel3->setFixedWidth(22);
    auto *corner = new QVBoxLayout(Panel3);
    corner->setContentsMargins(0, 0, 0, 0);
    Button1 = named(new QToolButton(Panel3), "Button1");
    Button1->setFixedSize(22, 22);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setAutoRaise(true);
    Button1->setIcon(artworkIcon(QStringLiteral("close")));
    Button1->setIconSize(QSize(16, 16));
    corner->addWidget(Button1);
    corner->addStretch();
    row->addWidget(Panel3);

    // Dragging starts on the window, Panel1, Image1, Label1 and Panel3 only; Panel2 and the
    // link keep their presses, so that nothing reaches Panel1 through them.
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(Panel1),
                            static_cast<QWidget *>(Image1), static_cast<QWidget *>(Label1),
                            static_cast<QWidget *>(Panel3), static_cast<QWidget *>(Panel2),
                            static_cast<QWidget *>(Label2)}) {
        widget->installEventFilter(this);
    }
}

void TNewVer::FormCreate(const QString &ServerVersion)
{
    const QIcon icon = artworkIcon(QStringLiteral("inkvale"));
    Image1->setPixmap(icon.pixmap(QSize(48, 48), devicePixelRatioF()));
    // The top right corner of the primary screen, wherever the main window is.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect whole = screen->geometry();
        move(whole.x() + whole.width() - width() - kEdgeDistance, whole.y() + kEdgeDistance);
    }
    Label1->setText(QStringLiteral("UPDATE AVAILABLE"));
    Label2->setText(QStringLiteral("Click to download") + QLatin1Char(' ') +
                    appIdentity().AppProduct + QLatin1Char(' ') + ServerVersion);
    setTextColour(*Label2, QApplication::palette().color(QPalette::WindowText));
}

void TNewVer::TimerStartTimer()
{
    TimerStart->stop();
    // The mask first, so that the whole window never flashes up before it grows.
    m_reveal->grow(kAnimationMs);
    show();
    // A minimised or already closed main window simply does not get it.
    if (m_mainWindow && !m_mainWindow->isMinimized()) {
        m_mainWindow->activateWindow();
    }
}

void TNewVer::TimerCloseTimer()
{
    --CloseCountdown;
    if (CloseCountdown > 0) {
        return;
    }
    TimerClose->stop();
    if (!isVisible()) {
        return;
    }
    m_reveal->shrink(kAnimationMs, [this] { close(); });
}

void TNewVer::TimerLinkTimer()
{
    const QPoint cursor = Label2->mapFromGlobal(QCursor::pos());
    const QColor colour = Label2->rect().contains(cursor)
                              ? QApplication::palette("QMenu").color(QPalette::Highlight)
                              : QApplication::palette().color(QPalette::WindowText);
    if (Label2->palette().color(QPalette::WindowText) != colour) {
        setTextColour(*Label2, colour);
    }
}

void TNewVer::Label2Click()
{
    const QString address = m_downloadUrl.isEmpty() ? makerHomeAddress() : m_downloadUrl;
    // No browser or no handler: the notice closes all the same.
    m_desktop.openUrl(QUrl(address));
    close();
}

void TNewVer::Button1Click()
{
    close();
}

bool TNewVer::eventFilter(QObject *watched, QEvent *event)
{
    if (!isMouseEvent(event)) {
        return QWidget::eventFilter(watched, event);
    }
    if (watched == Label2) {
        return linkMouseEvent(event);
    }
    if (watched == Panel2) {
        return true;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint screenPoint = mouse->globalPosition().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        FormMouseDown(mouse->button(), screenPoint);
        break;
    case QEvent::MouseMove:
        FormMouseMove(screenPoint);
        break;
    default:
        FormMouseUp();
        break;
    }
    return true;
}

bool TNewVer::linkMouseEvent(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_linkPressed = true;
    } else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        const bool click = m_linkPressed && Label2->rect().contains(mouse->position().toPoint());
        m_linkPressed = false;
        if (click) {
            Label2Click();
        }
    }
    return true;
}

void TNewVer::FormMouseDown(Qt::MouseButton button, const QPoint &screenPoint)
{
    if (button == Qt::RightButton) {
        return;
    }
    m_dragging = true;
    m_lastDragPoint = screenPoint;
}

void TNewVer::FormMouseMove(const QPoint &screenPoint)
{
    if (!m_dragging) {
        return;
    }
    move(pos() + screenPoint - m_lastDragPoint);
    m_lastDragPoint = screenPoint;
}

void TNewVer::FormMouseUp()
{
    m_dragging = false;
}

} // namespace inkvale
