#pragma once

#include "base/result.h"

#include <QSize>
#include <QString>

namespace inkvale {

// Decodes the whole picture with the reader of the format its extension names (see
// pictureFormats()), never by its content, only to learn its size as viewers show it (a
// JPEG's orientation tag applied); truncated or corrupt content fails with the loader's
// message. Safe to call on any thread.
Result<QSize> loadPicture(const QString &path);

} // namespace inkvale
