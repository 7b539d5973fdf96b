#pragma once

#include "app/mainwindow.h"
#include "support/windowstandins.h"

#include <memory>
#include <QTemporaryDir>

namespace inkvale::tools {

// The real main window in a program folder of its own (with the real tool linked in), with
// stand-in dialogs that the driver fills, for looking at and timing the window.
class WindowDriver
{
public:
    explicit WindowDriver(bool probeEffects);

    MainWindow &form() { return *m_form; }
    test::RecordingDialogs &dialogs() { return m_dialogs; }
    QString folder() const { return m_folder.path(); }

    // `count` generated pictures of `width` x `height`, added through "Add Files".
    QStringList addPictures(int count, int width, int height);
    // Existing pictures, added through "Add Files".
    void addFiles(const QStringList &paths);
    // Starts a batch into a fresh folder and returns at once.
    void startBatch(const QString &effect, const QString &format);
    bool waitForBatch(int timeoutMs);

private:
    QTemporaryDir m_folder;
    test::RecordingDialogs m_dialogs;
    test::RecordingDesktop m_desktop;
    std::unique_ptr<MainWindow> m_form;
};

} // namespace inkvale::tools
