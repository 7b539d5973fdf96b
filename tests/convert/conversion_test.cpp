#include "convert/conversionjob.h"
#include "convert/picturereading.h"
#include "convert/stringtoollog.h"
#include "convert/toolrun.h"
#include "convert/waitforresult.h"
#include "imagelist/giffixture.h"
#include "support/faketool.h"
#include "support/picturefixtures.h"
#include "support/testenvironment.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/resource.h>

using namespace inkvale;
using test::FakeTool;

namespace {

QByteArray encoded(const char *format)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

const QString kAsterisks = QStringLiteral("**********************************\n\n");
const QString kClosing = QStringLiteral("Processing completed successfully.\n") + kAsterisks;

QString closingOf(const QString &failure)
{
    return QStringLiteral("Processing failed: ") + failure + QLatin1Char('\n') + kAsterisks;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A GIF of 35 bytes: one pixel of a `width` x `height` screen, as Qt reads it.
QByteArray gifScreen(int width, int height)
{
    QByteArray gif("GIF89a");
    const auto le16 = [&gif](int value) {
        gif.append(char(value & 0xFF));
        gif.append(char(value >> 8));
    };
    le16(width);
    le16(height);
    gif.append(QByteArray::fromHex("800000"
                                   "000000ffffff"
                                   "2c00000000010001000002024c0100"
                                   "3b"));
    return gif;
}

QByteArray onePicture(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

ConversionResult convertWithBudget(const QString &input, const QString &output, StringToolLog &log,
                                   const FakeTool &tool, std::uint64_t budget, int largestSide = 0)
{
    ConversionJob job(QStringLiteral("Cartoon"), input, output, log, tool.location());
    job.setMemoryBudget(budget);
    ConversionOptions options;
    options.largestSide = largestSide;
    job.setOptions(options);
    return waitForResult(job, &ConversionJob::finished, [&] { job.start(); });
}

QStringList scratchFolders()
{
    return QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs);
}

} // namespace

// One conversion through a stand-in tool: the log's exact text, the arguments the tool gets,
// and what is left on disk.
class ConversionTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_pictures;

private slots:
    void logText_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("toolWords"); // a regular expression for the middle part
        QTest::addColumn<QString>("failure");   // empty when converted

        QTest::newRow("tool that writes its picture")
            << int(FakeTool::Behaviour::Succeed) << "Cartoon"
            << "fake tool: writing .*\n"
            << "";
        QTest::newRow("silent tool") << int(FakeTool::Behaviour::Silent) << "Cartoon"
                                     << ""
                                     << "The tool produced no picture";
        QTest::newRow("failing tool") << int(FakeTool::Behaviour::Fail) << "Cutout"
                                      << "\\*\\*\\* Error \\*\\*\\* fake tool cannot read '.*'\n"
                                      << "The tool ended with status 1";
        QTest::newRow("tool that cannot start")
            << int(FakeTool::Behaviour::NotRunnable) << "Cartoon"
            << ".*<EACCES>.*\n"
            << "The tool could not be started";
        // A cut-off picture is never delivered, whatever the tool's status says.
        QTest::newRow("tool that runs out of room")
            << int(FakeTool::Behaviour::HalfPictureThenFail) << "Cartoon"
            << "\\*\\*\\* Error \\*\\*\\* fake tool: No space left on device\n"
            << "The tool ended with status 255";
        QTest::newRow("tool killed while writing")
            << int(FakeTool::Behaviour::KilledWhileWritingPicture) << "Cartoon"
            << ""
            << "The tool was ended by signal 9 (out of memory?)";
        QTest::newRow("tool that writes half a picture and ends well")
            << int(FakeTool::Behaviour::HalfPicture) << "Cartoon"
            << ""
            << "The tool's picture is incomplete";
    }

    void logText()
    {
        QFETCH(int, behaviour);
        QFETCH(QString, effect);
        QFETCH(QString, toolWords);
        QFETCH(QString, failure);
        const bool converted = failure.isEmpty();
        const FakeTool tool(static_cast<FakeTool::Behaviour>(behaviour));
        const QString input = m_pictures.filePath(QStringLiteral("in.png"));
        QVERIFY(test::writePicture(input, 20, 10));
        const QString output = m_pictures.filePath(QStringLiteral("out-%1.png").arg(behaviour));

        StringToolLog log;
        log.addLine(QStringLiteral("left over from before"));
        const ConversionResult result = convertImage(effect, input, output, log, tool.location());

        QCOMPARE(result.converted(), converted);
        QCOMPARE(result.failure, failure);
        QCOMPARE(QFileInfo::exists(output), converted);
        // The system's words for a file that cannot be run, in the language it speaks.
        toolWords.replace(
            QStringLiteral("<EACCES>"),
            QRegularExpression::escape(QString::fromLocal8Bit(std::strerror(EACCES))));
        const QString pattern =
            QStringLiteral("gmic \"(.*)/input\\.png\" \\S+ \\S+ -o \"(.*)\"\n") +
            QStringLiteral("Commencing processing\\.\\.\\.\n") + toolWords +
            QRegularExpression::escape(converted ? kClosing : closingOf(failure));
        const QRegularExpression expected(QRegularExpression::anchoredPattern(pattern));
        const QRegularExpressionMatch match = expected.match(log.text());
        QVERIFY2(match.hasMatch(), qPrintable(log.text()));
        const QString temporary = match.captured(2);
        QCOMPARE(match.captured(1), QFileInfo(temporary).path());
        QCOMPARE(QFileInfo(temporary).fileName(), QStringLiteral("zemcartoon.png"));
        QVERIFY(QFileInfo(temporary).path().startsWith(QDir::tempPath()));
        QVERIFY2(!QFileInfo::exists(temporary), "the temporary output is removed");
        QVERIFY(scratchFolders().isEmpty());
    }

    // The tool's bytes as text: a zero byte does not cut off what follows, and a letter
    // split across two reads stays whole.
    void toolOutputIsDecodedAsItComes()
    {
        ToolCommand command;
        command.commandLine = QStringLiteral("sh -c ...");
        command.arguments = {
            QStringLiteral("-c"),
            QStringLiteral("printf 'a\\000b \\303'; sleep 0.2; printf '\\274 done'")};
        StringToolLog log;
        runToolCaptured(command, QStringLiteral("/bin/sh"), QDir::tempPath(), log);
        QCOMPARE(log.text(),
                 QStringLiteral("Commencing processing...\nab \u00fc done\n") + kClosing);
    }

    // The closing line says how the tool ended.
    void toolEndIsReported_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("closing");
        QTest::newRow("status 0") << "exit 0" << kClosing;
        QTest::newRow("status 255") << "exit 255" << closingOf("The tool ended with status 255");
        QTest::newRow("killed") << "kill -9 $$"
                                << closingOf("The tool was ended by signal 9 (out of memory?)");
        QTest::newRow("crashed") << "kill -11 $$" << closingOf("The tool was ended by signal 11");
    }

    void toolEndIsReported()
    {
        QFETCH(QString, script);
        QFETCH(QString, closing);
        ToolCommand command;
        command.commandLine = QStringLiteral("sh -c ...");
        command.arguments = {QStringLiteral("-c"), script};
        StringToolLog log;
        runToolCaptured(command, QStringLiteral("/bin/sh"), QDir::tempPath(), log);
        QCOMPARE(log.text(), QStringLiteral("Commencing processing...\n") + closing);
    }

    void unknownEffectStartsNothing()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString output = m_pictures.filePath(QStringLiteral("unknown.png"));
        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Sepia"), m_pictures.filePath(QStringLiteral("in.png")),
                         output, log, tool.location());
        QVERIFY(!result.converted());
        QCOMPARE(log.text(), QStringLiteral("\nCommencing processing...\n") +
                                 closingOf(QStringLiteral("Unknown effect \"Sepia\"")));
        QVERIFY(tool.recordedArguments().isEmpty());
        QVERIFY(!QFileInfo::exists(output));
    }

    void missingToolFolderIsReportedInTheLog()
    {
        QTemporaryDir program; // no gmic folder at all
        StringToolLog log;
        const ConversionResult result = convertImage(
            QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
            m_pictures.filePath(QStringLiteral("never.png")), log, ToolLocation(program.path()));
        QVERIFY(!result.converted());
        const QStringList lines = log.text().split(QLatin1Char('\n'));
        QCOMPARE(lines.at(1), QStringLiteral("Commencing processing..."));
        QVERIFY2(!lines.at(2).isEmpty() && !lines.at(2).startsWith(QStringLiteral("Processing")),
                 qPrintable(log.text()));
        QVERIFY(log.text().endsWith(closingOf(QStringLiteral("The tool could not be started"))));
    }

    // The tool never sees a name chosen by the user: every input reaches it as "input" with
    // the extension of the format its content holds, and a file that holds no whole picture
    // fails before the tool starts, with the decoder's words.
    void inputsReachTheToolUnderANeutralName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("toolInput"); // file name the tool gets; empty: not started
        QTest::addColumn<QString>("failure");

        const QByteArray jpeg = encoded("JPEG");
        const QByteArray png = encoded("PNG");
        const QByteArray commands("#@gmic\ncartoon :\n  x 0,\"touch pwned\"\n");
        QTest::newRow("jpeg") << "photo.jpg" << jpeg << "input.jpg"
                              << "";
        QTest::newRow("jpeg data in a .png") << "photo.png" << jpeg << "input.jpg"
                                             << "";
        QTest::newRow("png data in a .jpg") << "photo.jpg" << png << "input.png"
                                            << "";
        QTest::newRow("bmp") << "photo.BMP" << encoded("BMP") << "input.bmp"
                             << "";
        // Formats the tool reads through others' code, or not in every build, reach it decoded.
        QTest::newRow("tiff") << "scan.tiff" << encoded("TIFF") << "input.bmp"
                              << "";
        QTest::newRow("gif") << "clip.gif" << test::gifData(20, 10) << "input.bmp"
                             << "";
        QTest::newRow("picture named like commands") << "photo.GMIC" << jpeg << "input.jpg"
                                                     << "";
        QTest::newRow("name the tool would misread") << "a,{1+1}$x.png" << png << "input.png"
                                                     << "";
        const QString noPicture =
            QStringLiteral("Not a picture: the file holds no AVIF, BMP, GIF, HEIC, JPEG, PNG, TIFF "
                           "or WebP data");
        QTest::newRow("command definitions") << "evil.gmic" << commands << "" << noPicture;
        QTest::newRow("command definitions named like a picture")
            << "evil.png" << commands << "" << noPicture;
        QTest::newRow("empty file") << "empty.jpg" << QByteArray() << "" << noPicture;
        QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() * 6 / 10) << ""
                                        << "Unable to read image data";
        QTest::newRow("jpeg without its end marker")
            << "cut.jpg" << jpeg.left(jpeg.size() - 2) << ""
            << "Unable to read image data: the file is truncated";
        QTest::newRow("truncated png") << "cut.png" << png.left(png.size() * 6 / 10) << ""
                                       << "Unable to read image data";
    }

    void inputsReachTheToolUnderANeutralName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, toolInput);
        QFETCH(QString, failure);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        const QString output = folder.filePath(QStringLiteral("result.png"));
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location());

        QCOMPARE(result.converted(), failure.isEmpty());
        QCOMPARE(QFileInfo::exists(output), failure.isEmpty());
        const QStringList arguments = tool.recordedArguments();
        if (toolInput.isEmpty()) {
            QVERIFY2(arguments.isEmpty(), "the tool is not started");
            QCOMPARE(result.failure, failure);
            QCOMPARE(log.text(), result.failure + QLatin1Char('\n'));
        } else {
            QCOMPARE(QFileInfo(arguments.at(0)).fileName(), toolInput);
            QCOMPARE(QFileInfo(arguments.at(0)).path(), QFileInfo(arguments.at(4)).path());
            // A copy of its own, no link to a path that others could change.
            QCOMPARE(tool.recordedInputTarget(), QFileInfo(arguments.at(0)).absoluteFilePath());
            const QByteArray given = tool.recordedInputBytes();
            if (toolInput.endsWith(QStringLiteral(".bmp")) && !content.startsWith("BM")) {
                // A decoded copy: the same pixels.
                QCOMPARE(QImage::fromData(given).convertToFormat(QImage::Format_RGB32),
                         QImage::fromData(content).convertToFormat(QImage::Format_RGB32));
            } else {
                QCOMPARE(given, content);
            }
        }
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("pwned"))));
        QVERIFY(scratchFolders().isEmpty());
    }

    // A file larger than any picture (here a sparse one, which costs no disk) is refused from
    // its size, never read into memory.
    void fileLargerThanAnyPictureIsNotRead()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(QStringLiteral("huge.jpg"));
        QVERIFY(test::writeFile(input, encoded("JPEG")));
        QVERIFY(QFile::resize(input, qint64(kLargestPictureFile) + 1));
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input,
                         folder.filePath(QStringLiteral("huge.png")), log, tool.location());

        QCOMPARE(result.failure,
                 QStringLiteral("The file is larger than any picture Inkvale reads (1 GB)"));
        QVERIFY(tool.recordedArguments().isEmpty());
    }

    // A header that claims far more pixels than the file's data could hold is refused before
    // the tool starts (Qt would fill in the missing picture); real pictures of one colour,
    // the densest there are, pass.
    void claimsBeyondTheDataAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("refused");
        QTest::newRow("JPEG claiming 16000x16000")
            << "claim.jpg" << test::jpegClaiming(QSize(16000, 16000)) << true;
        QTest::newRow("GIF of 35 bytes claiming 16000x16000")
            << "claim.gif" << gifScreen(16000, 16000) << true;
        QTest::newRow("GIF of 35 bytes, one pixel") << "pixel.gif" << gifScreen(1, 1) << false;
        QTest::newRow("one-colour PNG") << "white.png" << onePicture(3000, 2000, "PNG") << false;
        QTest::newRow("one-colour JPEG") << "white.jpg" << onePicture(3000, 2000, "JPEG") << false;
    }

    void claimsBeyondTheDataAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, refused);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        StringToolLog log;

        const ConversionResult result =
            convertWithBudget(input, folder.filePath(QStringLiteral("out.png")), log, tool, 0);

        QCOMPARE(result.converted(), !refused);
        QCOMPARE(tool.recordedArguments().isEmpty(), refused);
        if (refused) {
            QVERIFY2(result.failure.startsWith(QStringLiteral("The picture claims 16000 x 16000 "
                                                              "pixels, far more than its ")),
                     qPrintable(result.failure));
        }
    }

    // A picture whose tool would not fit in the memory it may take is refused from its
    // header before the tool starts.
    void pictureTooLargeForTheMemoryIsRefused()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString input = m_pictures.filePath(QStringLiteral("wide.png"));
        QVERIFY(test::writePicture(input, 2000, 1000));
        // Cartoon: about 80 MB and 72 bytes a pixel.
        const struct
        {
            std::uint64_t budget;
            int largestSide;
            QString failure;
        } cases[] = {{100'000'000, 0, "too large for this machine's memory: needs about 0.3 GB"},
                     {230'000'000, 0, {}},
                     {0, 0, {}},
                     // The tool gets a copy of 500 x 250 pixels: about 89 MB.
                     {100'000'000, 500, {}}};
        for (const auto &c : cases) {
            StringToolLog log;
            const QString output = m_pictures.filePath(
                QStringLiteral("wide-%1-%2.png").arg(c.budget).arg(c.largestSide));
            const ConversionResult result =
                convertWithBudget(input, output, log, tool, c.budget, c.largestSide);
            QCOMPARE(result.failure, c.failure);
            QCOMPARE(QFileInfo::exists(output), c.failure.isEmpty());
        }
    }

    // The tool reads the bytes that were checked: a file renamed over the original after the
    // check (here just before the tool reads it) changes nothing.
    void pictureSwappedAfterTheCheckIsNotRead()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(QStringLiteral("photo.png"));
        QVERIFY(test::writePicture(input, 30, 20));
        const QByteArray checked = fileBytes(input);
        const QString swap = folder.filePath(QStringLiteral("swap.svg"));
        QVERIFY(test::writeFile(swap, "<svg xmlns='http://www.w3.org/2000/svg'/>"));
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\nhere=$(dirname \"$0\")\nmv -f '" + QFile::encodeName(swap) +
                     "' '" + QFile::encodeName(input) +
                     "'\ncat -- \"$1\" > \"$here/input-bytes\"\ncp \"$here/picture.png\" \"$5\"\n");
        script.close();
        StringToolLog log;

        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input,
                              folder.filePath(QStringLiteral("out.png")), log, tool.location())
                     .converted(),
                 qPrintable(log.text()));
        QCOMPARE(tool.recordedInputBytes(), checked);
        QVERIFY(fileBytes(input).startsWith("<svg"));
    }

    // A sparse file of a gigabyte with a picture's header is neither read whole nor copied:
    // it fails from its header, and memory stays small.
    void sparseFileIsNotReadWhole()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(QStringLiteral("sparse.jpg"));
        // Everything up to the compressed data, whose header the decoder reads for the size.
        const QByteArray jpeg = encoded("JPEG");
        const qsizetype scan = jpeg.indexOf("\xFF\xDA");
        QVERIFY(test::writeFile(
            input, jpeg.left(scan + 2 + ((uchar(jpeg[scan + 2]) << 8) | uchar(jpeg[scan + 3])))));
        QVERIFY(QFile::resize(input, qint64(kLargestPictureFile)));
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input,
                         folder.filePath(QStringLiteral("out.png")), log, tool.location());

        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(result.failure.startsWith(QStringLiteral("The file is far larger than its "
                                                          "picture: 1073741824 bytes for 20 x 10")),
                 qPrintable(result.failure));
        QVERIFY(tool.recordedArguments().isEmpty());
        // ru_maxrss is in kilobytes; reading the file whole would add a gigabyte.
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 100 * 1024,
                 qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
    }

    // A photo whose orientation tag turns it reaches the tool upright, as viewers show it;
    // without the tag, or with orientation 1, the file itself does.
    void photosReachTheToolUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("copied");
        QTest::newRow("no tag") << 0 << false;
        QTest::newRow("1: as stored") << 1 << false;
        QTest::newRow("3: upside down") << 3 << true;
        QTest::newRow("6: portrait turned clockwise") << 6 << true;
        QTest::newRow("8: portrait turned anticlockwise") << 8 << true;
    }

    void photosReachTheToolUpright()
    {
        QFETCH(int, orientation);
        QFETCH(bool, copied);
        const FakeTool tool(FakeTool::Behaviour::CopyInput);
        QTemporaryDir folder;
        const QString input = folder.filePath(QStringLiteral("portrait.jpg"));
        QVERIFY(test::writeFile(
            input, test::jpegWithOrientation(test::markedPicture(QSize(40, 64)), orientation)));
        const QString output = folder.filePath(QStringLiteral("portrait.bmp"));
        StringToolLog log;

        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location())
                     .converted(),
                 qPrintable(log.text()));

        QCOMPARE(tool.recordedInputBytes() == fileBytes(input), !copied);
        QImageReader reader(output);
        reader.setAutoTransform(false);
        const QImage result = reader.read();
        QCOMPARE(result.size(), QSize(40, 64));
        QVERIFY(test::markIsTopLeft(result));
    }

    // The tool writes one picture per frame of an animation or page of a document, under
    // names of its own: it gets the first frame alone.
    void severalFramesGiveTheFirst_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size");
        QTest::newRow("animated gif")
            << "clip.gif" << test::twoFrameGif(QSize(30, 20)) << QSize(30, 20);
        QTest::newRow("two-page tiff")
            << "scan.tif" << test::twoPageTiff(QSize(30, 20), QSize(12, 16)) << QSize(30, 20);
    }

    void severalFramesGiveTheFirst()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        const FakeTool tool(FakeTool::Behaviour::CopyInput);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        QImageReader original(input);
        QCOMPARE(original.imageCount(), 2);
        const QString output = folder.filePath(QStringLiteral("first.png"));
        StringToolLog log;

        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location())
                     .converted(),
                 qPrintable(log.text()));

        QImageReader result(output);
        QVERIFY(result.imageCount() <= 1);
        QCOMPARE(result.read().size(), size);
    }

    // A temporary folder whose path the tool would misread ("my,tmp" is read as the file "my"
    // with options) is never handed to it: the conversion works below a folder it reads
    // literally, and a file beside the temporary folder stays untouched.
    void scratchPathIsReadLiterally_data()
    {
        QTest::addColumn<QString>("folderName");
        QTest::newRow("comma") << "my,tmp";
        QTest::newRow("dollar") << "my$HOME";
        QTest::newRow("braces") << "my{1+1}";
        QTest::newRow("double quote") << "my\"tmp";
        QTest::newRow("backslash") << "my\\tmp";
        QTest::newRow("tab") << "my\ttmp";
        QTest::newRow("plain") << "my tmp";
    }

    void scratchPathIsReadLiterally()
    {
        QFETCH(QString, folderName);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir root;
        const QString temporary = root.filePath(folderName);
        QVERIFY(QDir().mkpath(temporary));
        const QString marker = root.filePath(QStringLiteral("my"));
        QVERIFY(test::writeFile(marker, "the user's file"));
        const QString input = m_pictures.filePath(QStringLiteral("in.png"));
        const QString output =
            m_pictures.filePath(QStringLiteral("scratch %1.png").arg(QTest::currentDataTag()));
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", temporary.toUtf8());
        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location());
        qputenv("TMPDIR", previous);

        QVERIFY2(result.converted(), qPrintable(log.text()));
        const QStringList arguments = tool.recordedArguments();
        for (const int at : {0, 4}) {
            QVERIFY2(!arguments.at(at).contains(
                         QRegularExpression(QStringLiteral("[,\"{}$\\\\\\x00-\\x1f]"))),
                     qPrintable(arguments.at(at)));
        }
        const bool literal = folderName == QStringLiteral("my tmp");
        QCOMPARE(arguments.at(4).startsWith(temporary + QLatin1Char('/')), literal);
        QFile markerFile(marker);
        QVERIFY(markerFile.open(QIODevice::ReadOnly));
        QCOMPARE(markerFile.readAll(), QByteArray("the user's file"));
        QCOMPARE(
            QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({QStringLiteral("my"), folderName}));
        QVERIFY(QDir(temporary).isEmpty());
    }

    // The tool and the converters it starts write their temporary files (G'MIC a GIF's
    // frames) into the conversion's private folder, which goes with it.
    void temporaryFilesStayInThePrivateFolder()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Append));
        script.write("printf '%s\\n' \"$TMP\" \"$TEMP\" \"$TMPDIR\" \"$MAGICK_TEMPORARY_PATH\" "
                     "\"$MAGICK_TMPDIR\" > \"$here/temporary\"\n");
        script.close();
        StringToolLog log;

        QVERIFY(
            convertImage(QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
                         m_pictures.filePath(QStringLiteral("temporary.png")), log, tool.location())
                .converted());

        const QString privateFolder = QFileInfo(tool.recordedArguments().at(4)).path();
        QFile record(tool.programFolder() + QStringLiteral("/gmic/temporary"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(record.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 QStringList(5, privateFolder));
        QVERIFY(scratchFolders().isEmpty());
    }

    // No shell lies between the program and the tool: every character of a name arrives as
    // part of one argument, and nothing in it is run.
    void namesReachTheToolAsOneArgument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("command substitution") << "$(touch pwned).png";
        QTest::newRow("backquotes") << "`touch pwned`.png";
        QTest::newRow("quotes") << "it's \"quoted\".png";
        QTest::newRow("spaces and percent") << "100 % sure %PATH%.png";
        QTest::newRow("semicolon and ampersand") << "a; touch pwned & b.png";
        QTest::newRow("non-ASCII letters") << "Ünïcödé 東京 ёж.png";
    }

    void namesReachTheToolAsOneArgument()
    {
        QFETCH(QString, name);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writePicture(input, 12, 12));
        const QString output = folder.filePath(QStringLiteral("result.png"));
        StringToolLog log;

        QVERIFY(convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location())
                    .converted());

        const QStringList arguments = tool.recordedArguments();
        QCOMPARE(arguments.size(), 5);
        QCOMPARE(tool.recordedInputBytes(), fileBytes(input));
        QCOMPARE(arguments.at(1), QStringLiteral("cartoon"));
        QVERIFY(log.text().contains(QStringLiteral("\"%1\"").arg(arguments.at(0))));
        for (const QString &where : {folder.path(), tool.programFolder(),
                                     tool.programFolder() + QStringLiteral("/gmic")}) {
            QVERIFY2(!QFileInfo::exists(where + QStringLiteral("/pwned")), qPrintable(where));
        }
        QVERIFY(QFileInfo::exists(output));
    }

    // Another program takes the output name while the tool runs: its file stays as it is,
    // and the conversion says that it failed.
    void outputNameTakenMeanwhile()
    {
        const FakeTool tool(FakeTool::Behaviour::TakeOutputName);
        const QString output = m_pictures.filePath(QStringLiteral("taken meanwhile.jpg"));
        QFile take(tool.programFolder() + QStringLiteral("/gmic/take"));
        QVERIFY(take.open(QIODevice::WriteOnly));
        take.write(output.toUtf8());
        take.close();

        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
                         output, log, tool.location());
        QCOMPARE(result.outcome, ConversionResult::Outcome::Failed);
        QVERIFY2(result.failure.startsWith(QStringLiteral("Unable to save ") + output),
                 qPrintable(result.failure));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("written meanwhile\n"));
        QVERIFY(scratchFolders().isEmpty());
    }

    // Two conversions at once each get their own result.
    void concurrentConversionsKeepTheirResults()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString small = m_pictures.filePath(QStringLiteral("small.png"));
        const QString large = m_pictures.filePath(QStringLiteral("large.png"));
        QVERIFY(test::writePicture(small, 10, 10));
        QVERIFY(test::writePicture(large, 50, 40));
        // A tool that echoes its input makes a mix-up visible.
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\nsleep 0.3\ncp \"$1\" \"$5\"\n");
        script.close();

        StringToolLog firstLog;
        StringToolLog secondLog;
        const QString firstOutput = m_pictures.filePath(QStringLiteral("small-out.bmp"));
        const QString secondOutput = m_pictures.filePath(QStringLiteral("large-out.bmp"));
        ConversionJob first(QStringLiteral("Cartoon"), small, firstOutput, firstLog,
                            tool.location());
        ConversionJob second(QStringLiteral("Cutout"), large, secondOutput, secondLog,
                             tool.location());
        QSignalSpy firstDone(&first, &ConversionJob::finished);
        QSignalSpy secondDone(&second, &ConversionJob::finished);
        first.start();
        second.start();
        QTRY_VERIFY(firstDone.size() == 1 && secondDone.size() == 1);

        QCOMPARE(QImageReader(firstOutput).size(), QSize(10, 10));
        QCOMPARE(QImageReader(secondOutput).size(), QSize(50, 40));
        QVERIFY(firstLog.text().contains(QStringLiteral(" cartoon ")));
        QVERIFY(secondLog.text().contains(QStringLiteral(" fx_cutout ")));
    }

    void aBackgroundRunYieldsTheProcessor_data()
    {
        QTest::addColumn<bool>("background");
        QTest::newRow("normal") << false;
        QTest::newRow("background") << true;
    }

    void aBackgroundRunYieldsTheProcessor()
    {
        QFETCH(bool, background);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString input = m_pictures.filePath(QStringLiteral("nice.png"));
        QVERIFY(test::writePicture(input, 8, 6));
        StringToolLog log;
        ConversionJob job(QStringLiteral("Cartoon"), input,
                          m_pictures.filePath(QStringLiteral("nice-%1.png").arg(background)), log,
                          tool.location());
        if (background) {
            job.setPriority(platform::ToolPriority::Background);
        }
        QSignalSpy finished(&job, &ConversionJob::finished);
        job.start();
        QVERIFY(finished.wait(10000));
        QVERIFY(finished.first().first().value<ConversionResult>().converted());
        const int own = ::getpriority(PRIO_PROCESS, 0);
        QCOMPARE(tool.recordedNiceness(), background ? std::min(own + 10, 19) : own);
    }

    void cancelStopsTheToolAndLeavesNothing()
    {
        const FakeTool tool(FakeTool::Behaviour::Slow);
        const QString output = m_pictures.filePath(QStringLiteral("cancelled.png"));
        StringToolLog log;
        ConversionJob job(QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
                          output, log, tool.location());
        QSignalSpy finished(&job, &ConversionJob::finished);
        job.start();
        const QString pidFile = tool.programFolder() + QStringLiteral("/gmic/pid");
        QTRY_VERIFY(QFileInfo::exists(pidFile) && QFileInfo(pidFile).size() > 0);
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pid = file.readAll().trimmed();

        job.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(finished.first().first().value<ConversionResult>().outcome,
                 ConversionResult::Outcome::Cancelled);
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
        QVERIFY(scratchFolders().isEmpty());
    }
};

INKVALE_TEST_MAIN(ConversionTest)
#include "conversion_test.moc"
