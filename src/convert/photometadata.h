#pragma once

#include <memory>
#include <QByteArray>
#include <QSize>
#include <QString>

namespace inkvale {

// What makes a photo a photo beyond its pixels: its EXIF, XMP and IPTC records and its colour
// profile, read from an input and written into a result (through exiv2). Safe on any thread:
// every use of the library is serialised.
class PhotoMetadata
{
public:
    PhotoMetadata();
    PhotoMetadata(const PhotoMetadata &other);
    PhotoMetadata &operator=(const PhotoMetadata &other);
    PhotoMetadata(PhotoMetadata &&other) noexcept;
    PhotoMetadata &operator=(PhotoMetadata &&other) noexcept;
    ~PhotoMetadata();

    // The records of the picture file held in `picture` (JPEG, PNG, TIFF, WebP, GIF, BMP...).
    // What cannot be read is left out and note() says why; a picture without any is empty.
    static PhotoMetadata readFrom(const QByteArray &picture);
    // The records as a container format holds them apart from the picture: the EXIF block
    // (starting at its TIFF header, or with "Exif\0\0" before it), the XMP packet and the ICC
    // profile; any may be empty.
    static PhotoMetadata fromParts(const QByteArray &exif, const QByteArray &xmp,
                                   const QByteArray &iccProfile);

    bool isEmpty() const;
    // Why a part of the input's records was left out; empty when nothing was.
    QString note() const { return m_note; }

    // Makes the records those of a result of `size`: the orientation says upright (the pixels
    // are), embedded thumbnails and previews go (they would show the photo, not the result),
    // and so does the location (coordinates and place names) unless `keepLocation`.
    void prepareForResult(QSize size, bool keepLocation);

    // Writes the records into the picture file at `path` (JPEG, PNG or WebP; what the format
    // cannot hold is left out). Returns the reason when it could not, else an empty string;
    // the file is then as it was.
    QString writeInto(const QString &path) const;

    // The parts for a writer that embeds them itself: the EXIF block from its TIFF header on,
    // the XMP packet, the ICC profile; empty when there is none.
    QByteArray exifBlock() const;
    QByteArray xmpPacket() const;
    QByteArray iccProfile() const;

private:
    struct Records;
    std::unique_ptr<Records> m_records;
    QString m_note;
};

} // namespace inkvale
