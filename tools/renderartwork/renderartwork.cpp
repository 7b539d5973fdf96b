// Renders SVG drawings for a Qt without its SVG module:
//   renderartwork FOLDER SVG...   writes FOLDER/<name>.png at the drawing's own size and
//                                 FOLDER/<name>@2x.png at twice it, which QIcon picks for
//                                 screens of twice the density;
//   renderartwork --icon ICO SVG  writes a Windows icon with the drawing at the sizes Windows
//                                 shows a program's icon.
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

QImage render(QSvgRenderer &drawing, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    drawing.render(&painter);
    painter.end();
    return image;
}

bool writePngs(const QString &folder, const QString &svg, QTextStream &err)
{
    QSvgRenderer drawing(svg);
    if (!drawing.isValid()) {
        err << "Not a drawing: " << svg << "\n";
        return false;
    }
    const QString base = QDir(folder).filePath(QFileInfo(svg).completeBaseName());
    const QSize size = drawing.defaultSize();
    return render(drawing, size).save(base + QStringLiteral(".png")) &&
           render(drawing, size * 2).save(base + QStringLiteral("@2x.png"));
}

// An icon file whose pictures are PNG data, as Windows reads them since Vista.
bool writeIcon(const QString &ico, const QString &svg, QTextStream &err)
{
    QSvgRenderer drawing(svg);
    if (!drawing.isValid()) {
        err << "Not a drawing: " << svg << "\n";
        return false;
    }
    const QList<int> sides{16, 20, 24, 32, 40, 48, 64, 128, 256};
    QList<QByteArray> pictures;
    for (const int side : sides) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        render(drawing, QSize(side, side)).save(&buffer, "PNG");
        pictures.append(png);
    }
    QFile file(ico);
    if (!file.open(QIODevice::WriteOnly)) {
        err << ico << ": " << file.errorString() << "\n";
        return false;
    }
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(sides.size());
    quint32 offset = 6 + 16 * sides.size();
    for (qsizetype i = 0; i < sides.size(); ++i) {
        const quint8 side = sides[i] >= 256 ? 0 : quint8(sides[i]);
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(pictures[i].size()) << offset;
        offset += pictures[i].size();
    }
    for (const QByteArray &png : pictures) {
        out.writeRawData(png.constData(), int(png.size()));
    }
    return out.status() == QDataStream::Ok && file.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QTextStream err(stderr);
    if (arguments.size() == 3 && arguments[0] == QStringLiteral("--icon")) {
        return writeIcon(arguments[1], arguments[2], err) ? 0 : 1;
    }
    if (arguments.size() < 2) {
        err << "Usage: renderartwork FOLDER SVG... | renderartwork --icon ICO SVG\n";
        return 2;
    }
    const QString folder = arguments.takeFirst();
    for (const QString &svg : arguments) {
        if (!writePngs(folder, svg, err)) {
            return 1;
        }
    }
    return 0;
}
