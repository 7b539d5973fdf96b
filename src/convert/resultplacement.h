#pragma once

#include "base/result.h"
#include "convert/outputoptions.h"
#include "convert/photometadata.h"

#include <QString>

namespace inkvale {

// What a result carries beyond the tool's pixels.
struct ResultContent
{
    // The input's records: they go into a result whose format keeps them
    // (PictureFormat::keepsMetadata), prepared for it (see PhotoMetadata::prepareForResult()).
    PhotoMetadata metadata;
    OutputOptions options;
};

// Puts the tool's PNG result at `output` in the format that the output's extension names
// (transcoded with the format's writer, see pictureFormats(); an extension of no format
// with a writer keeps the PNG bytes), never replacing an existing file. A result that does not
// decode whole is not delivered. When `output` was taken meanwhile and `wantedName` is
// given, the result takes findFilenameThatDoesNotExist(wantedName) instead, as often as
// needed. Runs off the UI thread; `scratchFolder` is private to the conversion. Fails with
// the reason. A result whose metadata could not be written is still delivered, and `note`
// (if given) says why it lacks them.
Result<> placeResult(const QString &toolOutput, const QString &output, const QString &scratchFolder,
                     const QString &wantedName = {}, const ResultContent &content = {},
                     QString *note = nullptr);

} // namespace inkvale
