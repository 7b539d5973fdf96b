#pragma once

#include <functional>
#include <QString>
#include <QUrl>

namespace inkvale {

class ImageListModel;
class ImageListView;
namespace platform {
class ShellLauncher;
}

// Hands the current row's file to the desktop: opened with its default application, shown
// in the file manager, or with its properties. Requests to the file manager go out on a
// worker thread, and nothing is reported when no one answers.
class FileShellActions
{
public:
    FileShellActions(ImageListModel &model, ImageListView &view, platform::ShellLauncher &launcher,
                     std::function<void(const QUrl &)> openUrl);

    void openFile();
    void openFolderLocation();
    void showProperties();

private:
    // Empty without a current row.
    QString currentPath() const;

    ImageListModel &m_model;
    ImageListView &m_view;
    platform::ShellLauncher &m_launcher;
    std::function<void(const QUrl &)> m_openUrl;
};

} // namespace inkvale
