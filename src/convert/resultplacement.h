#pragma once

#include "base/result.h"

#include <QString>

namespace inkvale {

// Puts the tool's PNG result at `output` in the format that the output's extension names
// (transcoded with the format's writer, see pictureFormats(); an extension of no format
// with a writer keeps the PNG bytes), never replacing an existing file. A result that does not
// decode whole is not delivered. When `output` was taken meanwhile and `wantedName` is
// given, the result takes findFilenameThatDoesNotExist(wantedName) instead, as often as
// needed. Runs off the UI thread; `scratchFolder` is private to the conversion. Fails with
// the reason.
Result<> placeResult(const QString &toolOutput, const QString &output, const QString &scratchFolder,
                     const QString &wantedName = {});

} // namespace inkvale
