#include "convert/heifcodec.h"

#include <cstring>
#include <libheif/heif.h>
#include <memory>
#include <QIODevice>
#include <QSaveFile>
#include <vector>

namespace inkvale {
namespace {

// The most a decoded picture may take, as for every other decoder (see picturereading.cpp):
// a damaged header cannot ask for any amount.
constexpr qint64 kLargestDecodedBytes = qint64(1) << 30;
constexpr int kLargestSide = 65535;

void prepareLibrary()
{
    static const bool prepared = [] {
        heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(prepared);
}

struct ContextFree
{
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct HandleRelease
{
    void operator()(heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease
{
    void operator()(heif_image *image) const { heif_image_release(image); }
};
struct EncoderRelease
{
    void operator()(heif_encoder *encoder) const { heif_encoder_release(encoder); }
};
struct DecodingOptionsFree
{
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextFree>;
using Handle = std::unique_ptr<heif_image_handle, HandleRelease>;
using Image = std::unique_ptr<heif_image, ImageRelease>;
using Encoder = std::unique_ptr<heif_encoder, EncoderRelease>;

QString wordsOf(const heif_error &error)
{
    return QString::fromUtf8(error.message != nullptr ? error.message : "unknown error");
}

const uint8_t *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const uint8_t *>(data.constData());
}

// The first metadata block of `type` ("Exif", or "mime" of `contentType`); empty when none.
QByteArray metadataBlock(const heif_image_handle *handle, const char *type,
                         const char *contentType = nullptr)
{
    const int count = heif_image_handle_get_number_of_metadata_blocks(handle, type);
    if (count <= 0) {
        return {};
    }
    std::vector<heif_item_id> ids(size_t(count), 0);
    heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids.data(), count);
    for (const heif_item_id id : ids) {
        if (contentType != nullptr &&
            std::strcmp(heif_image_handle_get_metadata_content_type(handle, id), contentType) !=
                0) {
            continue;
        }
        const size_t size = heif_image_handle_get_metadata_size(handle, id);
        if (size == 0 || size > size_t(kLargestDecodedBytes)) {
            continue;
        }
        QByteArray block(qsizetype(size), '\0');
        if (heif_image_handle_get_metadata(handle, id, block.data()).code == heif_error_Ok) {
            return block;
        }
    }
    return {};
}

// The EXIF block of a HEIF file starts with the offset of its TIFF header.
QByteArray exifFromBlock(const QByteArray &block)
{
    if (block.size() < 4) {
        return {};
    }
    const quint32 offset = (quint32(quint8(block[0])) << 24) | (quint32(quint8(block[1])) << 16) |
                           (quint32(quint8(block[2])) << 8) | quint32(quint8(block[3]));
    if (offset > quint32(block.size() - 4)) {
        return {};
    }
    return block.mid(4 + qsizetype(offset));
}

QByteArray colourProfileOf(const heif_image_handle *handle)
{
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) {
        return {};
    }
    const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > size_t(kLargestDecodedBytes)) {
        return {};
    }
    QByteArray profile(qsizetype(size), '\0');
    if (heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok) {
        return {};
    }
    return profile;
}

heif_error appendToBuffer(heif_context *, const void *data, size_t size, void *userdata)
{
    static_cast<QByteArray *>(userdata)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "Success"};
}

} // namespace

bool HeifCodec::available()
{
    return true;
}

QByteArray HeifCodec::formatOf(const QByteArray &data)
{
    // A HEIF file opens with its "ftyp" box, whose brands say what it holds.
    if (data.size() < 12 || data.mid(4, 4) != "ftyp") {
        return {};
    }
    prepareLibrary();
    const int length = int(qMin<qsizetype>(data.size(), 4096));
    const QByteArray mime = heif_get_file_mime_type(bytesOf(data), length);
    if (mime == "image/avif" || mime == "image/avif-sequence") {
        return "avif";
    }
    if (mime == "image/heic" || mime == "image/heif" || mime == "image/heic-sequence" ||
        mime == "image/heif-sequence") {
        return "heif";
    }
    return {};
}

namespace {

// libheif reads the container from a device, a box at a time, instead of from the whole file
// in memory: what it reads is bounded by what the picture needs, not by the file's size.
struct DeviceReading
{
    QIODevice *device;
    qint64 start;
};

DeviceReading &readingOf(void *userdata)
{
    return *static_cast<DeviceReading *>(userdata);
}

const heif_reader kDeviceReader = {
    1,
    [](void *userdata) -> int64_t {
        const DeviceReading &reading = readingOf(userdata);
        return reading.device->pos() - reading.start;
    },
    [](void *data, size_t size, void *userdata) -> int {
        const DeviceReading &reading = readingOf(userdata);
        const auto wanted = static_cast<qint64>(size);
        return reading.device->read(static_cast<char *>(data), wanted) == wanted ? 0 : 1;
    },
    [](int64_t position, void *userdata) -> int {
        const DeviceReading &reading = readingOf(userdata);
        return reading.device->seek(reading.start + position) ? 0 : 1;
    },
    [](int64_t targetSize, void *userdata) -> heif_reader_grow_status {
        const DeviceReading &reading = readingOf(userdata);
        return reading.start + targetSize <= reading.device->size()
                   ? heif_reader_grow_status_size_reached
                   : heif_reader_grow_status_size_beyond_eof;
    },
};

// The primary picture's handle in `context`, read through `reading`, or why there is none.
Handle primaryPicture(heif_context *context, DeviceReading &reading, QString *error)
{
    heif_context_set_maximum_image_size_limit(context, kLargestSide);
    heif_error result = heif_context_read_from_reader(context, &kDeviceReader, &reading, nullptr);
    heif_image_handle *primary = nullptr;
    if (result.code == heif_error_Ok) {
        result = heif_context_get_primary_image_handle(context, &primary);
    }
    if (result.code != heif_error_Ok) {
        *error = QStringLiteral("Unable to read the HEIF picture: ") + wordsOf(result);
    }
    return Handle(primary);
}

} // namespace

Result<DecodedPicture> HeifCodec::decode(QIODevice &device)
{
    prepareLibrary();
    using Decoded = Result<DecodedPicture>;
    const Context context(heif_context_alloc());
    DeviceReading reading{&device, device.pos()};
    QString unreadable;
    const Handle handle = primaryPicture(context.get(), reading, &unreadable);
    if (!handle) {
        return Decoded::failure(unreadable);
    }
    const qint64 width = heif_image_handle_get_width(handle.get());
    const qint64 height = heif_image_handle_get_height(handle.get());
    if (width <= 0 || height <= 0 || width * height * 4 > kLargestDecodedBytes) {
        return Decoded::failure(QStringLiteral("Unable to read the HEIF picture: its size (%1 x "
                                               "%2) is beyond what Inkvale reads")
                                    .arg(width)
                                    .arg(height));
    }
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const std::unique_ptr<heif_decoding_options, DecodingOptionsFree> options(
        heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image *picture = nullptr;
    const heif_error error = heif_decode_image(
        handle.get(), &picture, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    const Image image(picture);
    if (error.code != heif_error_Ok) {
        return Decoded::failure(QStringLiteral("Unable to read the HEIF picture: ") +
                                wordsOf(error));
    }
    int stride = 0;
    const uint8_t *pixels =
        heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int decodedWidth = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int decodedHeight = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (pixels == nullptr || decodedWidth <= 0 || decodedHeight <= 0) {
        return Decoded::failure(QStringLiteral("Unable to read the HEIF picture: no picture data"));
    }
    DecodedPicture decoded;
    // A copy: the library's planes go with its image.
    decoded.image = QImage(pixels, decodedWidth, decodedHeight, stride,
                           alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
                        .copy();
    if (decoded.image.isNull()) {
        return Decoded::failure(QStringLiteral("Unable to read the HEIF picture: out of memory"));
    }
    return decoded;
}

Result<QSize> HeifCodec::sizeOf(QIODevice &device)
{
    prepareLibrary();
    const Context context(heif_context_alloc());
    DeviceReading reading{&device, device.pos()};
    QString error;
    const Handle handle = primaryPicture(context.get(), reading, &error);
    if (!handle) {
        return Result<QSize>::failure(error);
    }
    return QSize(heif_image_handle_get_width(handle.get()),
                 heif_image_handle_get_height(handle.get()));
}

PhotoMetadata HeifCodec::metadataOf(QIODevice &device)
{
    prepareLibrary();
    const Context context(heif_context_alloc());
    DeviceReading reading{&device, device.pos()};
    QString error;
    const Handle handle = primaryPicture(context.get(), reading, &error);
    if (!handle) {
        return {};
    }
    return PhotoMetadata::fromParts(exifFromBlock(metadataBlock(handle.get(), "Exif")),
                                    metadataBlock(handle.get(), "mime", "application/rdf+xml"),
                                    colourProfileOf(handle.get()));
}

QString HeifCodec::writeAvif(const QImage &image, const QString &path, int quality,
                             const PhotoMetadata &metadata)
{
    prepareLibrary();
    const bool alpha = image.hasAlphaChannel();
    const QImage source =
        image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const Context context(heif_context_alloc());
    heif_encoder *created = nullptr;
    heif_error error =
        heif_context_get_encoder_for_format(context.get(), heif_compression_AV1, &created);
    const Encoder encoder(created);
    if (error.code != heif_error_Ok) {
        return QStringLiteral("Unable to write AVIF: ") + wordsOf(error);
    }
    heif_encoder_set_lossy_quality(encoder.get(), quality);

    heif_image *made = nullptr;
    error = heif_image_create(source.width(), source.height(), heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                              &made);
    const Image picture(made);
    if (error.code == heif_error_Ok) {
        error = heif_image_add_plane(picture.get(), heif_channel_interleaved, source.width(),
                                     source.height(), 8);
    }
    if (error.code != heif_error_Ok) {
        return QStringLiteral("Unable to write AVIF: ") + wordsOf(error);
    }
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(picture.get(), heif_channel_interleaved, &stride);
    const size_t lineBytes = size_t(source.width()) * (alpha ? 4 : 3);
    for (int y = 0; y < source.height(); ++y) {
        std::memcpy(plane + qsizetype(y) * stride, source.constScanLine(y), lineBytes);
    }
    const QByteArray profile = metadata.iccProfile();
    if (!profile.isEmpty()) {
        heif_image_set_raw_color_profile(picture.get(), "prof", profile.constData(),
                                         size_t(profile.size()));
    }
    heif_image_handle *encoded = nullptr;
    error =
        heif_context_encode_image(context.get(), picture.get(), encoder.get(), nullptr, &encoded);
    const Handle handle(encoded);
    if (error.code != heif_error_Ok) {
        return QStringLiteral("Unable to write AVIF: ") + wordsOf(error);
    }
    const QByteArray exif = metadata.exifBlock();
    if (!exif.isEmpty()) {
        heif_context_add_exif_metadata(context.get(), handle.get(), exif.constData(),
                                       int(exif.size()));
    }
    const QByteArray xmp = metadata.xmpPacket();
    if (!xmp.isEmpty()) {
        heif_context_add_XMP_metadata(context.get(), handle.get(), xmp.constData(),
                                      int(xmp.size()));
    }
    QByteArray bytes;
    heif_writer writer{};
    writer.writer_api_version = 1;
    writer.write = appendToBuffer;
    error = heif_context_write(context.get(), &writer, &bytes);
    if (error.code != heif_error_Ok) {
        return QStringLiteral("Unable to write AVIF: ") + wordsOf(error);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return QStringLiteral("Unable to write AVIF: ") + file.errorString();
    }
    return {};
}

} // namespace inkvale
