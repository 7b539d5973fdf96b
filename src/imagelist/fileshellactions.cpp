#include "imagelist/fileshellactions.h"

#include "base/fspath.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "platform/shellactions.h"

#include <QtConcurrent/QtConcurrentRun>

namespace inkvale {

FileShellActions::FileShellActions(ImageListModel &model, ImageListView &view,
                                   platform::ShellLauncher &launcher,
                                   std::function<void(const QUrl &)> openUrl)
    : m_model(model)
    , m_view(view)
    , m_launcher(launcher)
    , m_openUrl(std::move(openUrl))
{}

QString FileShellActions::currentPath() const
{
    const int row = m_view.currentRow();
    return row < 0 ? QString() : m_model.path(row);
}

void FileShellActions::openFile()
{
    // The desktop's own handler reports what it cannot open, if anything.
    if (const QString path = currentPath(); !path.isEmpty()) {
        m_openUrl(QUrl::fromLocalFile(path));
    }
}

void FileShellActions::openFolderLocation()
{
    if (const QString path = currentPath(); !path.isEmpty()) {
        // A file manager started for the request may take seconds to answer.
        (void)QtConcurrent::run([&launcher = m_launcher, file = toFsPath(path)] {
            platform::showInFolder(file, launcher);
        });
    }
}

void FileShellActions::showProperties()
{
    if (const QString path = currentPath(); !path.isEmpty()) {
        (void)QtConcurrent::run([&launcher = m_launcher, file = toFsPath(path)] {
            platform::showFileProperties(file, launcher);
        });
    }
}

} // namespace inkvale
