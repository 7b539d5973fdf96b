#include "convert/resultplacement.h"

#include "base/fspath.h"
#include "platform/fileplacement.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <system_error>

namespace inkvale {
namespace {

QImage flattenOntoWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

QString transcode(const QString &toolOutput, const QString &target, const QByteArray &format)
{
    QImage image(toolOutput);
    if (image.isNull()) {
        return QStringLiteral("The tool's result cannot be read");
    }
    const bool jpeg = format == "jpg" || format == "jpeg";
    if (jpeg && image.hasAlphaChannel()) {
        image = flattenOntoWhite(image);
    }
    QImageWriter writer(target, format);
    if (jpeg) {
        writer.setQuality(kJpegQuality);
    }
    if (!writer.write(image)) {
        return QStringLiteral("Unable to write the picture: ") + writer.errorString();
    }
    return {};
}

} // namespace

QString placeResult(const QString &toolOutput, const QString &output, const QString &scratchFolder)
{
    QString source = toolOutput;
    const QByteArray format = QFileInfo(output).suffix().toLower().toLatin1();
    if (format != "png" && QImageWriter::supportedImageFormats().contains(format)) {
        source =
            QDir(scratchFolder).filePath(QStringLiteral("result.") + QString::fromLatin1(format));
        QString error = transcode(toolOutput, source, format);
        if (!error.isEmpty()) {
            return error;
        }
    }
    try {
        platform::placeFileExclusively(toFsPath(source), toFsPath(output));
    } catch (const std::system_error &error) {
        return QStringLiteral("Unable to save %1: %2")
            .arg(QDir::toNativeSeparators(output),
                 QString::fromLocal8Bit(error.code().message().c_str()));
    }
    return {};
}

} // namespace inkvale
