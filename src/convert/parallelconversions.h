#pragma once

#include <cstdint>
#include <QString>

// How many conversions a batch runs at once, and how the cores are shared among them.
namespace inkvale {

// The tool's peak memory in bytes for one picture of `pixels` with `effect`: a fixed part for
// the tool itself and a part per pixel measured for each effect.
std::uint64_t toolMemoryEstimate(const QString &effect, qint64 pixels);

// What the tools may take together of `availableMemory` (bytes): three quarters; the rest
// stays for the window and the system.
std::uint64_t memoryBudget(std::uint64_t availableMemory);

// How many pictures of `pixels` with `effect` may convert at once: no more than the cores,
// no more than fit in three quarters of `availableMemory` (bytes; the rest stays for the
// window and the system), and always at least one. Unknown memory (0) gives one.
int parallelConversions(int cores, std::uint64_t availableMemory, qint64 pixels,
                        const QString &effect);

// Whether one more picture, whose tool needs `nextMemory` bytes, may start beside `running`
// conversions whose tools need `runningMemory` together: with none running always; else
// while there are cores left and all of them fit in three quarters of `availableMemory`.
// Unknown memory (0) lets one run at a time. A large picture among small ones so keeps
// others back, and small ones never crowd in beside a large one.
bool anotherConversionFits(int cores, std::uint64_t availableMemory, int running,
                           std::uint64_t runningMemory, std::uint64_t nextMemory);

// The threads each tool gets when `conversions` run side by side on `cores`: an equal share,
// at least one.
int toolThreads(int cores, int conversions);

} // namespace inkvale
