#pragma once

#include "app/mainwindowui.h"
#include "convert/batchresult.h"
#include "convert/effectavailability.h"
#include "online/updatecheckthread.h"
#include "platform/postform.h"
#include "windowkit/makerweb.h"

#include <chrono>
#include <functional>
#include <memory>
#include <QMainWindow>

namespace inkvale {

class AppSettings;
class DesktopActions;
class FileShellActions;
class ImageIntake;
class ImageListModel;
class ImagePreview;
class ListEditor;
class NewVersionNotice;
class PhotoChoices;
class UpdateChecker;
class UserDialogs;
class WindowBatchRun;
namespace platform {
class ShellLauncher;
}

// The main window: the list of pictures, the choices, "Convert" and the menus. It wires its
// controls to the operations that live in their own classes.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // What the window takes from the world; tests point these at their own folders and
    // stand-ins.
    struct Environment
    {
        // Whose version information names the program.
        QString executable;
        // Where the settings may live and where the tool folder "gmic" is.
        QString programFolder;
        // The per-user configuration folder, used when the program folder is not writable.
        QString configRoot;
        UserDialogs *dialogs = nullptr;
        DesktopActions *desktop = nullptr;
        // Ask the tool at start which effects it has.
        bool probeEffects = true;
        // Where "Open Folder Location..." and "Properties" go; the system's desktop when null.
        platform::ShellLauncher *shell = nullptr;
        // The maker's web host for feedback; tests name a local stand-in and trust its
        // certificate through `webOptions`.
        QString webHost = makerWebHost();
        platform::PostFormOptions webOptions;
        // The update check; with no host (the default) this run checks nothing.
        UpdateCheckSetup updateCheck;
        // The clock of the double-click guard on "Convert"; tests step one by hand.
        std::function<std::chrono::steady_clock::time_point()> clock = [] {
            return std::chrono::steady_clock::now();
        };
    };

    explicit MainWindow(const Environment &environment, QWidget *parent = nullptr);
    ~MainWindow() override;

    const MainWindowUi &ui() const { return m_ui; }
    ImageListModel &listModel() { return *m_list; }
    ImageIntake &intake() { return *m_intake; }
    ListEditor &listEditor() { return *m_editor; }
    ImagePreview &preview() { return *m_preview; }
    // Null when the settings could not be opened at start.
    AppSettings *settings() { return m_settings.get(); }
    QString lastFolder() const { return m_lastFolder; }
    QString statusText() const;
    bool batchRunning() const;
    const BatchResult &lastBatchResult() const;
    // The batch's status, log and last result.
    WindowBatchRun &batchRun() { return *m_batchRun; }
    // What the effect check learnt about the installed tool.
    EffectAvailability effectAvailability() const;
    UpdateChecker &updateChecker() { return *m_updateChecker; }

    // Pictures and folders named on the command line, by this start or a later one: added as
    // if dropped on the window, which comes to the front. Returns the intake's number
    // (ImageIntake::intakeFinished).
    quint64 addOpenedPaths(const QStringList &paths);

    // Handlers, named after their controls.
    void addFiles();
    void addFolder();
    void clearList();
    // "Delete All": also ends a folder intake in progress, as Clear does.
    void deleteAll();
    void convertOrStop();
    void chooseDestination();
    // The destination chooser's choice: the field shows it and a running batch writes there.
    void setDestinationFolder(const QString &folder);
    // Stores the destination the user typed or chose; the value loaded at start is never
    // written back unchanged.
    void destinationChanged();
    void formatChanged();
    void togglePreview();
    void resetToDefaults();
    void openOnlineHelp();
    void showAbout();
    void exitProgram();
    void showConversionLog();
    void showFeedback();
    void imageCountChanged();
    void listClicked();
    // Announces `serverVersion` in the corner notice. The notice is made once per run; later
    // calls change nothing.
    void showNewVersion(const QString &serverVersion, const QString &downloadUrl);
    // Null until a version has been announced.
    NewVersionNotice *newVersionNotice() const { return m_newVersionNotice.get(); }

signals:
    // The effect check of the installed tool has answered.
    void effectsProbed();
    // `done` images of the running batch are behind, `total` listed at the moment.
    void batchProgress(int done, int total);
    void batchFinished(const inkvale::BatchResult &result);
    // The update check found a version to announce in the new-version window.
    void announceUpdate(const QString &serverVersion, const QString &downloadUrl);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void initialise();
    void loadSettings();
    void startUpdateCheck();
    void connectCommands();
    void connectListCommands();
    void probeEffects();
    void showGeneralError(const QString &message);
    // Runs a command; an error that escapes it reaches the general error handler.
    template<typename Command>
    void guarded(Command &&command);

    Environment m_environment;
    MainWindowUi m_ui;
    std::unique_ptr<ImageListModel> m_list;
    std::unique_ptr<ImageIntake> m_intake;
    std::unique_ptr<ListEditor> m_editor;
    std::unique_ptr<PhotoChoices> m_photoChoices;
    std::unique_ptr<ImagePreview> m_preview;
    std::unique_ptr<FileShellActions> m_shell;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<WindowBatchRun> m_batchRun;
    QString m_lastFolder;
    std::unique_ptr<NewVersionNotice> m_newVersionNotice;
    UpdateChecker *m_updateChecker = nullptr;
};

} // namespace inkvale
