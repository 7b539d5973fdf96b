#include "convert/conversionjob.h"
#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/effectscaling.h"
#include "convert/filenames.h"
#include "convert/stringtoollog.h"
#include "convert/toolcommand.h"
#include "platform/toolprocess.h"
#include "support/picturefixtures.h"
#include "support/testenvironment.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QVersionNumber>

using namespace inkvale;

namespace {

// Windows forbids these characters in file names; POSIX systems forbid none of them.
bool nameTheSystemForbids(const QString &name)
{
    return QSysInfo::productType() == QStringLiteral("windows") &&
           name.contains(QRegularExpression(QStringLiteral("[*?\"<>|]")));
}

} // namespace

// The real G'MIC on small pictures: what each effect gives on this machine.
class RealToolTest : public QObject
{
    Q_OBJECT

private:
    const ToolLocation m_tool{QStringLiteral(INKVALE_BIN_DIR)};
    EffectAvailability m_availability;
    QTemporaryDir m_work;
    QString m_toolWords;

    // Runs the effect's recipe exactly as the program would.
    bool runRecipe(const QString &effect, const QString &input, const QString &output,
                   const QSize &scaledFor = {})
    {
        return runTool(
            ToolCommand::forRecipe(effect, m_tool.recipeFile(), input, output, scaledFor), output);
    }

    bool runTool(const ToolCommand &command, const QString &output)
    {
        QProcess tool;
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(m_tool.toolFile(), command.arguments);
        const bool ran = tool.waitForFinished(120000) &&
                         tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
        m_toolWords =
            command.commandLine + QLatin1Char('\n') + QString::fromLocal8Bit(tool.readAll());
        return ran && QFileInfo::exists(output);
    }

    // A small scene with flat shapes, gradients and grain, as a colour, a grey or a partly
    // transparent picture; `scale` times as large, with its grain as fine.
    static QImage scene(const QString &kind, int scale = 1)
    {
        QImage image(160 * scale, 120 * scale, QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, qRgb(x * 3 / 2 / scale, y * 2 / scale, 200 - x / scale));
            }
        }
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 90, 200));
        painter.drawRect(12, 50, 40, 50);
        painter.setBrush(QColor(220, 60, 40));
        painter.drawEllipse(QPoint(110, 50), 28, 22);
        painter.setBrush(QColor(250, 230, 80));
        painter.drawEllipse(QPoint(40, 30), 14, 14);
        painter.setBrush(QColor(40, 140, 60));
        painter.drawRect(90, 85, 60, 30);
        painter.end();
        quint32 seed = 7;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                seed = seed * 1664525u + 1013904223u;
                const int grain = int(seed >> 28) - 8;
                const QRgb c = image.pixel(x, y);
                image.setPixel(x, y,
                               qRgb(qBound(0, qRed(c) + grain, 255),
                                    qBound(0, qGreen(c) + grain, 255),
                                    qBound(0, qBlue(c) + grain, 255)));
            }
        }
        if (kind == QStringLiteral("grey")) {
            return image.convertToFormat(QImage::Format_Grayscale8);
        }
        if (kind == QStringLiteral("transparent")) {
            for (int y = 0; y < 40 * scale; ++y) {
                for (int x = 120 * scale; x < 160 * scale; ++x) {
                    image.setPixel(x, y, qRgba(0, 0, 0, 0));
                }
            }
            return image;
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

    template<typename Test>
    static double share(const QList<QRgb> &colours, Test test)
    {
        const auto count = std::count_if(colours.begin(), colours.end(), test);
        return colours.isEmpty() ? 0.0 : double(count) / double(colours.size());
    }

    // How much of the picture its `top` most frequent colours cover.
    static double commonColourShare(const QList<QRgb> &colours, int top)
    {
        QHash<QRgb, int> counts;
        for (const QRgb c : colours) {
            ++counts[c];
        }
        QList<int> sorted = counts.values();
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        const int covered = std::accumulate(
            sorted.begin(), sorted.begin() + std::min<qsizetype>(top, sorted.size()), 0);
        return colours.isEmpty() ? 0.0 : double(covered) / double(colours.size());
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(m_tool.toolFile()).isFile(), "the build places gmic/gmic");
        m_availability = probeEffects(m_tool);
        qInfo() << "G'MIC" << m_availability.toolVersion;
    }

    void probeNamesWhatTheToolLacks()
    {
        QVERIFY(!m_availability.toolVersion.isEmpty());
        for (const QString effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            QVERIFY2(m_availability.isAvailable(effect), qPrintable(m_availability.reason(effect)));
        }
        // The two community filters are built in from G'MIC 3.3.3 on; before, Inkvale's own
        // recipes stand in for them.
        const bool modern =
            QVersionNumber::fromString(m_availability.toolVersion) >= QVersionNumber(3, 3, 3);
        for (const QString effect : {"Comicbook", "Lineart"}) {
            QVERIFY2(m_availability.isAvailable(effect), qPrintable(m_availability.reason(effect)));
            QCOMPARE(m_availability.usesRecipe(effect), !modern);
        }
        if (!modern) {
            QCOMPARE(m_availability.recipeNote(QStringLiteral("Lineart")),
                     "Inkvale's own recipe is used: the installed G'MIC " +
                         m_availability.toolVersion + " has no cl_lineart");
        }
    }

    void probeWithoutTool()
    {
        QTemporaryDir empty;
        const EffectAvailability availability = probeEffects(ToolLocation(empty.path()));
        QCOMPARE(availability.unavailable.size(), 5);
        QVERIFY(availability.reason("Cartoon").contains(QStringLiteral("cannot be started")));
    }

    void convert_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("format");
        for (const char *effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            for (const char *format : {"png", "jpg", "bmp"}) {
                QTest::addRow("%s to %s", effect, format) << effect << format;
            }
        }
    }

    void convert()
    {
        QFETCH(QString, effect);
        QFETCH(QString, format);
        const QString input = m_work.filePath(QStringLiteral("input.jpg"));
        if (!QFileInfo::exists(input)) {
            QVERIFY(test::writePicture(input, 120, 80));
        }
        const QString output = m_work.filePath(QStringLiteral("%1.%2").arg(effect, format));
        StringToolLog log;
        QVERIFY2(convertImage(effect, input, output, log, m_tool).converted(),
                 qPrintable(log.text()));

        QImageReader reader(output);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format == "jpg" ? QByteArray("jpeg") : format.toLatin1());
        QCOMPARE(reader.size(), QSize(120, 80));
        QVERIFY(!reader.read().isNull());
    }

    // A strip twice the reference's diagonal: the tool takes every scaled preset and runs
    // the scaled recipes, and --max-size shrinks the result.
    void scaledEffects_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<int>("largestSide");
        QTest::addColumn<QSize>("size");
        for (const char *effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            QTest::addRow("%s", effect) << effect << 0 << QSize(2000, 40);
        }
        QTest::newRow("Cartoon limited") << "Cartoon" << 800 << QSize(800, 16);
    }

    void scaledEffects()
    {
        QFETCH(QString, effect);
        QFETCH(int, largestSide);
        QFETCH(QSize, size);
        const QString input = m_work.filePath(QStringLiteral("strip.png"));
        if (!QFileInfo::exists(input)) {
            QVERIFY(test::writePicture(input, 2000, 40));
        }
        const QString output =
            m_work.filePath(QStringLiteral("strip-%1-%2.png").arg(effect).arg(largestSide));
        StringToolLog log;
        ConversionOptions options;
        options.largestSide = largestSide;
        QVERIFY2(convertImage(effect, input, output, log, m_tool, options).converted(),
                 qPrintable(log.text()));
        const EffectPreset &preset = *findEffectPreset(effect);
        const double scale = effectScaleFactor(size);
        QCOMPARE(scale == 1.0, largestSide == 800);
        const QString words = scale == 1.0 || preset.scaledRecipeCommand.isEmpty()
                                  ? preset.commandWord + QLatin1Char(' ') + preset.parameters
                                  : preset.scaledRecipeCommand + QLatin1Char(' ') +
                                        QString::number(scale, 'g', 5) + QLatin1Char(',') +
                                        preset.parameters;
        const QString commandLine = log.text().section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(commandLine.contains(QLatin1Char(' ') + words + QStringLiteral(" -o ")),
                 qPrintable(commandLine));
        QCOMPARE(QImageReader(output).size(), size);
    }

    // Each recipe as the program runs it, whatever this tool has built in; also on a region
    // of a larger picture, as the preview's 100 % view renders it.
    void recipes_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("scaledFor");
        for (const char *effect : {"Comicbook", "Lineart"}) {
            for (const char *kind : {"colour", "grey", "transparent"}) {
                QTest::addRow("%s on %s", effect, kind) << effect << kind << QSize();
            }
            QTest::addRow("%s on a region", effect) << effect << "transparent" << QSize(4000, 3000);
        }
    }

    void recipes()
    {
        QFETCH(QString, effect);
        QFETCH(QString, kind);
        QFETCH(QSize, scaledFor);
        const QImage input = scene(kind);
        const QString inputFile = m_work.filePath(kind + QStringLiteral("-scene.png"));
        QVERIFY(input.save(inputFile));
        const QString outputFile = m_work.filePath(kind + QLatin1Char('-') + effect +
                                                   QString::number(scaledFor.width()) + ".png");
        QVERIFY2(runRecipe(effect, inputFile, outputFile, scaledFor), qPrintable(m_toolWords));
        const QImage output(outputFile);
        QCOMPARE(output.size(), input.size());

        // Transparent parts stay transparent, and only the opaque ones are judged.
        QList<QRgb> opaque;
        for (int y = 0; y < input.height(); ++y) {
            for (int x = 0; x < input.width(); ++x) {
                const int alpha = qAlpha(input.pixel(x, y));
                QCOMPARE(qAlpha(output.pixel(x, y)), alpha);
                if (alpha == 255) {
                    opaque.append(output.pixel(x, y));
                }
            }
        }
        if (scaledFor.isValid()) {
            // Scaled for a picture 25 times as wide, the scene's shapes are too small to judge.
            return;
        }
        const double white = share(opaque, [](QRgb c) { return qGray(c) >= 220; });
        const double dark = share(opaque, [](QRgb c) { return qGray(c) <= 60; });
        if (effect == QStringLiteral("Lineart")) {
            QVERIFY2(white >= 0.7, qPrintable(QString::number(white)));
            QVERIFY2(dark >= 0.01, qPrintable(QString::number(dark)));
            // Black on white: no colour creeps in.
            QCOMPARE(share(opaque, [](QRgb c) { return qRed(c) != qBlue(c); }), 0.0);
        } else {
            // The input's noise gives thousands of colours; a few flat ones cover most of it.
            QVERIFY2(commonColourShare(opaque, 32) >= 0.6,
                     qPrintable(QString::number(commonColourShare(opaque, 32))));
            QVERIFY2(dark >= 0.03, qPrintable(QString::number(dark)));
        }
    }

    // The scene three times as large with the effect scaled by 3: seen at the scene's size, it
    // looks like the preset on a copy at that size, and its transparent parts stay.
    void scaledRecipesKeepTheLook_data()
    {
        QTest::addColumn<QString>("effect");
        for (const char *effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            QTest::newRow(effect) << effect;
        }
    }

    void scaledRecipesKeepTheLook()
    {
        QFETCH(QString, effect);
        QVERIFY(!findEffectPreset(effect)->scaledRecipeCommand.isEmpty());
        const QImage large = scene(QStringLiteral("transparent"), 3);
        const QImage small =
            large.scaled(large.size() / 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString smallFile = m_work.filePath(QStringLiteral("look-small.png"));
        const QString largeFile = m_work.filePath(QStringLiteral("look-large.png"));
        QVERIFY(small.save(smallFile) && large.save(largeFile));
        const QString smallResult = m_work.filePath(effect + QStringLiteral("-look-small.png"));
        const QString largeResult = m_work.filePath(effect + QStringLiteral("-look-large.png"));
        QVERIFY2(
            runTool(ToolCommand::forEffect(effect, smallFile, smallResult, 1.0, {}), smallResult),
            qPrintable(m_toolWords));
        QVERIFY2(runTool(ToolCommand::forEffect(effect, largeFile, largeResult, 3.0,
                                                m_tool.recipeFile()),
                         largeResult),
                 qPrintable(m_toolWords));
        const QImage preset = QImage(smallResult).convertToFormat(QImage::Format_ARGB32);
        const QImage scaled = QImage(largeResult).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(scaled.size(), large.size());
        for (int y = 0; y < large.height(); ++y) {
            for (int x = 0; x < large.width(); ++x) {
                QCOMPARE(qAlpha(scaled.pixel(x, y)), qAlpha(large.pixel(x, y)));
            }
        }
        // Judged at half the scene's size, where Pen Drawing's dithering blends as on a screen.
        const QSize judged = small.size() / 2;
        const auto seen = [&judged](const QImage &image) {
            return image.scaled(judged, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const QImage largeSeen = seen(scaled);
        const QImage presetSeen = seen(preset);
        const QImage photo = seen(small);
        double apart = 0;
        double changed = 0;
        for (int y = 0; y < judged.height(); ++y) {
            for (int x = 0; x < judged.width(); ++x) {
                if (qAlpha(photo.pixel(x, y)) < 255) {
                    continue;
                }
                const QRgb a = largeSeen.pixel(x, y);
                const QRgb b = presetSeen.pixel(x, y);
                const QRgb c = photo.pixel(x, y);
                apart += std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) +
                         std::pow(qBlue(a) - qBlue(b), 2);
                changed += std::pow(qRed(b) - qRed(c), 2) + std::pow(qGreen(b) - qGreen(c), 2) +
                           std::pow(qBlue(b) - qBlue(c), 2);
            }
        }
        // The effect benchmark's measure of the look. Unscaled, the tool's own commands give
        // about 0.54 for Cartoon and 0.76 for Pen Drawing here.
        const double look = std::sqrt(apart / changed);
        QVERIFY2(look <= 0.35, qPrintable(QString::number(look)));
    }

    void comicbookIsNoCartoon()
    {
        const QString input = m_work.filePath(QStringLiteral("compare.png"));
        QVERIFY(scene(QStringLiteral("colour")).save(input));
        const QString comic = m_work.filePath(QStringLiteral("compare-comic.png"));
        QVERIFY2(runRecipe(QStringLiteral("Comicbook"), input, comic), qPrintable(m_toolWords));
        const QString cartoon = m_work.filePath(QStringLiteral("compare-cartoon.png"));
        StringToolLog log;
        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input, cartoon, log, m_tool).converted(),
                 qPrintable(log.text()));
        const QImage a = QImage(comic).convertToFormat(QImage::Format_RGB32);
        const QImage b = QImage(cartoon).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(a.size(), b.size());
        qint64 difference = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                difference += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                              qAbs(qBlue(p) - qBlue(q));
            }
        }
        const double mean = double(difference) / (3.0 * a.width() * a.height());
        QVERIFY2(mean >= 20, qPrintable(QString::number(mean)));
    }

    // The engine picks the recipe on a tool without the effect, and shows what it runs.
    void recipeEffectsConvert_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::newRow("Comicbook") << "Comicbook";
        QTest::newRow("Lineart") << "Lineart";
    }

    void recipeEffectsConvert()
    {
        QFETCH(QString, effect);
        const QString input = m_work.filePath(QStringLiteral("engine.jpg"));
        QVERIFY(test::writePicture(input, 60, 44));
        const QString output = m_work.filePath(QStringLiteral("engine-%1.jpg").arg(effect));
        StringToolLog log;
        QVERIFY2(convertImage(effect, input, output, log, m_tool).converted(),
                 qPrintable(log.text()));
        QCOMPARE(QImageReader(output).size(), QSize(60, 44));
        const QString commandLine = log.text().section(QLatin1Char('\n'), 0, 0);
        if (m_availability.usesRecipe(effect)) {
            QVERIFY2(commandLine.startsWith(platform::toolFileName() + QStringLiteral(" -m \"") +
                                            m_tool.recipeFile() + "\" \""),
                     qPrintable(commandLine));
            QVERIFY2(commandLine.contains(findEffectPreset(effect)->recipeCommand + " -o \""),
                     qPrintable(commandLine));
        } else {
            QVERIFY2(commandLine.contains(findEffectPreset(effect)->commandWord + QLatin1Char(' ')),
                     qPrintable(commandLine));
        }
    }

    // A program folder whose path the tool would misread hands the recipes over through the
    // conversion's own folder; without the recipe file the tool's words say what it lacks.
    void recipeFileBesideTheProgram_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<bool>("withRecipes");
        QTest::newRow("plain") << "plain" << true;
        QTest::newRow("misread") << "Inkvale, {2*3} $HOME \"x\"" << true;
        QTest::newRow("no recipe file") << "no recipes" << false;
    }

    void recipeFileBesideTheProgram()
    {
        QFETCH(QString, folderName);
        QFETCH(bool, withRecipes);
        if (!m_availability.usesRecipe(QStringLiteral("Lineart"))) {
            QSKIP("this G'MIC has the effect built in");
        }
        if (nameTheSystemForbids(folderName)) {
            QSKIP("no such name on this system");
        }
        QTemporaryDir root;
        const QString program = root.filePath(folderName);
        QVERIFY(QDir().mkpath(program + QStringLiteral("/gmic")));
        QVERIFY(QFile::copy(QFileInfo(m_tool.toolFile()).canonicalFilePath(),
                            program + QStringLiteral("/gmic/") + platform::toolFileName()));
        const ToolLocation location(program);
        if (withRecipes) {
            QVERIFY(QFile::copy(m_tool.recipeFile(), location.recipeFile()));
        }
        const QString input = root.filePath(QStringLiteral("in.png"));
        QVERIFY(test::writePicture(input, 36, 28));
        const QString output = root.filePath(QStringLiteral("out.png"));
        StringToolLog log;
        const bool converted =
            convertImage(QStringLiteral("Lineart"), input, output, log, location).converted();
        QCOMPARE(converted, withRecipes);
        const QString commandLine = log.text().section(QLatin1Char('\n'), 0, 0);
        if (!withRecipes) {
            QVERIFY2(
                log.text().contains(QStringLiteral("Unknown command or filename 'cl_lineart'")),
                qPrintable(log.text()));
            QVERIFY(!QFileInfo::exists(output));
            const EffectAvailability availability = probeEffects(location);
            QVERIFY2(availability.reason(QStringLiteral("Lineart"))
                         .contains("Inkvale's own recipe file is missing: " +
                                   QDir::toNativeSeparators(location.recipeFile())),
                     qPrintable(availability.reason(QStringLiteral("Lineart"))));
            return;
        }
        QCOMPARE(QImageReader(output).size(), QSize(36, 28));
        const bool plain = folderName == QStringLiteral("plain");
        QVERIFY2(commandLine.startsWith(platform::toolFileName() + QStringLiteral(" -m \"") +
                                        (plain ? program : QDir::tempPath())),
                 qPrintable(commandLine));
        QVERIFY2(commandLine.contains(QStringLiteral("/inkvale-recipes.gmic\" \"")),
                 qPrintable(commandLine));
    }

    // Names that the tool itself would split or substitute still convert as themselves.
    void namesTheToolWouldMisread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("comma") << "Paris, 2019.png";
        QTest::newRow("braces") << "a{2*3}.png";
        QTest::newRow("dollar") << "cost $HOME.png";
        QTest::newRow("double quote") << "say \"cheese\".png";
        QTest::newRow("leading dash") << "-rotate 90.png";
    }

    void namesTheToolWouldMisread()
    {
        QFETCH(QString, name);
        if (nameTheSystemForbids(name)) {
            QSKIP("no such name on this system");
        }
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writePicture(input, 30 + name.size(), 20));
        const QString output =
            batchOutputName(folder.filePath(QStringLiteral("out")), input, QStringLiteral("JPG"));
        QCOMPARE(QFileInfo(output).completeBaseName(), QFileInfo(name).completeBaseName());
        QDir().mkpath(folder.filePath(QStringLiteral("out")));
        StringToolLog log;
        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input, output, log, m_tool).converted(),
                 qPrintable(log.text()));
        // The size tells that this very picture was read.
        QCOMPARE(QImageReader(output).size(), QSize(30 + name.size(), 20));
        QCOMPARE(QDir(folder.filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 QStringList{QFileInfo(name).completeBaseName() + QStringLiteral(".jpg")});
    }

    // Inputs the tool would mishandle: a portrait it would read lying down, frames it would
    // write as several pictures. (A cut-off photo, which it would fill with grey, never
    // reaches it: conversion_test covers that without the tool.)
    void inputsTheToolWouldMishandle_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size"); // of the result

        QTest::newRow("portrait stored lying down")
            << "portrait.jpg" << test::jpegWithOrientation(test::markedPicture(QSize(60, 90)), 6)
            << QSize(60, 90);
        QTest::newRow("animated gif")
            << "clip.gif" << test::twoFrameGif(QSize(40, 30)) << QSize(40, 30);
        QTest::newRow("two-page tiff")
            << "scan.tif" << test::twoPageTiff(QSize(40, 30), QSize(20, 20)) << QSize(40, 30);
    }

    void inputsTheToolWouldMishandle()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        const QString output = folder.filePath(QStringLiteral("result.png"));
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input, output, log, m_tool);

        QVERIFY2(result.converted(), qPrintable(log.text()));
        QCOMPARE(QImageReader(output).size(), size);
        QStringList files({name, "result.png"});
        files.sort();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name), files);
    }

    // G'MIC reads "v/my,tmp/inkvale-.../zemcartoon.png" as the file "v/my" with options: such
    // a temporary folder is never handed to it, and the file "v/my" stays as it is.
    void temporaryFolderTheToolWouldMisread()
    {
        QTemporaryDir root;
        const QString temporary = root.filePath(QStringLiteral("my,tmp"));
        QVERIFY(QDir().mkpath(temporary));
        const QString marker = root.filePath(QStringLiteral("my"));
        QVERIFY(test::writePicture(marker, 10, 10));
        QFile markerFile(marker);
        QVERIFY(markerFile.open(QIODevice::ReadOnly));
        const QByteArray markerBytes = markerFile.readAll();
        markerFile.close();
        const QString input = m_work.filePath(QStringLiteral("literal.png"));
        QVERIFY(test::writePicture(input, 30, 20));
        const QString output = m_work.filePath(QStringLiteral("literal-out.png"));

        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", temporary.toUtf8());
        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input, output, log, m_tool);
        qputenv("TMPDIR", previous);

        QVERIFY2(result.converted(), qPrintable(log.text()));
        QCOMPARE(QImageReader(output).size(), QSize(30, 20));
        QVERIFY(markerFile.open(QIODevice::ReadOnly));
        QCOMPARE(markerFile.readAll(), markerBytes);
        QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"my", "my,tmp"}));
        QVERIFY(QDir(temporary).isEmpty());
    }
};

INKVALE_TEST_MAIN(RealToolTest)
#include "realtool_test.moc"
