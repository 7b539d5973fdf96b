#pragma once

#include "base/result.h"

#include <QString>
#include <QStringList>

namespace inkvale {

// Whether the path's last component ends in an extension that a folder's scan takes (see
// PictureFormat::scannedInFolders), compared without regard to case.
bool isImageFile(const QString &path);

// File names in the order a file manager shows them: without regard to case, and numbers by
// their value ("img2" before "img10").
void sortAsFileManager(QStringList &names);

// The accepted picture names directly inside `folder` (not in its sub-folders), in the
// order of sortAsFileManager, as full paths. Everything but a folder counts, so that a pipe, a
// device or a link that leads nowhere is reported by whoever takes it (see checkRegularFile())
// instead of being left out in silence; a name that is not valid UTF-8 keeps its bytes (see
// base/fspath.h). When the folder cannot be read, the list is empty and `error` (if given) says
// why.
QStringList imageFilesInFolder(const QString &folder, QString *error = nullptr);

// Whether `path` is a regular file (links followed) and so can be read as a picture file;
// when not, why in a few words: it is missing, a folder, a pipe, a device, a socket or a link
// that leads nowhere. Only looks at the file: a pipe opened for reading would wait for ever.
Result<> checkRegularFile(const QString &path);

} // namespace inkvale
