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

// Decodes the whole picture with the reader of the format its extension names (see
// pictureFormats()) (never by its
// content), only to learn its size as viewers show it (a JPEG's orientation tag applied);
// truncated or corrupt content fails. Safe to call on any thread.
LoadResult loadPicture(const QString &path);

} // namespace inkvale
