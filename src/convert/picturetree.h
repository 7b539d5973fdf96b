#pragma once

#include <QList>
#include <QString>

namespace inkvale {

// One picture found below a given folder.
struct TreePicture
{
    QString path;
    // The folder it lies in, relative to the given folder ("2024/June"); empty for the given
    // folder itself. Its results go to the same place below the destination.
    QString subfolder;
};

// The accepted pictures of a folder and of every folder below it: each folder's own pictures
// first (as imageFilesInFolder() gives them), then its sub-folders one after the other in the
// file manager's order. Hidden folders are not entered, nor is a folder reached a second time
// (a link leading back up, or to a folder already scanned). When the given folder cannot be
// read, the list is empty and `error` (if given) says why; a sub-folder that cannot be read is
// passed over.
QList<TreePicture> picturesInTree(const QString &folder, QString *error = nullptr);

} // namespace inkvale
