#pragma once

#include "app/makerweb.h"
#include "app/tappformui.h"
#include "convert/batchresult.h"
#include "convert/effectavailability.h"
#include "online/tchecker.h"
#include "platform/postform.h"

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
class TNewVer;
class UpdateChecker;
class UserDialogs;
class WindowBatchRun;
namespace platform {
class ShellLauncher;
}

// The main window: the list of pictures, the choices, "Convert" and the menus. It wires its
// controls to the operations that live in their own classes.
class TAppForm : public QMainWindow
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
    };

    explicit TAppForm(const Environment &environment, QWidget *parent = nullptr);
    ~TAppForm() override;

    const TAppFormUi &ui() const { return m_ui; }
    ImageListModel &listModel() { return *m_list; }
    ImageIntake &intake() { return *m_intake; }
    ListEditor &listEditor() { return *m_editor; }
    ImagePreview &preview() { return *m_preview; }
    // Null when the settings could not be opened at start.
    AppSettings *settings() { return m_settings.get(); }
    QString LastFolder() const { return m_lastFolder; }
    QString statusText() const;
    bool batchRunning() const;
    const BatchResult &lastBatchResult() const;
    const EffectAvailability &effectAvailability() const { return m_availability; }
    UpdateChecker &updateChecker() { return *m_updateChecker; }

    // Handlers, named after their controls.
    void ToolButton1Click();
    void ToolButton2Click();
    void Clear1Click();
    void Button1Click();
    void Button3Click();
    void AddMyFolder(const QString &foldername);
    void Edit1Change();
    void ComboBox1Change();
    void ShowPreview1Click();
    void ResettoDefaults1Click();
    void Help2Click();
    // Also the About toolbar button's handler (ToolButton5Click).
    void About1Click();
    void Exit1Click();
    void ShowConversionLog1Click();
    void SendFeedback1Click();
    void ResimSayisiDegisti();
    void ListView1Click();
    void ComboBox2Change();
    // Announces `ServerVersion` in the corner notice. The notice is made once per run; later
    // calls change nothing.
    void ShowNewVersion(const QString &ServerVersion, const QString &DownloadURL);
    // Null until a version has been announced.
    TNewVer *newVersionNotice() const { return m_newVer.get(); }

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
    void FormCreate();
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
    TAppFormUi m_ui;
    std::unique_ptr<ImageListModel> m_list;
    std::unique_ptr<ImageIntake> m_intake;
    std::unique_ptr<ListEditor> m_editor;
    std::unique_ptr<ImagePreview> m_preview;
    std::unique_ptr<FileShellActions> m_shell;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<WindowBatchRun> m_batchRun;
    EffectAvailability m_availability;
    QString m_lastFolder;
    std::unique_ptr<TNewVer> m_newVer;
    UpdateChecker *m_updateChecker = nullptr;
};

} // namespace inkvale
