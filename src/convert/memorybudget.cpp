#include "convert/memorybudget.h"

#include "convert/parallelconversions.h"
#include "convert/pictureclaim.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/toolinput.h"
#include "platform/availablememory.h"

#include <cmath>
#include <QFile>

namespace inkvale {

std::uint64_t toolMemoryBudget()
{
    return memoryBudget(platform::availableMemory());
}

QString memoryRefusal(const QString &effect, qint64 pixels, std::uint64_t budget)
{
    const std::uint64_t need = toolMemoryEstimate(effect, pixels);
    if (budget == 0 || need <= budget) {
        return {};
    }
    // Rounded up, so that "about" never promises less than the estimate.
    const double gigabytes = std::ceil(static_cast<double>(need) / 1e8) / 10;
    return QStringLiteral("too large for this machine's memory: needs about %1 GB")
        .arg(gigabytes, 0, 'f', 1);
}

QString pictureRefusal(const QString &path, const QString &effect, int largestSide,
                       std::uint64_t budget)
{
    QFile file;
    const Result<const PictureFormat *> opened = openPicture(path, file);
    if (!opened.ok()) {
        return {};
    }
    const PictureFormat *format = opened.value();
    const Result<QSize> claimed = readClaimedSize(file, format->reader);
    if (!claimed.ok()) {
        // Damage is the conversion's to tell.
        return {};
    }
    // A claim beyond the data is a reason of its own.
    const QSize size = claimed.value();
    if (QString claim = pictureClaimBeyondData(format->reader, file, size); !claim.isEmpty()) {
        return claim;
    }
    const QSize toolSize = limitedSize(size, largestSide);
    return memoryRefusal(effect, qint64(toolSize.width()) * toolSize.height(), budget);
}

} // namespace inkvale
