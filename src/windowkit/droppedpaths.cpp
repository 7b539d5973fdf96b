#include "windowkit/droppedpaths.h"

#include <QMimeData>
#include <QUrl>

namespace inkvale {

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

} // namespace inkvale
