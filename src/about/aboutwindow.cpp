#include "about/aboutwindow.h"

#include "windowkit/appidentity.h"
#include "windowkit/artwork.h"
#include "windowkit/desktopactions.h"
#include "windowkit/makerweb.h"
#include "windowkit/userdialogs.h"

#include <chrono>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace inkvale {

AboutWindow::Environment AboutWindow::environment(const QString &programFolder,
                                                  UserDialogs &dialogs, DesktopActions &desktop)
{
    Environment environment;
    environment.programFolder = programFolder;
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.webHost = makerWebHost();
    environment.rainSeed = QRandomGenerator::global()->generate();
    environment.tickCount = [] {
        using namespace std::chrono;
        return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    return environment;
}

AboutWindow::AboutWindow(const Environment &environment, QWidget *parent)
    : QDialog(parent)
    , m_environment(environment)
    , m_rain(environment.rainSeed)
    , m_surface(font())
{
    setObjectName(QStringLiteral("AboutWindow"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    // The rain surface covers every pixel the controls leave.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(AboutWindowUi::clientWidth, AboutWindowUi::clientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_ui.setupUi(this);

    connect(m_ui.okButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui.infoButton, &QPushButton::clicked, this, &AboutWindow::showInfoMenu);
    connect(m_ui.acknowledgementsAction, &QAction::triggered, this,
            &AboutWindow::openAcknowledgements);
    connect(m_ui.uninstallAction, &QAction::triggered, this, &AboutWindow::openUninstallPage);
    connect(m_ui.licenseAction, &QAction::triggered, this, &AboutWindow::openLicense);
    connect(m_ui.infoMenu, &QMenu::aboutToHide, this, [this] {
        m_dropDownGuard.closed(m_ui.infoButton, m_ui.infoMenu, m_environment.tickCount());
    });
    connect(m_ui.rainTimer, &QTimer::timeout, this, &AboutWindow::advanceRain);
    connect(m_ui.slideTimer, &QTimer::timeout, this, &AboutWindow::slidePanelAway);
    const QList<QWidget *> watched{m_ui.okButton, m_ui.infoButton, m_ui.iconImage,
                                   m_ui.hiddenPicture, m_ui.webLink};
    for (QWidget *widget : watched)
        widget->installEventFilter(this);
    initialise();
}

void AboutWindow::initialise()
{
    startMatrix();
    const AppIdentity &identity = appIdentity();
    setWindowTitle(QStringLiteral("About ") + identity.appProduct);
    m_ui.productLabel->setText(identity.appProduct + QLatin1Char(' ') + identity.appVersion);
    m_ui.webLink->setText(m_environment.webHost);
    m_ui.webLink->setToolTip(QStringLiteral("http://") + m_environment.webHost + QLatin1Char('/'));
    loadPicturesForScreen();
    m_ui.hiddenPanel->move((width() - m_ui.hiddenPanel->width()) / 2,
                           (height() - m_ui.hiddenPanel->height()) / 2);
}

void AboutWindow::startMatrix()
{
    // The outer size as it is now; before the window shows, that is its client size.
    m_rain.startMatrix(frameGeometry().size());
    m_surface.reset(size(), devicePixelRatioF());
    m_ui.rainTimer->start();
}

void AboutWindow::initMatrix()
{
    m_surface.reset(size(), devicePixelRatioF());
    m_rain.initMatrix();
    update();
}

void AboutWindow::advanceRain()
{
    update(m_surface.draw(m_rain.tick()));
}

void AboutWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (const QRect &area : event->region())
        m_surface.paint(painter, area);
}

void AboutWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    initMatrix();
}

void AboutWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QWindow *window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &AboutWindow::loadPicturesForScreen,
                Qt::UniqueConnection);
    }
}

void AboutWindow::loadPicturesForScreen()
{
    const qreal ratio = devicePixelRatioF();
    m_ui.logoImage->clear();
    m_ui.logoImage->setPixmap(
        artworkPixmap(QStringLiteral("tavrino-logo-big-ai-black"), m_ui.logoImage->size(), ratio));
    m_ui.hiddenPicture->clear();
    m_ui.hiddenPicture->setPixmap(
        artworkPixmap(QStringLiteral("cat"), m_ui.hiddenPicture->size(), ratio));
    m_ui.iconImage->setPixmap(
        artworkPixmap(QStringLiteral("inkvale"), m_ui.iconImage->size(), ratio));
    m_ui.infoButton->setIcon(artworkIcon(QStringLiteral("info-arrow")));
    m_surface.rescale(ratio);
}

void AboutWindow::showInfoMenu()
{
    if (!m_dropDownGuard.mayOpen(m_ui.infoButton, m_ui.infoMenu, m_environment.tickCount()))
        return;
    m_ui.infoMenu->popup(m_ui.infoButton->mapToGlobal(QPoint(0, m_ui.infoButton->height())));
}

void AboutWindow::openPage(const QString &scheme, const QString &path)
{
    // No network: nothing to report (the desktop actions report a missing opener).
    m_environment.desktop->openUrl(
        QUrl(scheme + QStringLiteral("://") + m_environment.webHost + path));
}

void AboutWindow::openAcknowledgements()
{
    openPage(QStringLiteral("https"), QStringLiteral("/blog/credits-and-acknowledgements/"));
}

void AboutWindow::openUninstallPage()
{
    openPage(QStringLiteral("http"), QStringLiteral("/blog/how-to-uninstall-tavrino-software/"));
}

void AboutWindow::openWebSite()
{
    openPage(QStringLiteral("http"), QStringLiteral("/"));
}

void AboutWindow::openLicense()
{
    const QString path = QDir(m_environment.programFolder).filePath(QStringLiteral("license.txt"));
    if (!QFileInfo(path).isFile()) {
        m_environment.dialogs->showMessage(this, QMessageBox::Critical, QStringLiteral("License"),
                                           QStringLiteral("File not found!"));
        return;
    }
    m_environment.desktop->openUrl(QUrl::fromLocalFile(path));
}

void AboutWindow::showHiddenPicture()
{
    if (m_ui.slideTimer->isActive())
        return;
    m_ui.hiddenPanel->show();
    m_ui.slideTimer->start();
}

void AboutWindow::slidePanelAway()
{
    m_ui.infoPanel->move(m_ui.infoPanel->x() + 5, m_ui.infoPanel->y());
    if (m_ui.infoPanel->x() > width())
        m_ui.slideTimer->stop();
}

void AboutWindow::hideHiddenPicture()
{
    if (m_ui.slideTimer->isActive())
        return;
    m_ui.hiddenPanel->hide();
    m_ui.infoPanel->move((width() - m_ui.infoPanel->width()) / 2, m_ui.infoPanel->y());
}

void AboutWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses on the panel, the pictures and the labels reach the window too.
    if (event->button() == Qt::RightButton)
        return;
    m_dragging = true;
    m_dragAt = event->globalPosition().toPoint();
}

void AboutWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint at = event->globalPosition().toPoint();
    move(pos() + at - m_dragAt);
    m_dragAt = at;
}

void AboutWindow::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        // Escape closes the window from whichever of its controls has the focus.
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (watched == m_ui.webLink &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
            openWebSite();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // The focused address is framed, in its own colour.
        if (watched == m_ui.webLink) {
            m_ui.webLink->setFrameStyle(
                event->type() == QEvent::FocusIn ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_ui.iconImage) {
            showHiddenPicture();
            return true;
        }
        if (watched == m_ui.hiddenPicture) {
            hideHiddenPicture();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        // The link is no handle for dragging.
        return watched == m_ui.webLink;
    case QEvent::MouseButtonRelease:
        if (watched == m_ui.webLink) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_ui.webLink->rect().contains(mouse->position().toPoint()))
                openWebSite();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace inkvale
