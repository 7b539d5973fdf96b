#include "app/tappform.h"

#include "about/taboutbox.h"
#include "app/appidentity.h"
#include "app/appsettings.h"
#include "app/artwork.h"
#include "app/conversionlogdialog.h"
#include "app/desktopactions.h"
#include "app/effectmarks.h"
#include "app/errortext.h"
#include "app/makerweb.h"
#include "app/statuspanel.h"
#include "app/userdialogs.h"
#include "app/versioninfo.h"
#include "app/windowbatchrun.h"
#include "convert/conversionerror.h"
#include "imagelist/fileshellactions.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "imagelist/listeditor.h"
#include "imagelist/previewpicture.h"
#include "online/tfeedbackform.h"
#include "online/tnewver.h"
#include "online/updatechecker.h"
#include "platform/shellactions.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace inkvale {
namespace {

const QString kOpenDialogFilter =
    QStringLiteral("Image Files|*.png;*.jpg;*.jpeg;*.gif;*.bmp;*.tif;*.tiff|All Files|*.*");

// The dialog result number of "Yes".
constexpr int kIdYes = 6;

QStringList droppedPaths(const QMimeData *data)
{
    QStringList paths;
    if (data == nullptr) {
        return paths;
    }
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

} // namespace

template<typename Command>
void TAppForm::guarded(Command &&command)
{
    try {
        command();
    } catch (const ConversionError &error) {
        showGeneralError(error.message());
    } catch (const std::exception &error) {
        showGeneralError(QString::fromUtf8(error.what()));
    }
}

TAppForm::TAppForm(const Environment &environment, QWidget *parent)
    : QMainWindow(parent)
    , m_environment(environment)
    , m_list(std::make_unique<ImageListModel>())
    , m_intake(std::make_unique<ImageIntake>(*m_list))
{
    setObjectName(QStringLiteral("AppForm"));
    setWindowIcon(artworkIcon(QStringLiteral("inkvale")));
    m_ui.setupUi(this);
    m_ui.ListView1->setModel(m_list.get());
    m_editor = std::make_unique<ListEditor>(*m_list, *m_ui.ListView1);
    m_preview = std::make_unique<ImagePreview>(
        ImagePreview::Controls{*m_list, *m_ui.ListView1, *m_ui.ComboBox2, *m_ui.ShowPreview1,
                               *m_ui.Image1, *m_ui.PreviewSplitter},
        ToolLocation(m_environment.programFolder));
    m_batchRun = std::make_unique<WindowBatchRun>(m_ui, *m_list, *m_environment.desktop,
                                                  ToolLocation(m_environment.programFolder));
    connect(m_batchRun.get(), &WindowBatchRun::progress, this, &TAppForm::batchProgress);
    connect(m_batchRun.get(), &WindowBatchRun::finished, this, &TAppForm::batchFinished);
    m_shell = std::make_unique<FileShellActions>(
        *m_list, *m_ui.ListView1,
        m_environment.shell ? *m_environment.shell : platform::systemShellLauncher(),
        [desktop = m_environment.desktop](const QUrl &url) { desktop->openUrl(url); });
    QHeaderView *header = m_ui.ListView1->horizontalHeader();
    header->setSectionResizeMode(ImageListModel::PathColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(ImageListModel::WidthColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(ImageListModel::HeightColumn, QHeaderView::Fixed);
    header->resizeSection(ImageListModel::WidthColumn, 50);
    header->resizeSection(ImageListModel::HeightColumn, 50);

    // The client area of 478 x 474 as designed, centred on the screen.
    resize(478, 474 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    connectCommands();
    FormCreate();
}

TAppForm::~TAppForm()
{
    m_batchRun.reset();
    m_preview.reset();
}

void TAppForm::connectCommands()
{
    connect(m_ui.ToolButton1, &QAction::triggered, this, &TAppForm::ToolButton1Click);
    connect(m_ui.AddFile1, &QAction::triggered, this, &TAppForm::ToolButton1Click);
    connect(m_ui.ToolButton2, &QAction::triggered, this, &TAppForm::ToolButton2Click);
    connect(m_ui.AddFolder1, &QAction::triggered, this, &TAppForm::ToolButton2Click);
    connect(m_ui.ToolButton6, &QAction::triggered, this, &TAppForm::Help2Click);
    connect(m_ui.Help2, &QAction::triggered, this, &TAppForm::Help2Click);
    connect(m_ui.ToolButton5, &QAction::triggered, this, &TAppForm::About1Click);
    connect(m_ui.About1, &QAction::triggered, this, &TAppForm::About1Click);
    connect(m_ui.Clear1, &QAction::triggered, this, &TAppForm::Clear1Click);
    connect(m_ui.Exit1, &QAction::triggered, this, &TAppForm::Exit1Click);
    connect(m_ui.ShowPreview1, &QAction::triggered, this, &TAppForm::ShowPreview1Click);
    connect(m_ui.ResettoDefaults1, &QAction::triggered, this, &TAppForm::ResettoDefaults1Click);
    connect(m_ui.ShowConversionLog1, &QAction::triggered, this, &TAppForm::ShowConversionLog1Click);
    connect(m_ui.ToolButton4, &QAction::triggered, this, &TAppForm::SendFeedback1Click);
    connect(m_ui.SendFeedback1, &QAction::triggered, this, &TAppForm::SendFeedback1Click);
    connect(m_ui.Button1, &QPushButton::clicked, this, &TAppForm::Button1Click);
    connect(m_ui.Button3, &QToolButton::clicked, this, &TAppForm::Button3Click);
    connect(m_ui.ComboBox1, &QComboBox::activated, this, &TAppForm::ComboBox1Change);
    connect(m_ui.Edit1, &QLineEdit::textChanged, this, &TAppForm::Edit1Change);
    connect(m_ui.StatusBar1, &StatusPanel::failuresClicked, this,
            &TAppForm::ShowConversionLog1Click);
    connect(m_ui.ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        m_ui.PopupMenu1->popup(m_ui.ListView1->viewport()->mapToGlobal(at));
    });

    connectListCommands();

    connect(m_intake.get(), &ImageIntake::fileHandled, this, &TAppForm::ResimSayisiDegisti);
    connect(m_intake.get(), &ImageIntake::fileFailed, this,
            [this](const QString &path, const QString &message) {
                m_environment.dialogs->showMessage(this, QMessageBox::Critical,
                                                   QStringLiteral("ERROR"),
                                                   path + QStringLiteral("\r\r") + message);
            });
}

void TAppForm::connectListCommands()
{
    ListEditor *editor = m_editor.get();
    connect(m_ui.ButtonUp, &QToolButton::clicked, editor, &ListEditor::up);
    connect(m_ui.ButtonDown, &QToolButton::clicked, editor, &ListEditor::down);
    connect(m_ui.ButtonTop, &QToolButton::clicked, editor, &ListEditor::top);
    connect(m_ui.ButtonBottom, &QToolButton::clicked, editor, &ListEditor::bottom);
    connect(m_ui.ListView1, &ImageListView::rowDropped, editor, &ListEditor::dropOn);
    connect(m_ui.ListView1, &ImageListView::deletePressed, editor, &ListEditor::deleteSelected);
    connect(m_ui.Delete1, &QAction::triggered, editor, &ListEditor::deleteSelected);
    connect(m_ui.DeleteAll1, &QAction::triggered, editor, &ListEditor::deleteAll);
    connect(editor, &ListEditor::rowsDeleted, this, &TAppForm::ResimSayisiDegisti);
    FileShellActions *shell = m_shell.get();
    connect(m_ui.Open1, &QAction::triggered, this, [shell] { shell->Open1Click(); });
    connect(m_ui.OpenFolderLocation1, &QAction::triggered, this,
            [shell] { shell->OpenFolderLocation1Click(); });
    connect(m_ui.Properties1, &QAction::triggered, this, [shell] { shell->Properties1Click(); });

    connect(m_ui.ListView1, &ImageListView::listClicked, this, &TAppForm::ListView1Click);
    connect(m_ui.ComboBox2, &QComboBox::activated, this, &TAppForm::ComboBox2Change);
    connect(m_preview.get(), &ImagePreview::statusChanged, m_ui.StatusBar1, &StatusPanel::setText);
}

void TAppForm::ListView1Click()
{
    m_preview->PreviewGoster();
}

void TAppForm::ComboBox2Change()
{
    m_preview->PreviewGoster();
}

void TAppForm::FormCreate()
{
    // Files dropped from the file manager.
    setAcceptDrops(true);
    guarded([this] {
        const TEXEVersionData version = GetEXEVersionData(m_environment.executable);
        AppIdentity identity;
        identity.AppCompany = version.CompanyName;
        identity.AppProduct = version.ProductName;
        identity.AppVersion = FormatAppVersion(GetEXEVersionNumber(m_environment.executable));
        identity.AppTitle = identity.AppCompany + QStringLiteral(" - ") + identity.AppProduct;
        setAppIdentity(identity);
        setWindowTitle(identity.AppTitle);
        loadSettings();
        Clear1Click();
    });
    startUpdateCheck();
    if (m_environment.probeEffects) {
        // Once the event loop runs, so that the window shows before the tool runs start.
        QTimer::singleShot(0, this, &TAppForm::probeEffects);
    }
}

void TAppForm::startUpdateCheck()
{
    UpdateCheckSetup setup = m_environment.updateCheck;
    setup.exchange.appTitle = appIdentity().AppTitle;
    setup.exchange.appVersion = appIdentity().AppVersion;
    m_updateChecker = new UpdateChecker(setup, m_ui.UpdateNotifications1, this);
    connect(m_updateChecker, &UpdateChecker::announceUpdate, this, &TAppForm::announceUpdate);
    connect(this, &TAppForm::announceUpdate, this, &TAppForm::ShowNewVersion);
    connect(m_ui.UpdateNotifications1, &QAction::triggered, m_updateChecker,
            &UpdateChecker::UpdateNotifications1Click);
}

void TAppForm::loadSettings()
{
    const AppIdentity &identity = appIdentity();
    const QString folder =
        AppSettings::chooseFolder(m_environment.programFolder, m_environment.configRoot,
                                  identity.AppCompany, identity.AppProduct);
    m_settings = std::make_unique<AppSettings>(folder);
    m_preview->setScratchFolder(m_settings->folder());
    m_ui.Edit1->setText(m_settings->destination());
    if (m_ui.Edit1->text().isEmpty()) {
        m_ui.Edit1->setText(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    }
    // Exactly as stored: "jpg" is not "JPG", and the selector keeps "PNG".
    const int format =
        m_ui.ComboBox1->findText(m_settings->format(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (format >= 0) {
        m_ui.ComboBox1->setCurrentIndex(format);
    }
    m_ui.ShowPreview1->setChecked(m_settings->showPreview());
}

void TAppForm::probeEffects()
{
    auto *probe = new EffectProbe(ToolLocation(m_environment.programFolder), this);
    connect(probe, &EffectProbe::finished, this,
            [this, probe](const EffectAvailability &availability) {
                m_availability = availability;
                markEffectAvailability(*m_ui.ComboBox2, availability);
                probe->deleteLater();
                emit effectsProbed();
            });
    probe->start();
}

QString TAppForm::statusText() const
{
    return m_ui.StatusBar1->text();
}

bool TAppForm::batchRunning() const
{
    return m_batchRun->isRunning();
}

const BatchResult &TAppForm::lastBatchResult() const
{
    return m_batchRun->lastResult();
}

void TAppForm::ResimSayisiDegisti()
{
    const int count = m_list->rowCount();
    m_ui.StatusBar1->setText(count == 1 ? QStringLiteral("1 file")
                                        : QStringLiteral("%1 files").arg(count));
}

void TAppForm::ToolButton1Click()
{
    const QStringList files = m_environment.dialogs->chooseFiles(this, kOpenDialogFilter);
    m_intake->addFiles(files);
}

void TAppForm::ToolButton2Click()
{
    const QStringList folders = m_environment.dialogs->chooseFolders(this, m_lastFolder, true);
    if (folders.isEmpty()) {
        return;
    }
    m_lastFolder = folders.first();
    m_intake->addFolders(folders);
}

void TAppForm::Clear1Click()
{
    m_intake->cancel();
    m_list->clear();
    m_preview->hidePane();
    ResimSayisiDegisti();
}

void TAppForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPaths(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TAppForm::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    m_intake->addDropped(paths);
}

void TAppForm::Button3Click()
{
    const QStringList folders = m_environment.dialogs->chooseFolders(this, m_lastFolder, false);
    if (folders.isEmpty()) {
        return;
    }
    m_lastFolder = folders.first();
    AddMyFolder(m_lastFolder);
}

void TAppForm::AddMyFolder(const QString &foldername)
{
    if (foldername.trimmed().isEmpty()) {
        return;
    }
    m_lastFolder = foldername;
    m_ui.Edit1->setText(foldername);
}

void TAppForm::Edit1Change()
{
    if (m_settings) {
        guarded([this] { m_settings->setDestination(m_ui.Edit1->text()); });
    }
}

void TAppForm::ComboBox1Change()
{
    if (m_settings) {
        guarded([this] { m_settings->setFormat(m_ui.ComboBox1->currentText()); });
    }
}

void TAppForm::ShowPreview1Click()
{
    // The menu item has already flipped its check mark.
    if (!m_ui.ShowPreview1->isChecked()) {
        m_preview->hidePane();
    }
    if (m_settings) {
        guarded([this] { m_settings->setShowPreview(m_ui.ShowPreview1->isChecked()); });
    }
}

void TAppForm::ResettoDefaults1Click()
{
    const int answer = m_environment.dialogs->askWithButtons(
        this, QStringLiteral("Restart Application?"), QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No, {QStringLiteral("Yes"), QStringLiteral("No")},
        QStringLiteral("Confirmation"));
    if (answer != kIdYes) {
        return;
    }
    if (m_settings) {
        // A file that cannot be deleted is read again by the new instance.
        m_settings->removeFile();
    }
    QCoreApplication::processEvents();
    m_environment.desktop->restartProgram(m_environment.executable);
}

void TAppForm::Help2Click()
{
    // No browser or no network: nothing to report.
    m_environment.desktop->openUrl(QUrl(onlineHelpAddress(appIdentity().AppProduct)));
}

void TAppForm::About1Click()
{
    // A new window each time; it is modal and deletes itself when closed.
    auto *box =
        new TAboutBox(TAboutBox::environment(m_environment.programFolder, *m_environment.dialogs,
                                             *m_environment.desktop),
                      this);
    box->show();
}

void TAppForm::Exit1Click()
{
    close();
    QCoreApplication::quit();
}

void TAppForm::Button1Click()
{
    try {
        m_batchRun->startOrStop();
    } catch (const ToolMissingError &error) {
        m_environment.dialogs->showMessage(this, QMessageBox::Critical, QStringLiteral("ERROR"),
                                           error.message());
    } catch (const ConversionError &error) {
        showGeneralError(error.message());
    }
}

void TAppForm::ShowConversionLog1Click()
{
    if (m_batchRun->lastResult().failures.isEmpty()) {
        return;
    }
    auto *dialog = new ConversionLogDialog(m_batchRun->lastResult(), this);
    dialog->show();
}

void TAppForm::SendFeedback1Click()
{
    FeedbackEndpoint endpoint = feedbackEndpoint(m_environment.webHost);
    endpoint.options = m_environment.webOptions;
    // Modal without blocking here; it destroys itself when closed.
    auto *form = new TFeedbackForm(endpoint, *m_environment.dialogs, *m_environment.desktop, this);
    form->show();
}

void TAppForm::ShowNewVersion(const QString &ServerVersion, const QString &DownloadURL)
{
    if (!m_newVer) {
        m_newVer =
            std::make_unique<TNewVer>(ServerVersion, DownloadURL, *m_environment.desktop, this);
    }
}

void TAppForm::closeEvent(QCloseEvent *event)
{
    m_batchRun->stop();
    QMainWindow::closeEvent(event);
}

void TAppForm::showGeneralError(const QString &message)
{
    m_environment.dialogs->showMessage(this, QMessageBox::Critical, applicationTitle(),
                                       GeneralErrorText(message));
}

} // namespace inkvale
