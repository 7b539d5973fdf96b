#include "app/mainwindow.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "support/faketool.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <memory>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

using namespace inkvale;
using test::FakeTool;

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// A window over a fake tool in a program folder of its own (so settings.ini starts absent).
struct Window
{
    FakeTool tool{FakeTool::Behaviour::Succeed};
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    MainWindow &open()
    {
        form.reset();
        form = std::make_unique<MainWindow>(
            test::standInEnvironment(tool.programFolder(), dialogs, desktop, false));
        return *form;
    }

    QString settingsPath() const { return tool.programFolder() + QStringLiteral("/settings.ini"); }

    QByteArray settingsText() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(QDir(folder).relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

} // namespace

// The window's choices for photos: shown, stored under keys of their own, and used.
class PhotoChoicesTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultsWithoutSettings()
    {
        Window window;
        const MainWindowUi &ui = window.open().ui();
        QCOMPARE(ui.formatBox->count(), 5);
        QCOMPARE(ui.formatBox->itemText(3), QStringLiteral("WebP"));
        QCOMPARE(ui.formatBox->itemText(4), QStringLiteral("AVIF"));
        QCOMPARE(ui.qualityBox->value(), 90);
        QVERIFY(!ui.keepLocationAction->isChecked());
        QVERIFY(!ui.includeSubfoldersBox->isChecked());
        QCOMPARE(ui.namePatternEdit->text(), QStringLiteral("{name}"));
    }

    // Quality means something for the lossy formats only.
    void qualityFollowsTheFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("PNG") << "PNG" << false;
        QTest::newRow("JPG") << "JPG" << true;
        QTest::newRow("BMP") << "BMP" << false;
        QTest::newRow("WebP") << "WebP" << true;
        QTest::newRow("AVIF") << "AVIF" << true;
    }

    void qualityFollowsTheFormat()
    {
        QFETCH(QString, format);
        QFETCH(bool, enabled);
        Window window;
        const MainWindowUi &ui = window.open().ui();
        ui.formatBox->setCurrentText(format);
        QCOMPARE(ui.qualityBox->isEnabled(), enabled);
    }

    // Each choice goes under a key of its own the moment it changes; the three keys of old
    // and the file's form stay as they were, and the next start shows what was stored.
    void choicesAreStoredAndRestored()
    {
        Window window;
        {
            const MainWindowUi &ui = window.open().ui();
            ui.qualityBox->setValue(75);
            ui.keepLocationAction->trigger();
            ui.includeSubfoldersBox->click();
            ui.namePatternEdit->clear();
            QTest::keyClicks(ui.namePatternEdit, QStringLiteral("{n}-{name}"));
        }
        const QByteArray text = window.settingsText();
        // A start alone writes none of the keys of old, so the new ones come first.
        QVERIFY2(text == kBom + "[Settings]\r\nQuality=75\r\nKeepLocation=ON\r\n"
                                "IncludeSubfolders=ON\r\nNamePattern={n}-{name}\r\n\r\n",
                 text.constData());

        const MainWindowUi &ui = window.open().ui();
        QCOMPARE(ui.qualityBox->value(), 75);
        QVERIFY(ui.keepLocationAction->isChecked());
        QVERIFY(ui.includeSubfoldersBox->isChecked());
        QCOMPARE(ui.namePatternEdit->text(), QStringLiteral("{n}-{name}"));
    }

    // A stored value that cannot be used gives the default.
    void unusableStoredValues()
    {
        Window window;
        QFile file(window.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Settings]\r\nQuality=500\r\nKeepLocation=on\r\nNamePattern=\r\n");
        file.close();
        const MainWindowUi &ui = window.open().ui();
        QCOMPARE(ui.qualityBox->value(), 90);
        QVERIFY(!ui.keepLocationAction->isChecked());
        QCOMPARE(ui.namePatternEdit->text(), QStringLiteral("{name}"));
    }

    // With "Include sub-folders", a dropped folder brings its tree, and the results mirror it
    // under the name pattern.
    void subfoldersMirrorTheTree()
    {
        Window window;
        MainWindow &form = window.open();
        QTemporaryDir root;
        for (const char *name : {"photos/a.png", "photos/2024/June/beach.jpg"}) {
            QDir().mkpath(QFileInfo(root.filePath(name)).path());
            QVERIFY(test::writePicture(root.filePath(name), 8, 6));
        }
        form.ui().includeSubfoldersBox->click();
        form.ui().namePatternEdit->setText(QStringLiteral("{effect} {name}"));
        form.ui().formatBox->setCurrentText(QStringLiteral("WebP"));
        form.intake().addDropped({root.filePath("photos")});
        QVERIFY(QTest::qWaitFor([&] { return !form.intake().isBusy(); }, 20000));
        QCOMPARE(form.listModel().rowCount(), 2);
        form.ui().destinationEdit->setText(root.filePath("out"));

        QSignalSpy finished(&form, &MainWindow::batchFinished);
        form.ui().convertButton->click();
        QVERIFY(finished.wait(60000));

        QCOMPARE(filesBelow(root.filePath("out")),
                 (QStringList{"2024/June/Cartoon beach.webp", "Cartoon a.webp"}));
    }
};

INKVALE_GUI_TEST_MAIN(PhotoChoicesTest)
#include "photochoices_test.moc"
