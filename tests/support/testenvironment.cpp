#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace inkvale::test {

TestEnvironment::TestEnvironment()
    : m_root(QDir::tempPath() + QStringLiteral("/inkvale-test-XXXXXX"))
{
    const QString root = m_root.path();
    for (const char *folder : {"home", "config", "cache", "data", "tmp"}) {
        QDir(root).mkpath(QString::fromLatin1(folder));
    }
    qputenv("HOME", (root + QStringLiteral("/home")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (root + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
    qputenv("TMPDIR", (root + QStringLiteral("/tmp")).toUtf8());
    // Where Windows looks for its temporary folder.
    qputenv("TMP", (root + QStringLiteral("/tmp")).toUtf8());
    qputenv("TEMP", (root + QStringLiteral("/tmp")).toUtf8());
}

bool writePicture(const QString &path, int width, int height)
{
    // Shapes and gradients, so that the effects have edges and colours to work on.
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
        }
    }
    QPainter painter(&image);
    painter.setBrush(Qt::darkRed);
    painter.drawEllipse(width / 4, height / 4, width / 2, height / 2);
    painter.end();
    // Formats Qt cannot write (GIF, odd extensions) get PNG data under their name.
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return image.save(path,
                      QImageWriter::supportedImageFormats().contains(suffix) ? nullptr : "PNG");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace inkvale::test
