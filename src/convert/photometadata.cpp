#include "convert/photometadata.h"

#include <exiv2/exiv2.hpp>
#include <mutex>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <webp/mux.h>
#include <zlib.h>

namespace inkvale {
namespace {

// A record larger than this is no photo's (ICC profiles and XMP with an edit history reach a
// few megabytes): it is left out rather than copied into every result.
constexpr long kLargestRecord = 16L << 20;

// One lock around every use of the library: its XMP toolkit and its registries are shared
// by the whole process, and conversions run side by side.
std::mutex &libraryLock()
{
    static std::mutex lock;
    return lock;
}

void lockXmpToolkit(void *data, bool lock)
{
    auto *mutex = static_cast<std::mutex *>(data);
    if (lock) {
        mutex->lock();
    } else {
        mutex->unlock();
    }
}

// Called with libraryLock() held.
void prepareLibrary()
{
    static const bool prepared = [] {
        // The decoders' warnings stay out of the programs' output.
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        static std::mutex xmpLock;
        Exiv2::XmpParser::initialize(lockXmpToolkit, &xmpLock);
        return true;
    }();
    Q_UNUSED(prepared);
}

QString libraryWords(const std::exception &error)
{
    return QString::fromLocal8Bit(error.what());
}

const Exiv2::byte *bytesOf(const QByteArray &data)
{
    return reinterpret_cast<const Exiv2::byte *>(data.constData());
}

long exifSize(const Exiv2::ExifData &exif)
{
    long size = 0;
    for (const Exiv2::Exifdatum &datum : exif) {
        size += datum.size();
    }
    return size;
}

template<typename Records, typename Test>
void eraseWhere(Records &records, Test test)
{
    for (auto datum = records.begin(); datum != records.end();) {
        datum = test(*datum) ? records.erase(datum) : std::next(datum);
    }
}

bool startsWithAny(const std::string &key, std::initializer_list<const char *> prefixes)
{
    for (const char *prefix : prefixes) {
        if (key.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

bool contains(const std::string &text, const char *part)
{
    return text.find(part) != std::string::npos;
}

bool isWebp(const QByteArray &picture)
{
    return picture.startsWith("RIFF") && picture.mid(8, 4) == "WEBP";
}

// The WebP container's own library puts the records into their chunks (this library's WebP
// writer damages the file when it adds a colour profile).
QString writeWebpChunks(const QByteArray &picture, const QByteArray &exif, const QByteArray &xmp,
                        const QByteArray &icc, QByteArray *written)
{
    const WebPData input{reinterpret_cast<const uint8_t *>(picture.constData()),
                         size_t(picture.size())};
    WebPMux *mux = WebPMuxCreate(&input, 0);
    if (mux == nullptr) {
        return QStringLiteral("Metadata not kept: the WebP file cannot be read");
    }
    bool ok = true;
    for (const auto &[name, chunk] :
         {std::pair{"EXIF", &exif}, std::pair{"XMP ", &xmp}, std::pair{"ICCP", &icc}}) {
        if (!chunk->isEmpty()) {
            const WebPData data{reinterpret_cast<const uint8_t *>(chunk->constData()),
                                size_t(chunk->size())};
            ok = ok && WebPMuxSetChunk(mux, name, &data, 1) == WEBP_MUX_OK;
        }
    }
    WebPData output{nullptr, 0};
    ok = ok && WebPMuxAssemble(mux, &output) == WEBP_MUX_OK;
    if (ok) {
        *written = QByteArray(reinterpret_cast<const char *>(output.bytes), qsizetype(output.size));
    }
    WebPDataClear(&output);
    WebPMuxDelete(mux);
    return ok ? QString() : QStringLiteral("Metadata not kept: the WebP file cannot hold them");
}

// exiv2 0.27 names the colour profile of a PNG after the one the file had; the tool's PNG has
// none, and a nameless profile chunk is one that libpng, and the viewers built on it, drop.
// The chunk gets a name.
QByteArray withNamedPngProfile(QByteArray png)
{
    constexpr qsizetype kSignature = 8;
    for (qsizetype at = kSignature; at + 12 <= png.size();) {
        const auto length =
            qsizetype((quint32(quint8(png[at])) << 24) | (quint32(quint8(png[at + 1])) << 16) |
                      (quint32(quint8(png[at + 2])) << 8) | quint32(quint8(png[at + 3])));
        if (length > png.size() - at - 12) {
            break;
        }
        if (png.mid(at + 4, 4) == "iCCP" && length > 0 && png[at + 8] == '\0') {
            const QByteArray chunk = "iCCPICC profile" + png.mid(at + 8, length);
            const auto crc = quint32(
                crc32(0, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size())));
            const auto newLength = quint32(chunk.size() - 4);
            QByteArray replacement;
            for (int shift = 24; shift >= 0; shift -= 8) {
                replacement += char((newLength >> shift) & 0xFF);
            }
            replacement += chunk;
            for (int shift = 24; shift >= 0; shift -= 8) {
                replacement += char((crc >> shift) & 0xFF);
            }
            png.replace(at, length + 12, replacement);
            break;
        }
        at += length + 12;
    }
    return png;
}

} // namespace

struct PhotoMetadata::Records
{
    Exiv2::ExifData exif;
    Exiv2::IptcData iptc;
    Exiv2::XmpData xmp;
    QByteArray icc;
};

PhotoMetadata::PhotoMetadata()
    : m_records(std::make_unique<Records>())
{}

PhotoMetadata::PhotoMetadata(const PhotoMetadata &other)
    : m_records(std::make_unique<Records>(*other.m_records))
    , m_note(other.m_note)
{}

PhotoMetadata &PhotoMetadata::operator=(const PhotoMetadata &other)
{
    if (this != &other) {
        *m_records = *other.m_records;
        m_note = other.m_note;
    }
    return *this;
}

PhotoMetadata::PhotoMetadata(PhotoMetadata &&other) noexcept
    : m_records(std::exchange(other.m_records, std::make_unique<Records>()))
    , m_note(std::move(other.m_note))
{}

PhotoMetadata &PhotoMetadata::operator=(PhotoMetadata &&other) noexcept
{
    std::swap(m_records, other.m_records);
    std::swap(m_note, other.m_note);
    return *this;
}

PhotoMetadata::~PhotoMetadata() = default;

PhotoMetadata PhotoMetadata::readFrom(const QByteArray &picture)
{
    PhotoMetadata metadata;
    const std::lock_guard guard(libraryLock());
    prepareLibrary();
    QStringList leftOut;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(bytesOf(picture), picture.size());
        image->readMetadata();
        Records &records = *metadata.m_records;
        if (exifSize(image->exifData()) <= kLargestRecord) {
            records.exif = image->exifData();
        } else {
            leftOut.append(QStringLiteral("EXIF"));
        }
        if (long(image->xmpPacket().size()) <= kLargestRecord) {
            records.xmp = image->xmpData();
        } else {
            leftOut.append(QStringLiteral("XMP"));
        }
        records.iptc = image->iptcData();
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf *profile = image->iccProfile();
            if (profile->size_ <= kLargestRecord) {
                records.icc = QByteArray(reinterpret_cast<const char *>(profile->pData_),
                                         qsizetype(profile->size_));
            } else {
                leftOut.append(QStringLiteral("colour profile"));
            }
        }
    } catch (const std::exception &error) {
        // A picture the library cannot parse (or a format it does not know) keeps nothing.
        metadata = PhotoMetadata();
        metadata.m_note = QStringLiteral("Its metadata cannot be read: ") + libraryWords(error);
        return metadata;
    }
    if (!leftOut.isEmpty()) {
        metadata.m_note = QStringLiteral("Metadata left out, larger than any photo's: ") +
                          leftOut.join(QStringLiteral(", "));
    }
    return metadata;
}

PhotoMetadata PhotoMetadata::fromParts(const QByteArray &exif, const QByteArray &xmp,
                                       const QByteArray &iccProfile)
{
    PhotoMetadata metadata;
    const std::lock_guard guard(libraryLock());
    prepareLibrary();
    QStringList leftOut;
    Records &records = *metadata.m_records;
    QByteArray tiff = exif;
    if (tiff.startsWith(QByteArrayLiteral("Exif\0\0"))) {
        tiff.remove(0, 6);
    }
    try {
        if (tiff.size() > kLargestRecord) {
            leftOut.append(QStringLiteral("EXIF"));
        } else if (!tiff.isEmpty()) {
            Exiv2::ExifParser::decode(records.exif, bytesOf(tiff), uint32_t(tiff.size()));
        }
        if (xmp.size() > kLargestRecord) {
            leftOut.append(QStringLiteral("XMP"));
        } else if (!xmp.isEmpty() &&
                   Exiv2::XmpParser::decode(records.xmp, xmp.toStdString()) != 0) {
            records.xmp.clear();
            leftOut.append(QStringLiteral("XMP (unreadable)"));
        }
    } catch (const std::exception &error) {
        records.exif.clear();
        leftOut.append(QStringLiteral("EXIF (%1)").arg(libraryWords(error)));
    }
    if (iccProfile.size() > kLargestRecord) {
        leftOut.append(QStringLiteral("colour profile"));
    } else {
        records.icc = iccProfile;
    }
    if (!leftOut.isEmpty()) {
        metadata.m_note =
            QStringLiteral("Metadata left out: ") + leftOut.join(QStringLiteral(", "));
    }
    return metadata;
}

bool PhotoMetadata::isEmpty() const
{
    return m_records->exif.empty() && m_records->iptc.empty() && m_records->xmp.empty() &&
           m_records->icc.isEmpty();
}

void PhotoMetadata::prepareForResult(QSize size, bool keepLocation)
{
    const std::lock_guard guard(libraryLock());
    prepareLibrary();
    Records &records = *m_records;
    Exiv2::ExifThumb(records.exif).erase();
    eraseWhere(records.exif, [keepLocation](const Exiv2::Exifdatum &datum) {
        const std::string group = datum.groupName();
        const std::string tag = datum.tagName();
        // Thumbnails, the previews cameras keep in their maker notes, the other pictures of a
        // TIFF; the profile travels as the result's own (see writeInto()).
        return contains(group, "Thumb") || contains(group, "Preview") ||
               contains(tag, "Thumbnail") || contains(tag, "Preview") ||
               startsWithAny(group, {"SubImage", "Image2", "Image3", "Image4"}) ||
               tag == "InterColorProfile" ||
               (!keepLocation && (group == "GPSInfo" || tag == "GPSTag"));
    });
    eraseWhere(records.xmp, [keepLocation](const Exiv2::Xmpdatum &datum) {
        const std::string key = datum.key();
        return startsWithAny(key, {"Xmp.xmp.Thumbnails", "Xmp.xmpGImg"}) ||
               (!keepLocation &&
                startsWithAny(key,
                              {"Xmp.exif.GPS", "Xmp.photoshop.City", "Xmp.photoshop.State",
                               "Xmp.photoshop.Country", "Xmp.Iptc4xmpCore.Location",
                               "Xmp.Iptc4xmpCore.CountryCode", "Xmp.Iptc4xmpExt.LocationCreated",
                               "Xmp.Iptc4xmpExt.LocationShown"}));
    });
    if (!keepLocation) {
        eraseWhere(records.iptc, [](const Exiv2::Iptcdatum &datum) {
            const std::string tag = datum.tagName();
            return tag == "SubLocation" || tag == "City" || tag == "ProvinceState" ||
                   tag == "CountryName" || tag == "CountryCode" || tag == "LocationName" ||
                   tag == "LocationCode";
        });
    }
    // The result's pixels are upright and of the result's size, whatever the input said.
    if (auto orientation = records.exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        orientation != records.exif.end()) {
        orientation->setValue("1");
    }
    if (auto orientation = records.xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
        orientation != records.xmp.end()) {
        orientation->setValue("1");
    }
    if (records.exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension")) != records.exif.end()) {
        records.exif["Exif.Photo.PixelXDimension"] = uint32_t(size.width());
        records.exif["Exif.Photo.PixelYDimension"] = uint32_t(size.height());
    }
}

QString PhotoMetadata::writeInto(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    const QByteArray picture = file.readAll();
    file.close();
    QByteArray written;
    if (isWebp(picture)) {
        if (const QString error =
                writeWebpChunks(picture, exifBlock(), xmpPacket(), m_records->icc, &written);
            !error.isEmpty()) {
            return error;
        }
    } else {
        const std::lock_guard guard(libraryLock());
        prepareLibrary();
        try {
            // In memory, so that a failure leaves the file untouched.
            Exiv2::Image::AutoPtr image =
                Exiv2::ImageFactory::open(bytesOf(picture), picture.size());
            image->readMetadata();
            image->setExifData(m_records->exif);
            image->setXmpData(m_records->xmp);
            if (image->supportsMetadata(Exiv2::mdIptc)) {
                image->setIptcData(m_records->iptc);
            }
            if (!m_records->icc.isEmpty()) {
                Exiv2::DataBuf profile(bytesOf(m_records->icc), long(m_records->icc.size()));
                image->setIccProfile(profile);
            }
            image->writeMetadata();
            Exiv2::BasicIo &io = image->io();
            io.open();
            const Exiv2::DataBuf bytes = io.read(io.size());
            written =
                QByteArray(reinterpret_cast<const char *>(bytes.pData_), qsizetype(bytes.size_));
            if (written.startsWith("\x89PNG")) {
                written = withNamedPngProfile(written);
            }
            io.close();
        } catch (const std::exception &error) {
            return QStringLiteral("Metadata not kept: ") + libraryWords(error);
        }
    }
    QSaveFile result(path);
    if (!result.open(QIODevice::WriteOnly) || result.write(written) != written.size() ||
        !result.commit()) {
        return QStringLiteral("Metadata not kept: ") + result.errorString();
    }
    return {};
}

QByteArray PhotoMetadata::exifBlock() const
{
    const std::lock_guard guard(libraryLock());
    prepareLibrary();
    if (m_records->exif.empty()) {
        return {};
    }
    Exiv2::Blob blob;
    try {
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, m_records->exif);
    } catch (const std::exception &) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char *>(blob.data()), qsizetype(blob.size()));
}

QByteArray PhotoMetadata::xmpPacket() const
{
    const std::lock_guard guard(libraryLock());
    prepareLibrary();
    std::string packet;
    if (m_records->xmp.empty() || Exiv2::XmpParser::encode(packet, m_records->xmp) != 0) {
        return {};
    }
    return QByteArray::fromStdString(packet);
}

QByteArray PhotoMetadata::iccProfile() const
{
    return m_records->icc;
}

} // namespace inkvale
