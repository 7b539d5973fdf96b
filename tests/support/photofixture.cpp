#include "support/photofixture.h"

#include <cstring>
#include <exiv2/exiv2.hpp>
#include <libheif/heif.h>
#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <webp/mux.h>

namespace inkvale::test {
namespace {

const Exiv2::byte *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const Exiv2::byte *>(data.constData());
}

// A small JPEG standing for the camera's thumbnail.
QByteArray thumbnail()
{
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpeg");
    return bytes;
}

Exiv2::ExifData photoExif()
{
    Exiv2::ExifData exif;
    exif["Exif.Image.Make"] = "Inkvale Test Camera Co.";
    exif["Exif.Image.Model"] = "TC-1";
    exif["Exif.Image.Orientation"] = uint16_t(6);
    exif["Exif.Image.Artist"] = "Ada Lovelace";
    exif["Exif.Image.Copyright"] = "(c) 2024 Ada Lovelace";
    exif["Exif.Image.ImageDescription"] = "Beach at dusk";
    exif["Exif.Photo.DateTimeOriginal"] = "2024:06:15 19:42:07";
    exif["Exif.Photo.DateTimeDigitized"] = "2024:06:15 19:42:07";
    exif["Exif.Photo.LensModel"] = "TC 24-70mm";
    exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
    exif["Exif.Photo.FNumber"] = Exiv2::URational(28, 10);
    exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
    exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 2400/100";
    exif["Exif.GPSInfo.GPSLongitudeRef"] = "E";
    exif["Exif.GPSInfo.GPSLongitude"] = "2/1 21/1 300/100";
    const QByteArray thumb = thumbnail();
    Exiv2::ExifThumb(exif).setJpegThumbnail(bytesOf(thumb), long(thumb.size()));
    return exif;
}

heif_error appendTo(heif_context *, const void *data, size_t size, void *bytes)
{
    static_cast<QByteArray *>(bytes)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

// exiv2 damages a WebP file when it adds a profile; the container's library does not.
QByteArray withWebpProfile(const QByteArray &picture, const QByteArray &icc)
{
    const WebPData input{reinterpret_cast<const uint8_t *>(picture.constData()),
                         size_t(picture.size())};
    WebPMux *mux = WebPMuxCreate(&input, 1);
    const WebPData profile{reinterpret_cast<const uint8_t *>(icc.constData()), size_t(icc.size())};
    WebPData output{nullptr, 0};
    QByteArray result;
    if (mux != nullptr && WebPMuxSetChunk(mux, "ICCP", &profile, 1) == WEBP_MUX_OK &&
        WebPMuxAssemble(mux, &output) == WEBP_MUX_OK) {
        result = QByteArray(reinterpret_cast<const char *>(output.bytes), qsizetype(output.size));
    }
    WebPDataClear(&output);
    WebPMuxDelete(mux);
    return result;
}

} // namespace

QByteArray photoColourProfile()
{
    return QColorSpace(QColorSpace::DisplayP3).iccProfile();
}

QByteArray photoExifBlock()
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::bigEndian, photoExif());
    return QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
}

QByteArray heifPicture(const QImage &image, bool avif, const QByteArray &exif)
{
    const QImage source = image.convertToFormat(QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *picture = nullptr;
    heif_image_handle *handle = nullptr;
    QByteArray bytes;
    if (heif_context_get_encoder_for_format(
            context, avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder)
                .code == heif_error_Ok &&
        heif_image_create(source.width(), source.height(), heif_colorspace_RGB,
                          heif_chroma_interleaved_RGB, &picture)
                .code == heif_error_Ok &&
        heif_image_add_plane(picture, heif_channel_interleaved, source.width(), source.height(), 8)
                .code == heif_error_Ok) {
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
        for (int y = 0; y < source.height(); ++y) {
            std::memcpy(plane + qsizetype(y) * stride, source.constScanLine(y),
                        size_t(source.width()) * 3);
        }
        heif_encoder_set_lossy_quality(encoder, 90);
        heif_writer writer{};
        writer.writer_api_version = 1;
        writer.write = appendTo;
        if (heif_context_encode_image(context, picture, encoder, nullptr, &handle).code ==
                heif_error_Ok &&
            (exif.isEmpty() ||
             heif_context_add_exif_metadata(context, handle, exif.constData(), int(exif.size()))
                     .code == heif_error_Ok)) {
            heif_context_write(context, &writer, &bytes);
        }
    }
    heif_image_handle_release(handle);
    heif_image_release(picture);
    if (encoder != nullptr) {
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return bytes;
}

QByteArray withPhotoRecords(const QByteArray &picture)
{
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(bytesOf(picture), picture.size());
    image->readMetadata();
    image->setExifData(photoExif());

    Exiv2::XmpData xmp;
    xmp["Xmp.dc.subject"] = "beach";
    xmp["Xmp.dc.subject"] = "dusk";
    xmp["Xmp.dc.creator"] = "Ada Lovelace";
    xmp["Xmp.exif.GPSLatitude"] = "48,51.4N";
    xmp["Xmp.photoshop.City"] = "Paris";
    xmp["Xmp.tiff.Orientation"] = "6";
    image->setXmpData(xmp);

    if (image->supportsMetadata(Exiv2::mdIptc)) {
        Exiv2::IptcData iptc;
        iptc["Iptc.Application2.Keywords"] = "beach";
        iptc["Iptc.Application2.City"] = "Paris";
        iptc["Iptc.Application2.Copyright"] = "(c) 2024 Ada Lovelace";
        image->setIptcData(iptc);
    }
    const QByteArray icc = photoColourProfile();
    const bool webp = picture.startsWith("RIFF");
    if (!webp) {
        Exiv2::DataBuf profile(bytesOf(icc), long(icc.size()));
        image->setIccProfile(profile);
    }
    image->writeMetadata();

    Exiv2::BasicIo &io = image->io();
    io.open();
    const Exiv2::DataBuf bytes = io.read(io.size());
    const QByteArray written(reinterpret_cast<const char *>(bytes.pData_), qsizetype(bytes.size_));
    return webp ? withWebpProfile(written, icc) : written;
}

QMap<QString, QString> recordsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray picture = file.readAll();
    QMap<QString, QString> records;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(bytesOf(picture), picture.size());
        image->readMetadata();
        for (const Exiv2::Exifdatum &datum : image->exifData()) {
            records.insert(QString::fromStdString(datum.key()),
                           QString::fromStdString(datum.toString()));
        }
        for (const Exiv2::Xmpdatum &datum : image->xmpData()) {
            records.insert(QString::fromStdString(datum.key()),
                           QString::fromStdString(datum.toString()));
        }
        for (const Exiv2::Iptcdatum &datum : image->iptcData()) {
            records.insert(QString::fromStdString(datum.key()),
                           QString::fromStdString(datum.toString()));
        }
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf *icc = image->iccProfile();
            records.insert(
                QStringLiteral("ICC"),
                QString::fromLatin1(
                    QByteArray(reinterpret_cast<const char *>(icc->pData_), qsizetype(icc->size_))
                        .toHex()));
        }
    } catch (const std::exception &) {
        return {};
    }
    return records;
}

} // namespace inkvale::test
