#include "support/testenvironment.h"
#include "windowkit/artwork.h"

#include <QImage>
#include <QRegularExpression>
#include <QSet>

using namespace inkvale;

namespace {

// True when the picture has fully opaque pixels and more than one colour among them: a
// drawing, not an empty or flat square.
bool looksDrawn(const QImage &picture, QString *why)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 255)
                colours.insert(line[x]);
        }
    }
    if (colours.isEmpty())
        *why = QStringLiteral("no opaque pixel");
    else if (colours.size() == 1)
        *why = QStringLiteral("a single colour");
    return colours.size() > 1;
}

} // namespace

class ArtworkTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // The SVG renderer warns about anything in a drawing it cannot render.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    }

    void everyIconRenders_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"add-files", "add-folder", "feedback", "about", "help", "up", "down", "top", "bottom",
              "folder", "folder-disabled", "convert", "stop", "clear", "exit", "effect-unavailable",
              "failures", "inkvale"})
            QTest::newRow(name) << QString::fromLatin1(name);
        // The notice's close button and the feedback window's markers.
        for (const char *name : {"close", "like", "dislike"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyIconRenders()
    {
        QFETCH(QString, name);
        QVERIFY(!artworkIcon(name).isNull());
        for (const int side : {16, 24, 64, 128}) {
            for (const qreal ratio : {1.0, 2.0}) {
                const QSize size(side, side);
                const QPixmap pixmap = artworkPixmap(name, size, ratio);
                const QString where = QStringLiteral("%1 px at ratio %2").arg(side).arg(ratio);
                // A drawing that is not square would come out smaller than asked.
                QVERIFY2(pixmap.size() == size * ratio, qPrintable(where));
                QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(size));
                QString why;
                QVERIFY2(looksDrawn(pixmap.toImage(), &why), qPrintable(where + ": " + why));
            }
        }
    }

    void disabledFolderIsItsOwnDrawing()
    {
        const QIcon folder = artworkIcon(QStringLiteral("folder"));
        const QSize size(16, 16);
        const QImage normal = folder.pixmap(size, 1.0, QIcon::Normal).toImage();
        const QImage disabled = folder.pixmap(size, 1.0, QIcon::Disabled).toImage();
        QVERIFY(normal != disabled);
        QCOMPARE(disabled, artworkPixmap(QStringLiteral("folder-disabled"), size, 1.0).toImage());
    }

    void unknownNameGivesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << QStringLiteral("no-such-icon");
        QTest::newRow("empty") << QString();
        QTest::newRow("file name") << QStringLiteral("about.svg");
    }

    void unknownNameGivesNothing()
    {
        QFETCH(QString, name);
        const QRegularExpression warning(QStringLiteral("^No artwork named"));
        QTest::ignoreMessage(QtWarningMsg, warning);
        QVERIFY(artworkIcon(name).isNull());
        QTest::ignoreMessage(QtWarningMsg, warning);
        QVERIFY(artworkPixmap(name, QSize(16, 16), 1.0).isNull());
    }
};

INKVALE_GUI_TEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
