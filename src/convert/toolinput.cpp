#include "convert/toolinput.h"

#include "base/fspath.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"

#include <filesystem>
#include <QDir>
#include <QImageWriter>
#include <system_error>

namespace fs = std::filesystem;

namespace inkvale {
namespace {

// The decoded picture in a format the tool reads quickly and without loss: BMP when opaque
// (a photo), PNG stored without compression where it has transparency.
QString writeCopy(const QImage &image, const QString &base, QString *written)
{
    const bool alpha = image.hasAlphaChannel();
    *written = base + (alpha ? QStringLiteral(".png") : QStringLiteral(".bmp"));
    QImageWriter writer(*written, alpha ? "png" : "bmp");
    if (alpha) {
        writer.setCompression(0);
    }
    const bool ok = writer.write(alpha ? image : image.convertToFormat(QImage::Format_RGB32));
    return ok ? QString() : writer.errorString();
}

} // namespace

QString linkForTool(const QString &file, const QString &link)
{
    std::error_code ec;
    const fs::path target = fs::absolute(toFsPath(file), ec);
    if (ec) {
        return QString::fromLocal8Bit(ec.message().c_str());
    }
    const fs::path name = toFsPath(link);
    fs::create_symlink(target, name, ec);
    if (ec) {
        fs::create_hard_link(target, name, ec);
    }
    if (ec) {
        fs::copy_file(target, name, ec);
    }
    return ec ? QString::fromLocal8Bit(ec.message().c_str()) : QString();
}

ToolInput prepareToolInput(const QString &input, const QString &scratchFolder)
{
    const PictureFile file = readPictureFile(input);
    if (!file.error.isEmpty()) {
        return {{}, file.error};
    }
    const PictureFormat *format = formatOfContent(file.bytes);
    if (format == nullptr) {
        return {{},
                QStringLiteral("Not a picture: the file holds no %1 data")
                    .arg(recognisedFormatNames())};
    }
    const PictureReading reading = readWholePicture(file.bytes, format->reader);
    if (!reading.whole()) {
        return {{}, reading.error};
    }
    const QString base = QDir(scratchFolder).filePath(QStringLiteral("input"));
    QString path;
    QString error;
    if (reading.turned || reading.severalFrames) {
        // The tool would read the photo lying on its side, or write one picture per frame.
        error = writeCopy(reading.image, base, &path);
    } else {
        // The tool picks its reader by the extension.
        path = base + QLatin1Char('.') + format->extensions.constFirst();
        error = linkForTool(input, path);
    }
    if (!error.isEmpty()) {
        return {{}, QStringLiteral("Unable to hand the picture to the tool: ") + error};
    }
    return {QDir::toNativeSeparators(path), {}};
}

} // namespace inkvale
