#include "convert/parallelconversions.h"

#include "convert/effectpresets.h"

#include <algorithm>

namespace inkvale {
namespace {

// G'MIC's own peak before any picture is loaded, measured with Debian's 2.9.4 (see
// toolBytesPerPixel in the presets).
constexpr std::uint64_t kToolBaseMemory = 80 * 1024 * 1024;

int largestBytesPerPixel()
{
    int largest = 0;
    for (const EffectPreset &preset : effectPresets()) {
        largest = std::max(largest, preset.toolBytesPerPixel);
    }
    return largest;
}

} // namespace

std::uint64_t memoryBudget(std::uint64_t availableMemory)
{
    return availableMemory / 4 * 3;
}

std::uint64_t toolMemoryEstimate(const QString &effect, qint64 pixels)
{
    const EffectPreset *preset = findEffectPreset(effect);
    // An unknown effect fails at once, but plan for the hungriest rather than the least.
    const int bytesPerPixel =
        preset != nullptr ? preset->toolBytesPerPixel : largestBytesPerPixel();
    return kToolBaseMemory + static_cast<std::uint64_t>(std::max<qint64>(pixels, 0)) *
                                 static_cast<std::uint64_t>(bytesPerPixel);
}

int parallelConversions(int cores, std::uint64_t availableMemory, qint64 pixels,
                        const QString &effect)
{
    if (cores <= 1 || availableMemory == 0) {
        return 1;
    }
    const std::uint64_t fitting =
        memoryBudget(availableMemory) / toolMemoryEstimate(effect, pixels);
    return static_cast<int>(
        std::clamp<std::uint64_t>(fitting, 1, static_cast<std::uint64_t>(cores)));
}

bool anotherConversionFits(int cores, std::uint64_t availableMemory, int running,
                           std::uint64_t runningMemory, std::uint64_t nextMemory)
{
    if (running <= 0) {
        return true;
    }
    if (running >= cores || availableMemory == 0) {
        return false;
    }
    return runningMemory + nextMemory <= memoryBudget(availableMemory);
}

int toolThreads(int cores, int conversions)
{
    return std::max(1, cores / std::max(1, conversions));
}

} // namespace inkvale
