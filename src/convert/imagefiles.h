#pragma once

#include <QString>
#include <QStringList>

namespace inkvale {

// Whether the path's last component ends in one of the seven accepted picture extensions
// (.bmp .gif .png .tif .tiff .jpg .jpeg), compared without regard to case.
bool isImageFile(const QString &path);

// The accepted picture files directly inside `folder` (not in its sub-folders), sorted by
// name, as full paths.
QStringList imageFilesInFolder(const QString &folder);

} // namespace inkvale
