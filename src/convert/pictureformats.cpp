#include "convert/pictureformats.h"

#include "convert/heifcodec.h"
#include "convert/outputoptions.h"

#include <QDir>

namespace inkvale {
namespace {

const QList<PictureFormat> &knownFormats()
{
    static const QList<PictureFormat> formats{
        {.name = QStringLiteral("PNG"),
         .reader = "png",
         .extensions = {QStringLiteral("png")},
         .signature = [](const QByteArray &data) { return data.startsWith("\x89PNG\r\n\x1A\n"); },
         .scannedInFolders = true,
         .writer = "png",
         .outputChoice = QStringLiteral("PNG"),
         .keepsMetadata = true},
        {.name = QStringLiteral("JPEG"),
         .reader = "jpeg",
         .extensions = {QStringLiteral("jpg"), QStringLiteral("jpeg")},
         .signature = [](const QByteArray &data) { return data.startsWith("\xFF\xD8\xFF"); },
         .scannedInFolders = true,
         .writer = "jpeg",
         .outputChoice = QStringLiteral("JPG"),
         .opaque = true,
         .quality = kDefaultQuality,
         .keepsMetadata = true},
        {.name = QStringLiteral("GIF"),
         .reader = "gif",
         .extensions = {QStringLiteral("gif")},
         .signature =
             [](const QByteArray &data) {
                 return data.startsWith("GIF87a") || data.startsWith("GIF89a");
             },
         .scannedInFolders = true,
         // The tool reads GIF only through an outside converter, which writes temporary
         // files of its own.
         .toolReads = false},
        {.name = QStringLiteral("BMP"),
         .reader = "bmp",
         .extensions = {QStringLiteral("bmp")},
         // Shorter than its header is no bitmap.
         .signature =
             [](const QByteArray &data) { return data.startsWith("BM") && data.size() >= 26; },
         .scannedInFolders = true,
         .writer = "bmp",
         .outputChoice = QStringLiteral("BMP"),
         .opaque = true},
        {.name = QStringLiteral("TIFF"),
         .reader = "tiff",
         .extensions = {QStringLiteral("tif"), QStringLiteral("tiff")},
         .signature =
             [](const QByteArray &data) {
                 return data.startsWith(QByteArrayLiteral("II*\0")) ||
                        data.startsWith(QByteArrayLiteral("MM\0*"));
             },
         .scannedInFolders = true,
         .writer = "tiff",
         // Not every build of the tool reads TIFF; the Windows one does not.
         .toolReads = false},
        {.name = QStringLiteral("WebP"),
         .reader = "webp",
         .extensions = {QStringLiteral("webp")},
         .signature =
             [](const QByteArray &data) {
                 return data.startsWith("RIFF") && data.size() >= 16 && data.mid(8, 4) == "WEBP";
             },
         .scannedInFolders = true,
         .writer = "webp",
         .outputChoice = QStringLiteral("WebP"),
         .quality = kDefaultQuality,
         .toolReads = false,
         .keepsMetadata = true},
        // The photos of today's phones; read through libheif.
        {.name = QStringLiteral("HEIC"),
         .reader = "heif",
         .extensions = {QStringLiteral("heic"), QStringLiteral("heif")},
         .signature = [](const QByteArray &data) { return HeifCodec::formatOf(data) == "heif"; },
         .scannedInFolders = true,
         .toolReads = false},
        {.name = QStringLiteral("AVIF"),
         .reader = "avif",
         .extensions = {QStringLiteral("avif")},
         .signature = [](const QByteArray &data) { return HeifCodec::formatOf(data) == "avif"; },
         .scannedInFolders = true,
         .writer = "avif",
         .outputChoice = QStringLiteral("AVIF"),
         .quality = kDefaultQuality,
         .toolReads = false,
         .keepsMetadata = true},
        // Icons go into the list when added by name (the picture loader reads them), but no
        // folder brings them in and the tool is not given them: it has no reader for them.
        {.name = QStringLiteral("ICO"), .reader = "ico", .extensions = {QStringLiteral("ico")}},
    };
    return formats;
}

} // namespace

const QList<PictureFormat> &pictureFormats()
{
    static const QList<PictureFormat> formats = [] {
        QList<PictureFormat> usable = knownFormats();
        // A build without libheif reads and writes no HEIF containers.
        if (!HeifCodec::available()) {
            usable.removeIf([](const PictureFormat &format) {
                return format.reader == "heif" || format.reader == "avif";
            });
        }
        return usable;
    }();
    return formats;
}

const PictureFormat *formatOfName(const QString &path)
{
    const QString normal = QDir::fromNativeSeparators(path);
    const QString name = normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return nullptr;
    }
    const QString extension = name.mid(dot + 1);
    for (const PictureFormat &format : pictureFormats()) {
        if (format.extensions.contains(extension, Qt::CaseInsensitive)) {
            return &format;
        }
    }
    return nullptr;
}

const PictureFormat *formatOfContent(const QByteArray &data)
{
    for (const PictureFormat &format : pictureFormats()) {
        if (format.signature != nullptr && format.signature(data)) {
            return &format;
        }
    }
    return nullptr;
}

const PictureFormat *formatOfOutputChoice(const QString &choice)
{
    for (const PictureFormat &format : pictureFormats()) {
        if (!format.outputChoice.isEmpty() && format.outputChoice == choice) {
            return &format;
        }
    }
    return nullptr;
}

QStringList outputChoices()
{
    QStringList choices;
    for (const PictureFormat &format : pictureFormats()) {
        if (!format.outputChoice.isEmpty()) {
            choices.append(format.outputChoice);
        }
    }
    return choices;
}

QStringList scannedPatterns()
{
    QStringList patterns;
    for (const PictureFormat &format : pictureFormats()) {
        if (format.scannedInFolders) {
            for (const QString &extension : format.extensions) {
                patterns.append(QStringLiteral("*.") + extension);
            }
        }
    }
    return patterns;
}

QString recognisedFormatNames()
{
    QStringList names;
    for (const PictureFormat &format : pictureFormats()) {
        if (format.signature != nullptr) {
            names.append(format.name);
        }
    }
    names.sort();
    return alternativesPhrase(names);
}

QString alternativesPhrase(const QStringList &items)
{
    if (items.size() < 2) {
        return items.join(QString());
    }
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           items.constLast();
}

} // namespace inkvale
