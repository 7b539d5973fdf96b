#include "app/appsettings.h"
#include "app/settingsdocument.h"
#include "app/settingserror.h"
#include "support/testenvironment.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace inkvale;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The save error's text for `path`, up to the system's reason.
QString cannotCreatePrefix(const QString &path)
{
    return QStringLiteral("Cannot create file \"%1\". ")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

// Makes `path` read-only; false when that does not stop this user from writing (root).
bool makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    if (QFileInfo(path).isFile()) {
        return !QFileInfo(path).isWritable();
    }
    QFile probe(path + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

void makeWritable(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
}

} // namespace

// Ways for a save to fail, each with its undoing.
enum class SaveObstacle { FileIsFolder, MissingFolder, ReadOnlyFolder, ReadOnlyFile };
Q_DECLARE_METATYPE(SaveObstacle)

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // A document loaded from a file holding `content`.
    SettingsDocument loaded(const QByteArray &content)
    {
        const QString file = path(QStringLiteral("settings.ini"));
        if (!writeBytes(file, content)) {
            qFatal("cannot write the fixture");
        }
        SettingsDocument document(file);
        document.load();
        return document;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // --- The document ------------------------------------------------------------------------

    void savedAsRead_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("saved"); // after the byte order mark

        QTest::newRow("BOM, CR LF") << kBom + "[Settings]\r\nFormat=JPG\r\n\r\n"
                                    << QByteArray("[Settings]\r\nFormat=JPG\r\n\r\n");
        QTest::newRow("no BOM, LF, no final line end")
            << QByteArray("[Settings]\nFormat=JPG\nShowPreview=ON")
            << QByteArray("[Settings]\r\nFormat=JPG\r\nShowPreview=ON\r\n\r\n");
        QTest::newRow("comments and empty lines dropped")
            << QByteArray("; written by hand\r\n[Settings]\r\n\r\n  ; indented\r\nFormat=BMP\r\n"
                          ";Format=JPG\r\n   \r\n")
            << QByteArray("[Settings]\r\nFormat=BMP\r\n\r\n");
        QTest::newRow("other sections and keys kept in order")
            << QByteArray("[Window]\nTop=20\nLeft=10\n[Settings]\nShowPreview=OFF\nDestination="
                          "/out\nExtra=1\n[Zeta]\nA=\n")
            << QByteArray("[Window]\r\nTop=20\r\nLeft=10\r\n\r\n[Settings]\r\nShowPreview=OFF\r\n"
                          "Destination=/out\r\nExtra=1\r\n\r\n[Zeta]\r\nA=\r\n\r\n");
        QTest::newRow("blanks around = and names dropped")
            << QByteArray("  [ Settings ]  \n\tDestination  =  /home/u/My Pictures  \n")
            << QByteArray("[Settings]\r\nDestination=/home/u/My Pictures\r\n\r\n");
        QTest::newRow("key without = written back unchanged")
            << QByteArray("[Settings]\n  Just some words  \nFormat=JPG\n[Settings\n")
            << QByteArray("[Settings]\r\nJust some words\r\nFormat=JPG\r\n[Settings\r\n\r\n");
        QTest::newRow("lines before the first section ignored")
            << QByteArray("Format=JPG\nloose words\n[Settings]\nFormat=BMP\n")
            << QByteArray("[Settings]\r\nFormat=BMP\r\n\r\n");
        QTest::newRow("names repeated in another case merge at their first place")
            << QByteArray("[Settings]\nFormat=JPG\nDestination=/a\n[Other]\nX=1\n[settings]\n"
                          "FORMAT=BMP\n")
            << QByteArray(
                   "[Settings]\r\nFormat=BMP\r\nDestination=/a\r\n\r\n[Other]\r\nX=1\r\n\r\n");
        QTest::newRow("non-ASCII bytes kept")
            << QByteArray("[Settings]\r\nDestination=/home/J\xC3\xBC"
                          "rgen/\xE5\x9B\xBE\xE7\x89\x87\r\n")
            << QByteArray("[Settings]\r\nDestination=/home/J\xC3\xBC"
                          "rgen/\xE5\x9B\xBE\xE7\x89\x87\r\n\r\n");
        QTest::newRow("non-ASCII names merge in another case; \"ß\" and \"SS\" stay apart")
            << QString::fromUtf8("[Größe]\n\u00C4rger=1\nstraße=a\nSTRASSE=b\n[GRÖSSE]\nX=1\n"
                                 "[GRÖßE]\n\u00E4RGER=2\n\U00010428=c\n\U00010400=d\n")
                   .toUtf8()
            << QString::fromUtf8("[Größe]\r\n\u00C4rger=2\r\nstraße=a\r\nSTRASSE=b\r\n"
                                 "\U00010428=d\r\n\r\n[GRÖSSE]\r\nX=1\r\n\r\n")
                   .toUtf8();
        // Many keys, each given twice in another case: one line each, in first order, with
        // the later value.
        QByteArray manyKeys("[Settings]\n");
        QByteArray manyKeysSaved("[Settings]\r\n");
        for (int i = 0; i < 20000; ++i) {
            manyKeys += "Key" + QByteArray::number(i) + "=first\n";
            manyKeysSaved += "Key" + QByteArray::number(i) + "=second\r\n";
        }
        for (int i = 0; i < 20000; ++i) {
            manyKeys += "KEY" + QByteArray::number(i) + "=second\n";
        }
        QTest::newRow("many keys given twice") << manyKeys << manyKeysSaved + "\r\n";
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("only a BOM") << kBom << QByteArray();
    }

    void savedAsRead()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, saved);
        const SettingsDocument document = loaded(input);
        document.save();
        QCOMPARE(readBytes(document.filePath()), kBom + saved);
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "<default>" when the default comes back

        const QByteArray settings = kBom + "[Settings]\r\nFormat=JPG\r\nDestination=\r\n"
                                           "Url = a=b \r\nLoose words\r\n";
        QTest::newRow("exact names") << settings << "Settings"
                                     << "Format"
                                     << "JPG";
        QTest::newRow("names in other case") << settings << "settings"
                                             << "FORMAT"
                                             << "JPG";
        QTest::newRow("empty value is no default") << settings << "Settings"
                                                   << "Destination"
                                                   << "";
        QTest::newRow("value up from the first =") << settings << "Settings"
                                                   << "Url"
                                                   << "a=b";
        QTest::newRow("key without =") << settings << "Settings"
                                       << "Loose words"
                                       << "<default>";
        QTest::newRow("missing key") << settings << "Settings"
                                     << "ShowPreview"
                                     << "<default>";
        QTest::newRow("missing section") << settings << "Other"
                                         << "Format"
                                         << "<default>";
        QTest::newRow("before the first section")
            << QByteArray("Format=JPG\n[Settings]\n") << "Settings"
            << "Format"
            << "<default>";
        QTest::newRow("a letter outside the basic plane in another case")
            << QString::fromUtf8("[Settings]\n\U00010400=deseret\n").toUtf8() << "Settings"
            << QString::fromUtf8("\U00010428") << "deseret";
        QTest::newRow("a later value of a repeated key")
            << QByteArray("[Settings]\nFormat=JPG\nformat=BMP\n") << "Settings"
            << "Format"
            << "BMP";
    }

    void reading()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QCOMPARE(loaded(input).readString(section, key, QStringLiteral("<default>")), value);
    }

    void writing_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("key"); // in section "Settings"
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("saved"); // after the byte order mark

        QTest::newRow("into an empty file")
            << QByteArray() << "Destination"
            << "/home/u/Desktop" << QByteArray("[Settings]\r\nDestination=/home/u/Desktop\r\n\r\n");
        QTest::newRow("new key at the end of its section")
            << QByteArray("[Settings]\nFormat=JPG\n[Other]\nA=1\n") << "ShowPreview"
            << "ON"
            << QByteArray(
                   "[Settings]\r\nFormat=JPG\r\nShowPreview=ON\r\n\r\n[Other]\r\nA=1\r\n\r\n");
        QTest::newRow("first-seen spelling kept")
            << QByteArray("[settings]\nFORMAT=JPG\nDestination=/a\n") << "Format"
            << "BMP" << QByteArray("[settings]\r\nFORMAT=BMP\r\nDestination=/a\r\n\r\n");
        QTest::newRow("a key without = gets its value")
            << QByteArray("[Settings]\nFormat\nDestination=/a\n") << "Format"
            << "PNG" << QByteArray("[Settings]\r\nFormat=PNG\r\nDestination=/a\r\n\r\n");
        QTest::newRow("new section after the others")
            << QByteArray("[Other]\nA=1\n") << "Format"
            << "JPG" << QByteArray("[Other]\r\nA=1\r\n\r\n[Settings]\r\nFormat=JPG\r\n\r\n");
    }

    void writing()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, saved);
        SettingsDocument document = loaded(input);
        document.writeString(QStringLiteral("Settings"), key, value);
        QCOMPARE(document.readString(QStringLiteral("SETTINGS"), key.toLower(), QString()), value);
        document.save();
        QCOMPARE(readBytes(document.filePath()), kBom + saved);
    }

    void missingFileLoadsEmpty()
    {
        SettingsDocument document(path(QStringLiteral("settings.ini")));
        document.writeString(QStringLiteral("Settings"), QStringLiteral("Format"),
                             QStringLiteral("JPG"));
        document.load();
        QCOMPARE(document.readString(QStringLiteral("Settings"), QStringLiteral("Format"),
                                     QStringLiteral("none")),
                 QStringLiteral("none"));
        QVERIFY(!QFileInfo::exists(document.filePath()));
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: settings.ini is a folder
        QTest::addColumn<QString>("reason");

        const QString notUtf8 = QStringLiteral("It is not valid UTF-8");
        QTest::newRow("stray byte") << QByteArray("[Settings]\r\nFormat=J\xFFPG\r\n") << notUtf8;
        QTest::newRow("cut-off sequence at the end")
            << QByteArray("[Settings]\r\nDestination=/J\xC3") << notUtf8;
        QTest::newRow("overlong form")
            << QByteArray("[Settings]\r\nDestination=\xC0\xAF") << notUtf8;
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0S\0]\0", 8) << notUtf8;
        QTest::newRow("a folder") << QByteArray() << QString();
    }

    void unreadableFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString file = path(QStringLiteral("settings.ini"));
        if (content.isNull()) {
            QVERIFY(QDir().mkdir(file));
        } else {
            QVERIFY(writeBytes(file, content));
        }
        SettingsDocument document(file);
        document.writeString(QStringLiteral("Settings"), QStringLiteral("Format"),
                             QStringLiteral("kept"));
        try {
            document.load();
            QFAIL("load should fail");
        } catch (const SettingsError &error) {
            const QString message = error.message();
            QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
            QVERIFY2(message.endsWith(reason), qPrintable(message));
        }
        QCOMPARE(
            document.readString(QStringLiteral("Settings"), QStringLiteral("Format"), QString()),
            QStringLiteral("kept"));
    }

    void failedSave_data()
    {
        QTest::addColumn<SaveObstacle>("obstacle");
        QTest::newRow("settings.ini is a folder") << SaveObstacle::FileIsFolder;
        QTest::newRow("folder missing") << SaveObstacle::MissingFolder;
        QTest::newRow("read-only folder") << SaveObstacle::ReadOnlyFolder;
        QTest::newRow("read-only file") << SaveObstacle::ReadOnlyFile;
    }

    void failedSave()
    {
        QFETCH(SaveObstacle, obstacle);
        const QString folder = path(QStringLiteral("folder"));
        const QString file = folder + QStringLiteral("/settings.ini");
        const QByteArray before = kBom + "[Settings]\r\nFormat=BMP\r\n\r\n";
        if (obstacle != SaveObstacle::MissingFolder) {
            QVERIFY(QDir().mkdir(folder));
        }
        if (obstacle == SaveObstacle::ReadOnlyFile || obstacle == SaveObstacle::ReadOnlyFolder) {
            QVERIFY(writeBytes(file, before));
        }
        SettingsDocument document(file);
        document.load();
        switch (obstacle) {
        case SaveObstacle::FileIsFolder:
            QVERIFY(QDir().mkdir(file));
            break;
        case SaveObstacle::MissingFolder:
            break;
        case SaveObstacle::ReadOnlyFolder:
            if (!makeReadOnly(folder)) {
                makeWritable(folder);
                QSKIP("a read-only folder does not stop this user");
            }
            break;
        case SaveObstacle::ReadOnlyFile:
            if (!makeReadOnly(file)) {
                QSKIP("a read-only file does not stop this user");
            }
            break;
        }

        document.writeString(QStringLiteral("Settings"), QStringLiteral("Format"),
                             QStringLiteral("JPG"));
        QString message;
        try {
            document.save();
        } catch (const SettingsError &error) {
            message = error.message();
        }
        // Undone before any check can end the test, so that the folder can be removed.
        if (obstacle == SaveObstacle::ReadOnlyFolder) {
            makeWritable(folder);
        }
        QVERIFY2(message.startsWith(cannotCreatePrefix(file)), qPrintable(message));
        const QString reason = message.mid(cannotCreatePrefix(file).size());
        QVERIFY2(!reason.isEmpty() && !reason.contains(file), qPrintable(message));
        QCOMPARE(
            document.readString(QStringLiteral("Settings"), QStringLiteral("Format"), QString()),
            QStringLiteral("JPG"));
        if (QFileInfo(file).isFile()) {
            QCOMPARE(readBytes(file), before);
        }

        // With the obstacle gone, the next save writes the value kept in memory.
        switch (obstacle) {
        case SaveObstacle::FileIsFolder:
            QVERIFY(QDir().rmdir(file));
            break;
        case SaveObstacle::MissingFolder:
            QVERIFY(QDir().mkdir(folder));
            break;
        case SaveObstacle::ReadOnlyFolder:
            break;
        case SaveObstacle::ReadOnlyFile:
            makeWritable(file);
            break;
        }
        document.save();
        QCOMPARE(readBytes(file), kBom + "[Settings]\r\nFormat=JPG\r\n\r\n");
    }

    // --- Where the file lives and the program's choices -----------------------------------

    void chooseFolder_data()
    {
        QTest::addColumn<bool>("programFolderExists");
        QTest::addColumn<QString>("marker");   // what portable.txt is: "", "file" or "folder"
        QTest::addColumn<QByteArray>("probe"); // null: no chk.tmp in the program folder
        QTest::addColumn<bool>("configRootExists");
        QTest::addColumn<QString>("expected"); // "program" or "config"

        QTest::newRow("portable, writable") << true << "file" << QByteArray() << true << "program";
        // As a package installs it: a program run by root writes nothing beside itself.
        QTest::newRow("writable, not portable") << true << "" << QByteArray() << true << "config";
        QTest::newRow("marker is a folder") << true << "folder" << QByteArray() << true << "config";
        QTest::newRow("portable, chk.tmp present")
            << true << "file" << QByteArray("not ours") << true << "config";
        QTest::newRow("program folder missing") << false << "" << QByteArray() << true << "config";
        // A fresh account without its configuration folder gets one.
        QTest::newRow("config root missing") << false << "" << QByteArray() << false << "config";
    }

    void chooseFolder()
    {
        QFETCH(bool, programFolderExists);
        QFETCH(QString, marker);
        QFETCH(QByteArray, probe);
        QFETCH(bool, configRootExists);
        QFETCH(QString, expected);
        const QString program = path(QStringLiteral("program"));
        const QString configRoot = path(QStringLiteral("config"));
        const QString markerPath = program + u'/' + AppSettings::portableMarker();
        if (programFolderExists) {
            QVERIFY(QDir().mkdir(program));
        }
        if (marker == QLatin1String("file")) {
            QVERIFY(writeBytes(markerPath, QByteArray()));
        } else if (marker == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(markerPath));
        }
        if (!probe.isNull()) {
            QVERIFY(writeBytes(program + QStringLiteral("/chk.tmp"), probe));
        }
        if (configRootExists) {
            QVERIFY(QDir().mkdir(configRoot));
        }

        const QString chosen = AppSettings::chooseFolder(
            program, configRoot, QStringLiteral("TAVRINO"), QStringLiteral("Inkvale"));

        const QString perUser = configRoot + QStringLiteral("/TAVRINO/Inkvale/");
        if (expected == QLatin1String("program")) {
            QCOMPARE(chosen, program + u'/');
            QVERIFY(!QFileInfo::exists(configRoot + QStringLiteral("/TAVRINO")));
            QCOMPARE(
                QDir(program).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                QStringList{AppSettings::portableMarker()});
            // A trailing slash is not doubled.
            QCOMPARE(AppSettings::chooseFolder(chosen, configRoot, QStringLiteral("TAVRINO"),
                                               QStringLiteral("Inkvale")),
                     chosen);
        } else {
            QCOMPARE(chosen, perUser);
            QVERIFY(QFileInfo(perUser).isDir());
            QVERIFY(!QFileInfo::exists(program + QStringLiteral("/settings.ini")));
        }
        if (!probe.isNull()) {
            QCOMPARE(readBytes(program + QStringLiteral("/chk.tmp")), probe);
        }
    }

    void startupValues_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no settings.ini
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("preview");

        QTest::newRow("no file") << QByteArray() << ""
                                 << "PNG" << false;
        QTest::newRow("all three")
            << kBom + "[Settings]\r\nDestination=/home/u/Out\r\nFormat=JPG\r\nShowPreview=ON\r\n"
            << "/home/u/Out"
            << "JPG" << true;
        // The window compares the format exactly and keeps "PNG" for this one.
        QTest::newRow("format in lower case") << QByteArray("[Settings]\r\nFormat=jpg\r\n") << ""
                                              << "jpg" << false;
        QTest::newRow("preview in lower case")
            << QByteArray("[Settings]\r\nShowPreview=on\r\n") << ""
            << "PNG" << false;
        QTest::newRow("preview off") << QByteArray("[Settings]\r\nShowPreview=OFF\r\n") << ""
                                     << "PNG" << false;
        QTest::newRow("names in other case")
            << QByteArray("[SETTINGS]\r\nformat=BMP\r\nshowpreview=ON\r\n") << ""
            << "BMP" << true;
        QTest::newRow("another section only") << QByteArray("[Window]\r\nFormat=JPG\r\n") << ""
                                              << "PNG" << false;
    }

    void startupValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, destination);
        QFETCH(QString, format);
        QFETCH(bool, preview);
        if (!content.isNull()) {
            QVERIFY(writeBytes(path(QStringLiteral("settings.ini")), content));
        }
        const AppSettings settings(m_dir->path());
        QCOMPARE(settings.folder(), m_dir->path() + u'/');
        QCOMPARE(settings.filePath(), m_dir->path() + QStringLiteral("/settings.ini"));
        QCOMPARE(settings.destination(), destination);
        QCOMPARE(settings.format(), format);
        QCOMPARE(settings.showPreview(), preview);
        // Reading alone writes nothing.
        QCOMPARE(QFileInfo::exists(settings.filePath()), !content.isNull());
    }

    void damagedFileIsDeletedAndDefaultsApply()
    {
        const QString file = path(QStringLiteral("settings.ini"));
        QVERIFY(writeBytes(file, "[Settings]\r\nFormat=JPG\r\nShowPreview=ON\r\nbad\xFE\r\n"));
        AppSettings settings(m_dir->path());
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(settings.format(), QStringLiteral("PNG"));
        QCOMPARE(settings.showPreview(), false);
        settings.setFormat(QStringLiteral("BMP"));
        QCOMPARE(readBytes(file), kBom + "[Settings]\r\nFormat=BMP\r\n\r\n");
    }

    void undeletableDamagedFileThrows()
    {
        // A folder in the file's place can be neither read nor deleted.
        QVERIFY(QDir().mkpath(path(QStringLiteral("settings.ini/inside"))));
        QVERIFY_THROWS_EXCEPTION(SettingsError, AppSettings(m_dir->path()));
    }

    void settersSaveAtOnce()
    {
        const QString destination = QStringLiteral("/home/J\u00fcrgen/My Out");
        const QByteArray settingsLine =
            "[Settings]\r\nDestination=" + destination.toUtf8() + "\r\n";
        AppSettings settings(m_dir->path());

        settings.setDestination(destination);
        QCOMPARE(readBytes(settings.filePath()), kBom + settingsLine + "\r\n");
        settings.setFormat(QStringLiteral("JPG"));
        QCOMPARE(readBytes(settings.filePath()), kBom + settingsLine + "Format=JPG\r\n\r\n");
        settings.setShowPreview(true);
        QCOMPARE(readBytes(settings.filePath()),
                 kBom + settingsLine + "Format=JPG\r\nShowPreview=ON\r\n\r\n");
        settings.setShowPreview(false);
        QCOMPARE(readBytes(settings.filePath()),
                 kBom + settingsLine + "Format=JPG\r\nShowPreview=OFF\r\n\r\n");

        const AppSettings reopened(m_dir->path());
        QCOMPARE(reopened.destination(), destination);
        QCOMPARE(reopened.format(), QStringLiteral("JPG"));
        QCOMPARE(reopened.showPreview(), false);
    }

    // Each in a key of its own; the others stay as they were.
    void conversionChoices_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("scale"); // EffectScale
        QTest::addColumn<int>("largestSide");
        QTest::newRow("not stored")
            << QByteArray("[Settings]\r\nFormat=JPG\r\n") << int(EffectScale::Fit) << 0;
        QTest::newRow("exact, 2048")
            << QByteArray("[Settings]\r\nEffectScale=exact\r\nLargestSide=2048\r\n")
            << int(EffectScale::Exact) << 2048;
        QTest::newRow("any case") << QByteArray("[Settings]\r\neffectscale=EXACT\r\n")
                                  << int(EffectScale::Exact) << 0;
        QTest::newRow("unusable values")
            << QByteArray("[Settings]\r\nEffectScale=tiny\r\nLargestSide=-5\r\n")
            << int(EffectScale::Fit) << 0;
        QTest::newRow("not a number")
            << QByteArray("[Settings]\r\nLargestSide=big\r\n") << int(EffectScale::Fit) << 0;
    }

    void conversionChoices()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, scale);
        QFETCH(int, largestSide);
        const QString file = path(QStringLiteral("settings.ini"));
        QVERIFY(writeBytes(file, content + "[Other]\r\nA=1\r\n"));
        AppSettings settings(m_dir->path());
        QCOMPARE(int(settings.effectScale()), scale);
        QCOMPARE(settings.largestSide(), largestSide);

        settings.setEffectScale(EffectScale::Exact);
        settings.setLargestSide(1024);
        const QString written = QString::fromUtf8(readBytes(file));
        QVERIFY2(written.contains(QRegularExpression(QStringLiteral("(?i)EffectScale=exact\r\n"))),
                 qPrintable(written));
        QVERIFY2(written.contains(QRegularExpression(QStringLiteral("(?i)LargestSide=1024\r\n"))),
                 qPrintable(written));
        QVERIFY(written.contains(QStringLiteral("[Other]\r\nA=1\r\n")));
        if (content.contains("Format=JPG")) {
            QVERIFY(written.contains(QStringLiteral("Format=JPG\r\n")));
        }
        const AppSettings reopened(m_dir->path());
        QCOMPARE(reopened.effectScale(), EffectScale::Exact);
        QCOMPARE(reopened.largestSide(), 1024);
    }

    void failedSetterKeepsTheValue()
    {
        const QString folder = path(QStringLiteral("not yet"));
        AppSettings settings(folder);
        try {
            settings.setFormat(QStringLiteral("BMP"));
            QFAIL("saving should fail");
        } catch (const SettingsError &error) {
            QVERIFY2(error.message().startsWith(cannotCreatePrefix(settings.filePath())),
                     error.what());
        }
        QCOMPARE(settings.format(), QStringLiteral("BMP"));

        QVERIFY(QDir().mkdir(folder));
        settings.setShowPreview(true);
        QCOMPARE(readBytes(settings.filePath()),
                 kBom + "[Settings]\r\nFormat=BMP\r\nShowPreview=ON\r\n\r\n");
    }

    void removeFile()
    {
        AppSettings settings(m_dir->path());
        settings.setFormat(QStringLiteral("JPG"));
        QVERIFY(settings.removeFile());
        QVERIFY(!QFileInfo::exists(settings.filePath()));
        QVERIFY(settings.removeFile()); // nothing left to delete

        QVERIFY(QDir().mkpath(settings.filePath() + QStringLiteral("/inside")));
        QVERIFY(!settings.removeFile());
    }
};

INKVALE_TEST_MAIN(SettingsTest)
#include "settings_test.moc"
