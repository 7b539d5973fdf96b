#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>

// Photos carrying what a camera and a photo library write, and what a picture file holds.
namespace inkvale::test {

// `picture` (JPEG, PNG or WebP bytes) with a camera's and a library's records added: date
// taken, camera and lens, exposure, author, copyright, description, keywords (EXIF, XMP and
// IPTC), GPS coordinates and a city, orientation 6, an embedded thumbnail and a Display P3
// colour profile.
QByteArray withPhotoRecords(const QByteArray &picture);

// `image` as a HEIF file as phones write them: HEVC (HEIC) or AV1 (AVIF), with the EXIF
// block `exif` (from its TIFF header on) when given. Empty when this machine's libheif has no
// encoder for it.
QByteArray heifPicture(const QImage &image, bool avif, const QByteArray &exif = {});

// The EXIF block of withPhotoRecords(), from its TIFF header on.
QByteArray photoExifBlock();

// The colour profile withPhotoRecords() embeds.
QByteArray photoColourProfile();

// Every record of the picture file at `path` by its key ("Exif.Image.Make", "Xmp.dc.subject",
// "Iptc.Application2.City"), as text; the colour profile's bytes under "ICC". Empty when the
// file holds none or cannot be read.
QMap<QString, QString> recordsOf(const QString &path);

} // namespace inkvale::test
