#pragma once

#include <cstdint>
#include <QString>

// Whether a picture's tool fits in this machine's memory at all.
namespace inkvale {

// What the tools may take of the memory available now (see memoryBudget()); 0 when unknown.
std::uint64_t toolMemoryBudget();

// "too large for this machine's memory: needs about N GB" when the tool's need for a picture
// of `pixels` with `effect` (toolMemoryEstimate()) exceeds `budget`: such a tool would push
// the machine into swap or be killed, after minutes. Empty when it fits, or when the budget is
// unknown (0).
QString memoryRefusal(const QString &effect, qint64 pixels, std::uint64_t budget);

// Why the picture at `path` is not to be given to the tool with `effect`, told from its header
// alone: a claim beyond what its data holds (see pictureClaimBeyondData()) or the
// memoryRefusal() for its size limited to `largestSide` (see limitedSize()). Empty
// otherwise, also for a file that cannot be read as a picture (the conversion says why).
QString pictureRefusal(const QString &path, const QString &effect, int largestSide,
                       std::uint64_t budget);

} // namespace inkvale
