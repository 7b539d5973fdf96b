#include "about/taboutbox.h"

#include "app/appidentity.h"
#include "app/artwork.h"
#include "app/desktopactions.h"
#include "app/makerweb.h"
#include "app/userdialogs.h"

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

TAboutBox::Environment TAboutBox::environment(const QString &programFolder, UserDialogs &dialogs,
                                              DesktopActions &desktop)
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

TAboutBox::TAboutBox(const Environment &environment, QWidget *parent)
    : QDialog(parent)
    , m_environment(environment)
    , m_rain(environment.rainSeed)
    , m_surface(font())
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    // The rain surface covers every pixel the controls leave.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(TAboutBoxUi::clientWidth, TAboutBoxUi::clientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    m_ui.setupUi(this);

    connect(m_ui.BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui.BitBtn2, &QPushButton::clicked, this, &TAboutBox::BitBtn2Click);
    connect(m_ui.Credits1, &QAction::triggered, this, &TAboutBox::Credits1Click);
    connect(m_ui.Howtouninstall1, &QAction::triggered, this, &TAboutBox::Howtouninstall1Click);
    connect(m_ui.LicensePrivacyPolicy1, &QAction::triggered, this,
            &TAboutBox::LicensePrivacyPolicy1Click);
    connect(m_ui.PopupMenu1, &QMenu::aboutToHide, this, [this] {
        m_dropDownGuard.closed(m_ui.BitBtn2, m_ui.PopupMenu1, m_environment.tickCount());
    });
    connect(m_ui.tmTimer, &QTimer::timeout, this, &TAboutBox::tmTimerTimer);
    connect(m_ui.TimerEgg, &QTimer::timeout, this, &TAboutBox::TimerEggTimer);
    const QList<QWidget *> watched{m_ui.BitBtn1, m_ui.BitBtn2, m_ui.Image1, m_ui.ImageEgg,
                                   m_ui.Label5};
    for (QWidget *widget : watched)
        widget->installEventFilter(this);
    FormCreate();
}

void TAboutBox::FormCreate()
{
    StartMatrix();
    const AppIdentity &identity = appIdentity();
    setWindowTitle(QStringLiteral("About ") + identity.AppProduct);
    m_ui.Label2->setText(identity.AppProduct + QLatin1Char(' ') + identity.AppVersion);
    m_ui.Label5->setText(m_environment.webHost);
    m_ui.Label5->setToolTip(QStringLiteral("http://") + m_environment.webHost + QLatin1Char('/'));
    HighDPIImageYukle();
    m_ui.PanelEgg->move((width() - m_ui.PanelEgg->width()) / 2,
                        (height() - m_ui.PanelEgg->height()) / 2);
}

void TAboutBox::StartMatrix()
{
    // The outer size as it is now; before the window shows, that is its client size.
    m_rain.StartMatrix(frameGeometry().size());
    m_surface.reset(size(), devicePixelRatioF());
    m_ui.tmTimer->start();
}

void TAboutBox::InitMatrix()
{
    m_surface.reset(size(), devicePixelRatioF());
    m_rain.InitMatrix();
    update();
}

void TAboutBox::tmTimerTimer()
{
    update(m_surface.draw(m_rain.tick()));
}

void TAboutBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (const QRect &area : event->region())
        m_surface.paint(painter, area);
}

void TAboutBox::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    InitMatrix();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QWindow *window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &TAboutBox::HighDPIImageYukle,
                Qt::UniqueConnection);
    }
}

void TAboutBox::HighDPIImageYukle()
{
    const qreal ratio = devicePixelRatioF();
    m_ui.Image2->clear();
    m_ui.Image2->setPixmap(
        artworkPixmap(QStringLiteral("tavrino-logo-big-ai-black"), m_ui.Image2->size(), ratio));
    m_ui.ImageEgg->clear();
    m_ui.ImageEgg->setPixmap(artworkPixmap(QStringLiteral("cat"), m_ui.ImageEgg->size(), ratio));
    m_ui.Image1->setPixmap(artworkPixmap(QStringLiteral("inkvale"), m_ui.Image1->size(), ratio));
    m_ui.BitBtn2->setIcon(artworkIcon(QStringLiteral("info-arrow")));
    m_surface.rescale(ratio);
}

void TAboutBox::BitBtn2Click()
{
    if (!m_dropDownGuard.mayOpen(m_ui.BitBtn2, m_ui.PopupMenu1, m_environment.tickCount()))
        return;
    m_ui.PopupMenu1->popup(m_ui.BitBtn2->mapToGlobal(QPoint(0, m_ui.BitBtn2->height())));
}

void TAboutBox::openPage(const QString &scheme, const QString &path)
{
    // No browser or no network: nothing to report.
    m_environment.desktop->openUrl(
        QUrl(scheme + QStringLiteral("://") + m_environment.webHost + path));
}

void TAboutBox::Credits1Click()
{
    openPage(QStringLiteral("https"), QStringLiteral("/blog/credits-and-acknowledgements/"));
}

void TAboutBox::Howtouninstall1Click()
{
    openPage(QStringLiteral("http"), QStringLiteral("/blog/how-to-uninstall-tavrino-software/"));
}

void TAboutBox::Label5Click()
{
    openPage(QStringLiteral("http"), QStringLiteral("/"));
}

void TAboutBox::LicensePrivacyPolicy1Click()
{
    const QString path = QDir(m_environment.programFolder).filePath(QStringLiteral("license.txt"));
    if (!QFileInfo(path).isFile()) {
        m_environment.dialogs->showMessage(this, QMessageBox::Critical, QStringLiteral("License"),
                                           QStringLiteral("File not found!"));
        return;
    }
    m_environment.desktop->openUrl(QUrl::fromLocalFile(path));
}

void TAboutBox::Image1DblClick()
{
    if (m_ui.TimerEgg->isActive())
        return;
    m_ui.PanelEgg->show();
    m_ui.TimerEgg->start();
}

void TAboutBox::TimerEggTimer()
{
    m_ui.Panel1->move(m_ui.Panel1->x() + 5, m_ui.Panel1->y());
    if (m_ui.Panel1->x() > width())
        m_ui.TimerEgg->stop();
}

void TAboutBox::ImageEggDblClick()
{
    if (m_ui.TimerEgg->isActive())
        return;
    m_ui.PanelEgg->hide();
    m_ui.Panel1->move((width() - m_ui.Panel1->width()) / 2, m_ui.Panel1->y());
}

void TAboutBox::mousePressEvent(QMouseEvent *event)
{
    // Presses on the panel, the pictures and the labels reach the window too.
    if (event->button() == Qt::RightButton)
        return;
    m_dragging = true;
    m_dragAt = event->globalPosition().toPoint();
}

void TAboutBox::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint at = event->globalPosition().toPoint();
    move(pos() + at - m_dragAt);
    m_dragAt = at;
}

void TAboutBox::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // BitBtn1KeyDown, BitBtn2KeyDown.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == m_ui.Image1) {
            Image1DblClick();
            return true;
        }
        if (watched == m_ui.ImageEgg) {
            ImageEggDblClick();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
        // The link is no handle for dragging.
        return watched == m_ui.Label5;
    case QEvent::MouseButtonRelease:
        if (watched == m_ui.Label5) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_ui.Label5->rect().contains(mouse->position().toPoint()))
                Label5Click();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace inkvale
