#include "app/mainwindow.h"

#include "about/aboutwindow.h"
#include "app/appsettings.h"
#include "app/conversionchoices.h"
#include "app/conversionlogdialog.h"
#include "app/effectmarks.h"
#include "app/intakefailurebox.h"
#include "app/photochoices.h"
#include "app/statuspanel.h"
#include "app/windowbatchrun.h"
#include "base/errortext.h"
#include "convert/conversionerror.h"
#include "convert/pictureformats.h"
#include "imagelist/fileshellactions.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "imagelist/listeditor.h"
#include "imagelist/previewpicture.h"
#include "online/feedbackwindow.h"
#include "online/newversionnotice.h"
#include "online/updatechecker.h"
#include "platform/shellactions.h"
#include "windowkit/appidentity.h"
#include "windowkit/artwork.h"
#include "windowkit/desktopactions.h"
#include "windowkit/droppedpaths.h"
#include "windowkit/makerweb.h"
#include "windowkit/userdialogs.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace inkvale {

template<typename Command>
void MainWindow::guarded(Command &&command)
{
    try {
        command();
    } catch (const ConversionError &error) {
        showGeneralError(error.message());
    } catch (const std::exception &error) {
        showGeneralError(QString::fromUtf8(error.what()));
    }
}

MainWindow::MainWindow(const Environment &environment, QWidget *parent)
    : QMainWindow(parent)
    , m_environment(environment)
    , m_list(std::make_unique<ImageListModel>())
    , m_intake(std::make_unique<ImageIntake>(*m_list))
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowIcon(artworkIcon(QStringLiteral("inkvale")));
    m_ui.setupUi(this);
    m_ui.imageList->setModel(m_list.get());
    m_editor = std::make_unique<ListEditor>(*m_list, *m_ui.imageList);
    m_photoChoices = std::make_unique<PhotoChoices>(m_ui, *m_intake);
    connect(m_photoChoices.get(), &PhotoChoices::storeFailed, this, &MainWindow::showGeneralError);
    m_preview = std::make_unique<ImagePreview>(
        ImagePreview::Controls{*m_list, *m_ui.imageList, *m_ui.effectBox, *m_ui.showPreviewAction,
                               *m_ui.actualSizeAction, *m_ui.showOriginalAction, *m_ui.previewImage,
                               *m_ui.previewSplitter},
        ToolLocation(m_environment.programFolder));
    m_preview->setOptionsSource([choices = m_ui.conversionChoices] { return choices->options(); });
    m_batchRun = std::make_unique<WindowBatchRun>(m_ui, *m_list, *m_environment.desktop,
                                                  ToolLocation(m_environment.programFolder),
                                                  m_environment.clock);
    connect(m_batchRun.get(), &WindowBatchRun::progress, this, &MainWindow::batchProgress);
    connect(m_batchRun.get(), &WindowBatchRun::finished, this, &MainWindow::batchFinished);
    m_shell = std::make_unique<FileShellActions>(
        *m_list, *m_ui.imageList,
        m_environment.shell ? *m_environment.shell : platform::systemShellLauncher(),
        [desktop = m_environment.desktop](const QUrl &url) { desktop->openUrl(url); });
    m_ui.imageList->arrangeColumns();

    // The client area of 478 x 474 as designed, centred on the screen.
    resize(478, 474 + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    connectCommands();
    initialise();
}

MainWindow::~MainWindow()
{
    m_batchRun.reset();
    m_preview.reset();
}

void MainWindow::connectCommands()
{
    connect(m_ui.addFilesAction, &QAction::triggered, this, &MainWindow::addFiles);
    connect(m_ui.addFolderAction, &QAction::triggered, this, &MainWindow::addFolder);
    connect(m_ui.onlineHelpAction, &QAction::triggered, this, &MainWindow::openOnlineHelp);
    connect(m_ui.aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m_ui.clearAction, &QAction::triggered, this, &MainWindow::clearList);
    connect(m_ui.exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(m_ui.showPreviewAction, &QAction::triggered, this, &MainWindow::togglePreview);
    connect(m_ui.resetToDefaultsAction, &QAction::triggered, this, &MainWindow::resetToDefaults);
    connect(m_ui.showConversionLogAction, &QAction::triggered, this,
            &MainWindow::showConversionLog);
    connect(m_ui.sendFeedbackAction, &QAction::triggered, this, &MainWindow::showFeedback);
    connect(m_ui.convertButton, &QPushButton::clicked, this, &MainWindow::convertOrStop);
    connect(m_ui.destinationButton, &QToolButton::clicked, this, &MainWindow::chooseDestination);
    connect(m_ui.formatBox, &QComboBox::activated, this, &MainWindow::formatChanged);
    connect(m_ui.destinationEdit, &QLineEdit::textEdited, this, &MainWindow::destinationChanged);
    connect(m_ui.destinationEdit, &QLineEdit::editingFinished, m_batchRun.get(),
            &WindowBatchRun::takeDestination);
    connect(m_ui.statusPanel, &StatusPanel::failuresClicked, this, &MainWindow::showConversionLog);
    connect(m_ui.imageList, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        m_ui.listMenu->popup(m_ui.imageList->viewport()->mapToGlobal(at));
    });

    connectListCommands();

    connect(m_intake.get(), &ImageIntake::fileHandled, this, &MainWindow::imageCountChanged);
    connect(m_intake.get(), &ImageIntake::busyChanged, this, &MainWindow::imageCountChanged);
    auto *failureBox = new IntakeFailureBox(*m_environment.dialogs, this);
    connect(m_intake.get(), &ImageIntake::intakeFinished, failureBox,
            [failureBox](quint64, int, const QList<ImageIntake::Failure> &failures) {
                failureBox->report(failures);
            });
}

void MainWindow::connectListCommands()
{
    ListEditor *editor = m_editor.get();
    connect(m_ui.upButton, &QToolButton::clicked, editor, &ListEditor::up);
    connect(m_ui.downButton, &QToolButton::clicked, editor, &ListEditor::down);
    connect(m_ui.topButton, &QToolButton::clicked, editor, &ListEditor::top);
    connect(m_ui.bottomButton, &QToolButton::clicked, editor, &ListEditor::bottom);
    connect(m_ui.imageList, &ImageListView::rowDropped, editor, &ListEditor::dropOn);
    connect(m_ui.imageList, &ImageListView::deletePressed, editor, &ListEditor::deleteSelected);
    connect(m_ui.deleteSelectedAction, &QAction::triggered, editor, &ListEditor::deleteSelected);
    connect(m_ui.deleteAllAction, &QAction::triggered, this, &MainWindow::deleteAll);
    connect(editor, &ListEditor::rowsDeleted, this, &MainWindow::imageCountChanged);
    FileShellActions *shell = m_shell.get();
    connect(m_ui.openAction, &QAction::triggered, this, [shell] { shell->openFile(); });
    connect(m_ui.openFolderLocationAction, &QAction::triggered, this,
            [shell] { shell->openFolderLocation(); });
    connect(m_ui.propertiesAction, &QAction::triggered, this, [shell] { shell->showProperties(); });

    connect(m_ui.imageList, &ImageListView::listClicked, this, &MainWindow::listClicked);
    connect(m_ui.imageList, &ImageListView::currentRowChangedByKey, this, &MainWindow::listClicked);
    connect(m_ui.effectBox, &QComboBox::activated, m_preview.get(), &ImagePreview::showPreview);
    connect(m_preview.get(), &ImagePreview::statusChanged, m_ui.statusPanel, &StatusPanel::setText);
    connect(m_ui.conversionChoices, &ConversionChoices::changed, m_preview.get(),
            &ImagePreview::showPreview);
}

void MainWindow::listClicked()
{
    m_preview->showPreview();
}

void MainWindow::initialise()
{
    // Files dropped from the file manager.
    setAcceptDrops(true);
    guarded([this] {
        const AppIdentity identity = readAppIdentity(m_environment.executable);
        setAppIdentity(identity);
        setWindowTitle(identity.appTitle);
        loadSettings();
        clearList();
    });
    startUpdateCheck();
    if (m_environment.probeEffects) {
        // Once the event loop runs, so that the window shows before the tool runs start.
        QTimer::singleShot(0, this, &MainWindow::probeEffects);
    }
}

void MainWindow::startUpdateCheck()
{
    UpdateCheckSetup setup = m_environment.updateCheck;
    setup.exchange.appTitle = appIdentity().appTitle;
    setup.exchange.appVersion = appIdentity().appVersion;
    m_updateChecker = new UpdateChecker(setup, m_ui.updateNotificationsAction, this);
    connect(m_updateChecker, &UpdateChecker::announceUpdate, this, &MainWindow::announceUpdate);
    connect(this, &MainWindow::announceUpdate, this, &MainWindow::showNewVersion);
    connect(m_ui.updateNotificationsAction, &QAction::triggered, m_updateChecker,
            &UpdateChecker::setNotificationsEnabled);
}

void MainWindow::loadSettings()
{
    const AppIdentity &identity = appIdentity();
    const QString folder =
        AppSettings::chooseFolder(m_environment.programFolder, m_environment.configRoot,
                                  identity.appCompany, identity.appProduct);
    m_settings = std::make_unique<AppSettings>(folder);
    m_preview->setScratchFolder(m_settings->folder());
    m_ui.destinationEdit->setText(m_settings->destination());
    if (m_ui.destinationEdit->text().isEmpty()) {
        m_ui.destinationEdit->setText(
            QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    }
    // Exactly as stored: "jpg" is not "JPG", and the selector keeps "PNG".
    const int format =
        m_ui.formatBox->findText(m_settings->format(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (format >= 0) {
        m_ui.formatBox->setCurrentIndex(format);
    }
    m_ui.showPreviewAction->setChecked(m_settings->showPreview());
    m_photoChoices->load(*m_settings);
    m_ui.conversionChoices->load(*m_settings, [this](const QString &m) { showGeneralError(m); });
}

void MainWindow::probeEffects()
{
    auto *probe = new EffectProbe(ToolLocation(m_environment.programFolder), this);
    connect(probe, &EffectProbe::finished, this,
            [this, probe](const EffectAvailability &availability) {
                markEffectAvailability(*m_ui.effectBox, availability);
                probe->deleteLater();
                emit effectsProbed();
            });
    probe->start();
}

QString MainWindow::statusText() const
{
    return m_ui.statusPanel->text();
}

EffectAvailability MainWindow::effectAvailability() const
{
    return knownEffectAvailability(ToolLocation(m_environment.programFolder));
}

bool MainWindow::batchRunning() const
{
    return m_batchRun->isRunning();
}

const BatchResult &MainWindow::lastBatchResult() const
{
    return m_batchRun->lastResult();
}

void MainWindow::imageCountChanged()
{
    const int count = m_list->rowCount();
    m_ui.statusPanel->setText(count == 1 ? QStringLiteral("1 file")
                                         : QStringLiteral("%1 files").arg(count));
    // The progress bar is the batch's while one runs.
    if (m_batchRun->isRunning()) {
        return;
    }
    if (m_intake->isBusy()) {
        m_ui.statusPanel->showProgress(m_intake->handledCount(), m_intake->knownCount());
    } else {
        m_ui.statusPanel->hideProgress();
    }
}

void MainWindow::addFiles()
{
    // The formats a folder brings in, then every file.
    const QStringList files = m_environment.dialogs->chooseFiles(
        this, {QStringLiteral("Image Files (%1)").arg(scannedPatterns().join(QLatin1Char(' '))),
               QStringLiteral("All Files (*)")});
    m_intake->addFiles(files);
}

quint64 MainWindow::addOpenedPaths(const QStringList &paths)
{
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    return m_intake->addOpened(paths);
}

void MainWindow::addFolder()
{
    const QStringList folders = m_environment.dialogs->chooseFolders(this, m_lastFolder, true);
    if (folders.isEmpty()) {
        return;
    }
    m_lastFolder = folders.first();
    m_intake->addFolders(folders);
}

void MainWindow::clearList()
{
    m_intake->cancel();
    m_list->clear();
    m_preview->hidePane();
    imageCountChanged();
}

void MainWindow::deleteAll()
{
    m_intake->cancel();
    m_editor->deleteAll();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedPaths(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    m_intake->addDropped(paths);
}

void MainWindow::chooseDestination()
{
    const QStringList folders = m_environment.dialogs->chooseFolders(this, m_lastFolder, false);
    if (folders.isEmpty()) {
        return;
    }
    m_lastFolder = folders.first();
    setDestinationFolder(m_lastFolder);
}

void MainWindow::setDestinationFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty()) {
        return;
    }
    m_lastFolder = folder;
    m_ui.destinationEdit->setText(folder);
    destinationChanged();
    // A chosen folder is a finished edit.
    m_batchRun->takeDestination();
}

void MainWindow::destinationChanged()
{
    if (m_settings) {
        guarded([this] { m_settings->setDestination(m_ui.destinationEdit->text()); });
    }
}

void MainWindow::formatChanged()
{
    if (m_settings) {
        guarded([this] { m_settings->setFormat(m_ui.formatBox->currentText()); });
    }
}

void MainWindow::togglePreview()
{
    // The menu item has already flipped its check mark.
    if (!m_ui.showPreviewAction->isChecked()) {
        m_preview->hidePane();
    }
    if (m_settings) {
        guarded([this] { m_settings->setShowPreview(m_ui.showPreviewAction->isChecked()); });
    }
}

void MainWindow::resetToDefaults()
{
    const QMessageBox::StandardButton answer = m_environment.dialogs->askWithButtons(
        this, QStringLiteral("Restart Application?"), QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No, {QStringLiteral("Yes"), QStringLiteral("No")},
        QStringLiteral("Confirmation"));
    if (answer != QMessageBox::Yes) {
        return;
    }
    if (m_settings) {
        // A file that cannot be deleted is read again by the new instance.
        m_settings->removeFile();
    }
    QCoreApplication::processEvents();
    m_environment.desktop->restartProgram(m_environment.executable);
}

void MainWindow::openOnlineHelp()
{
    // No network: nothing to report (the desktop actions report a missing opener).
    m_environment.desktop->openUrl(QUrl(onlineHelpAddress(appIdentity().appProduct)));
}

void MainWindow::showAbout()
{
    // A new window each time; it is modal and deletes itself when closed.
    auto *box =
        new AboutWindow(AboutWindow::environment(m_environment.programFolder,
                                                 *m_environment.dialogs, *m_environment.desktop),
                        this);
    box->show();
}

void MainWindow::exitProgram()
{
    close();
    QCoreApplication::quit();
}

void MainWindow::convertOrStop()
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

void MainWindow::showConversionLog()
{
    if (m_batchRun->lastResult().failures.isEmpty()) {
        return;
    }
    auto *dialog = new ConversionLogDialog(m_batchRun->lastResult(), this);
    dialog->show();
}

void MainWindow::showFeedback()
{
    FeedbackEndpoint endpoint = feedbackEndpoint(m_environment.webHost);
    endpoint.options = m_environment.webOptions;
    // Modal without blocking here; it destroys itself when closed.
    auto *feedback =
        new FeedbackWindow(endpoint, *m_environment.dialogs, *m_environment.desktop, this);
    feedback->show();
}

void MainWindow::showNewVersion(const QString &serverVersion, const QString &downloadUrl)
{
    if (!m_newVersionNotice) {
        m_newVersionNotice = std::make_unique<NewVersionNotice>(serverVersion, downloadUrl,
                                                                *m_environment.desktop, this);
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_batchRun->stop();
    QMainWindow::closeEvent(event);
}

void MainWindow::showGeneralError(const QString &message)
{
    m_environment.dialogs->showMessage(this, QMessageBox::Critical, applicationTitle(),
                                       generalErrorText(message));
}

} // namespace inkvale
