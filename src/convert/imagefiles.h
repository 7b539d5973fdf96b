#pragma once

#include <QString>
#include <QStringList>

namespace inkvale {

// Whether the path's last component ends in one of the seven accepted picture extensions
// (.bmp .gif .png .tif .tiff .jpg .jpeg), compared without regard to case.
bool isImageFile(const QString &path);

// File names in the order a file manager shows them: without regard to case, and numbers by
// their value ("img2" before "img10").
void sortAsFileManager(QStringList &names);

// The accepted picture files directly inside `folder` (not in its sub-folders), in the order
// of sortAsFileManager, as full paths.
QStringList imageFilesInFolder(const QString &folder);

} // namespace inkvale
