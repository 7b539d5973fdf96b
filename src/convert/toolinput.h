#pragma once

#include "base/result.h"
#include "convert/photometadata.h"

#include <QSize>
#include <QString>

namespace inkvale {

// A picture as the tool gets it.
struct ToolInput
{
    // The path the tool is given.
    QString path;
    // The input's records, for the result.
    PhotoMetadata metadata;
    // The picture's size as the tool gets it, upright.
    QSize size;
};

// Hands the picture `input` to the tool under a neutral name in `scratchFolder` (the path
// the tool is given and the picture's records, or why the picture is not handed over), the
// conversion's private folder: no name chosen by the user reaches the tool (it runs a file
// ending in ".gmic" as commands, and reads commas, braces and dollar signs as syntax). The
// name's extension is the format found in the content, and the picture must decode whole
// first, as the list's intake requires. A photo whose orientation tag turns it, or an
// animation or document of several pages, is handed over as a copy of its upright first
// frame; any other picture through a link. A picture whose longest side exceeds
// `largestSide` (when not 0) is handed over as a copy scaled down to it, so that the tool
// works on the smaller picture. Slow for large pictures: run it off the UI thread.
Result<ToolInput> prepareToolInput(const QString &input, const QString &scratchFolder,
                                   int largestSide = 0);

// `size` scaled down, aspect kept, so that its longest side is at most `largestSide`; as it
// is when already that small or when `largestSide` is 0.
QSize limitedSize(const QSize &size, int largestSide);

// Makes `link` lead to `file` for the tool: a symbolic link, else a hard link (a file system
// without symbolic links, or Windows without the privilege), else a copy; fails with the
// system's words when none can be made.
Result<> linkForTool(const QString &file, const QString &link);

} // namespace inkvale
