#pragma once

#include "base/result.h"
#include "convert/photometadata.h"

#include <cstdint>
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

// What a picture may ask of the machine.
struct ToolInputLimits
{
    // The effect the tool runs, which decides its memory per pixel.
    QString effect;
    // The longest side the tool gets (see limitedSize()); 0: the picture's own.
    int largestSide = 0;
    // What the tool may take (see memoryRefusal()); 0 when unknown.
    std::uint64_t memoryBudget = 0;
};

// Hands the picture `input` to the tool as a private copy under a neutral name in
// `scratchFolder`, the conversion's own folder (the path the tool is given, the picture's
// records and its size, or why the picture is not handed over): no name chosen by the user
// reaches the tool (it runs a file ending in ".gmic" as commands, and reads commas, braces
// and dollar signs as syntax), and nobody can change what it reads after the check. The
// name's extension is the format found in the content. A picture whose tool would not fit
// in `limits` is refused from its header, before anything is copied; the copy must then
// decode whole, as the list's intake requires. A photo whose orientation tag turns it, an
// animation or document of several pages, or a format the tool does not read is handed over
// as a copy of its upright first frame instead; a picture whose longest side exceeds
// `limits.largestSide` (when not 0) as a copy scaled down to it, so that the tool works on
// the smaller picture. Slow for large pictures: run it off the UI thread.
Result<ToolInput> prepareToolInput(const QString &input, const QString &scratchFolder,
                                   const ToolInputLimits &limits = {});

// `size` scaled down, aspect kept, so that its longest side is at most `largestSide`; as it
// is when already that small or when `largestSide` is 0.
QSize limitedSize(const QSize &size, int largestSide);

// Makes `link` lead to `file` for the tool: a symbolic link, else a hard link (a file system
// without symbolic links, or Windows without the privilege), else a copy; fails with the
// system's words when none can be made.
Result<> linkForTool(const QString &file, const QString &link);

} // namespace inkvale
