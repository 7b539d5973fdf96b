#pragma once

#include <QStringList>

class QMimeData;

namespace inkvale {

// The local files and folders a drop from the file manager carries, in the drop's order;
// empty for anything else.
QStringList droppedPaths(const QMimeData *data);

} // namespace inkvale
