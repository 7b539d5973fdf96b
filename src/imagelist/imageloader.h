#pragma once

#include <QSize>
#include <QString>

namespace inkvale {

// What decoding one file gave: its size, or the loader's message.
struct LoadResult
{
    QString path;
    bool ok = false;
    QSize size;
    QString error;
};

// Decodes the whole picture with the decoder that the file's extension names (never by its
// content), only to learn its size; truncated or corrupt content fails. Safe to call on any
// thread. The first call raises Qt's process-wide limit on a decoded picture to 1 GB where it
// is lower, so that photos of many megapixels load.
LoadResult loadPicture(const QString &path);

} // namespace inkvale
