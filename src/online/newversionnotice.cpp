#include "online/newversionnotice.h"

#include "online/centrereveal.h"
#include "online/pixelfont.h"
#include "windowkit/appidentity.h"
#include "windowkit/artwork.h"
#include "windowkit/desktopactions.h"
#include "windowkit/makerweb.h"
#include "windowkit/widgetnames.h"

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

int closeCountdown = 11;

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

NewVersionNotice::NewVersionNotice(const QString &serverVersion, const QString &downloadUrl,
                                   DesktopActions &desktop, QWidget *mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus)
    , m_downloadUrl(downloadUrl)
    , m_desktop(desktop)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("NewVersionNotice"));
    // The main window keeps the keyboard focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    buildControls();
    m_reveal = new CentreReveal(*this);
    initialise(serverVersion);

    revealTimer = named(new QTimer(this), "revealTimer");
    revealTimer->setInterval(1);
    closeTimer = named(new QTimer(this), "closeTimer");
    closeTimer->setInterval(1000);
    linkTimer = named(new QTimer(this), "linkTimer");
    linkTimer->setInterval(100);
    connect(revealTimer, &QTimer::timeout, this, &NewVersionNotice::startReveal);
    connect(closeTimer, &QTimer::timeout, this, &NewVersionNotice::countDown);
    connect(linkTimer, &QTimer::timeout, this, &NewVersionNotice::updateLinkColour);
    connect(closeButton, &QToolButton::clicked, this, &NewVersionNotice::closeNotice);
    revealTimer->start();
    closeTimer->start();
    linkTimer->start();
}

void NewVersionNotice::buildControls()
{
    setFixedSize(kWidth, kHeight);
    auto *formLayout = new QVBoxLayout(this);
    formLayout->setContentsMargins(0, 0, 0, 0);
    frame = named(new QFrame(this), "frame");
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setAutoFillBackground(true);
    formLayout->addWidget(frame);

    auto *row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    iconImage = named(new QLabel(frame), "iconImage");
    iconImage->setFixedSize(60, 60);
    iconImage->setAlignment(Qt::AlignCenter);
    auto *imageBox = new QVBoxLayout;
    imageBox->setContentsMargins(3, 3, 3, 3);
    imageBox->addWidget(iconImage);
    row->addLayout(imageBox);

    textPanel = panel(frame, "textPanel");
    auto *column = new QVBoxLayout(textPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    titleLabel = named(new QLabel(textPanel), "titleLabel");
    titleLabel->setFont(pixelFont(13, true, false));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setContentsMargins(3, 3, 3, 3);
    column->addWidget(titleLabel);
    linkLabel = named(new QLabel(textPanel), "linkLabel");
    linkLabel->setFont(pixelFont(13, false, true));
    linkLabel->setAlignment(Qt::AlignCenter);
    linkLabel->setWordWrap(true);
    linkLabel->setCursor(Qt::PointingHandCursor);
    // Transparent: the label never paints a background of its own.
    linkLabel->setAutoFillBackground(false);
    column->addWidget(linkLabel, 1);
    row->addWidget(textPanel, 1);

    closePanel = panel(frame, "closePanel");
    closePanel->setFixedWidth(22);
    auto *corner = new QVBoxLayout(closePanel);
    corner->setContentsMargins(0, 0, 0, 0);
    closeButton = named(new QToolButton(closePanel), "closeButton");
    closeButton->setFixedSize(22, 22);
    closeButton->setCursor(Qt::PointingHandCursor);
    closeButton->setAutoRaise(true);
    closeButton->setIcon(artworkIcon(QStringLiteral("close")));
    closeButton->setIconSize(QSize(16, 16));
    closeButton->setAccessibleName(QStringLiteral("Close"));
    corner->addWidget(closeButton);
    corner->addStretch();
    row->addWidget(closePanel);

    // Dragging starts on the window, the frame, the icon, the title and the close panel only; the
    // text panel and the link keep their presses, so that nothing reaches the frame through them.
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(frame),
                            static_cast<QWidget *>(iconImage), static_cast<QWidget *>(titleLabel),
                            static_cast<QWidget *>(closePanel), static_cast<QWidget *>(textPanel),
                            static_cast<QWidget *>(linkLabel)}) {
        widget->installEventFilter(this);
    }
}

void NewVersionNotice::initialise(const QString &serverVersion)
{
    const QIcon icon = artworkIcon(QStringLiteral("inkvale"));
    iconImage->setPixmap(icon.pixmap(QSize(48, 48), devicePixelRatioF()));
    // The top right corner of the primary screen, wherever the main window is.
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect whole = screen->geometry();
        move(whole.x() + whole.width() - width() - kEdgeDistance, whole.y() + kEdgeDistance);
    }
    titleLabel->setText(QStringLiteral("UPDATE AVAILABLE"));
    linkLabel->setText(QStringLiteral("Click to download") + QLatin1Char(' ') +
                       appIdentity().appProduct + QLatin1Char(' ') + serverVersion);
    setTextColour(*linkLabel, QApplication::palette().color(QPalette::WindowText));
}

void NewVersionNotice::startReveal()
{
    revealTimer->stop();
    // The mask first, so that the whole window never flashes up before it grows.
    m_reveal->grow(kAnimationMs);
    show();
    // A minimised or already closed main window simply does not get it.
    if (m_mainWindow && !m_mainWindow->isMinimized()) {
        m_mainWindow->activateWindow();
    }
}

void NewVersionNotice::countDown()
{
    --closeCountdown;
    if (closeCountdown > 0) {
        return;
    }
    closeTimer->stop();
    if (!isVisible()) {
        return;
    }
    m_reveal->shrink(kAnimationMs, [this] { close(); });
}

void NewVersionNotice::updateLinkColour()
{
    const QPoint cursor = linkLabel->mapFromGlobal(QCursor::pos());
    const QColor colour = linkLabel->rect().contains(cursor)
                              ? QApplication::palette("QMenu").color(QPalette::Highlight)
                              : QApplication::palette().color(QPalette::WindowText);
    if (linkLabel->palette().color(QPalette::WindowText) != colour) {
        setTextColour(*linkLabel, colour);
    }
}

void NewVersionNotice::openDownloadPage()
{
    const QString address = m_downloadUrl.isEmpty() ? makerHomeAddress() : m_downloadUrl;
    // Whether or not a program opens it, the notice closes.
    m_desktop.openUrl(QUrl(address));
    close();
}

void NewVersionNotice::closeNotice()
{
    close();
}

bool NewVersionNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (!isMouseEvent(event)) {
        return QWidget::eventFilter(watched, event);
    }
    if (watched == linkLabel) {
        return linkMouseEvent(event);
    }
    if (watched == textPanel) {
        return true;
    }
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint screenPoint = mouse->globalPosition().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        startDrag(mouse->button(), screenPoint);
        break;
    case QEvent::MouseMove:
        moveDrag(screenPoint);
        break;
    default:
        endDrag();
        break;
    }
    return true;
}

bool NewVersionNotice::linkMouseEvent(QEvent *event)
{
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        m_linkPressed = true;
    } else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        const bool click = m_linkPressed && linkLabel->rect().contains(mouse->position().toPoint());
        m_linkPressed = false;
        if (click) {
            openDownloadPage();
        }
    }
    return true;
}

void NewVersionNotice::startDrag(Qt::MouseButton button, const QPoint &screenPoint)
{
    if (button == Qt::RightButton) {
        return;
    }
    m_dragging = true;
    m_lastDragPoint = screenPoint;
}

void NewVersionNotice::moveDrag(const QPoint &screenPoint)
{
    if (!m_dragging) {
        return;
    }
    move(pos() + screenPoint - m_lastDragPoint);
    m_lastDragPoint = screenPoint;
}

void NewVersionNotice::endDrag()
{
    m_dragging = false;
}

} // namespace inkvale
