#include "convert/heifcodec.h"

// For builds without libheif: no HEIF container is recognised, so none reaches the others.

namespace inkvale {

namespace {

QString unavailable()
{
    return QStringLiteral("HEIF pictures cannot be read or written by this build of Inkvale");
}

} // namespace

bool HeifCodec::available()
{
    return false;
}

QByteArray HeifCodec::formatOf(const QByteArray &)
{
    return {};
}

Result<DecodedPicture> HeifCodec::decode(QIODevice &)
{
    return Result<DecodedPicture>::failure(unavailable());
}

Result<QSize> HeifCodec::sizeOf(QIODevice &)
{
    return Result<QSize>::failure(unavailable());
}

PhotoMetadata HeifCodec::metadataOf(QIODevice &)
{
    return {};
}

QString HeifCodec::writeAvif(const QImage &, const QString &, int, const PhotoMetadata &)
{
    return unavailable();
}

} // namespace inkvale
