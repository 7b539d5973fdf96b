#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace inkvale {

// One picture format Inkvale knows: how its files are named, how its content is recognised,
// and how it is read and written. Every list of accepted names, every content test and the
// output choices are read from pictureFormats(); a new format is one more row there.
struct PictureFormat
{
    // How messages name it ("JPEG").
    QString name = {};
    // Qt's reader ("jpeg"), or libheif's for "heif" and "avif" (see readWholePicture()): a
    // file is always read with the reader of its format, never a guessed one.
    QByteArray reader = {};
    // The extensions of its files, lower case and without the dot. The first is the one the
    // tool is given with such a picture, and that of results in it.
    QStringList extensions = {};
    // Whether `data` begins as a picture of this format. Null for a format recognised by its
    // name alone: its pictures go into the list but are never handed to the tool.
    bool (*signature)(const QByteArray &data) = nullptr;
    // Whether a folder's scan and a drop take files with these extensions (Add Files takes
    // any file and lets its reader judge).
    bool scannedInFolders = false;
    // Qt's writer when results may be written in it ("avif": libheif's); empty when not.
    QByteArray writer = {};
    // The name the output format selector shows ("JPG"); empty when results cannot be asked
    // for in it. Its lower case is the results' extension.
    QString outputChoice = {};
    // It keeps no transparency: what shows through is put on white, as on a page.
    bool opaque = false;
    // The writer's quality setting; -1 leaves the writer's default. A lossy format's may be
    // replaced by the user's (OutputOptions::quality).
    int quality = -1;
    // The tool reads its files as they are; it never sees the others, and gets a decoded copy
    // of them instead.
    bool toolReads = true;
    // Results in it carry the photo's records (see PhotoMetadata).
    bool keepsMetadata = false;
};

// Every format, in the order the file dialog lists their extensions.
const QList<PictureFormat> &pictureFormats();

// The format named by the extension of `path`'s last component, compared without regard to
// case; null when there is none.
const PictureFormat *formatOfName(const QString &path);

// The format whose signature `data` begins with; null for anything else.
const PictureFormat *formatOfContent(const QByteArray &data);

// The format of an output choice ("PNG", "JPG", "BMP", "WebP", "AVIF"), compared
// case-sensitively; null when
// `choice` is none.
const PictureFormat *formatOfOutputChoice(const QString &choice);

// The output selector's entries in order; the first is the default.
QStringList outputChoices();

// The file patterns a folder's scan takes ("*.png", "*.jpg", ...).
QStringList scannedPatterns();

// The names of the formats recognised by their content, in alphabetical order, as a phrase:
// "BMP, GIF, JPEG, PNG or TIFF".
QString recognisedFormatNames();

// "a, b or c".
QString alternativesPhrase(const QStringList &items);

} // namespace inkvale
