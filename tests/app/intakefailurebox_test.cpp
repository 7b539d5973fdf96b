#include "app/intakefailurebox.h"
#include "imagelist/imagelistmodel.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

using namespace inkvale;
using test::RecordingDialogs;

namespace {

using Failures = QList<ImageIntake::Failure>;

Failures failures(int count)
{
    Failures result;
    for (int i = 1; i <= count; ++i) {
        result.append({QStringLiteral("/p/%1.png").arg(i), QStringLiteral("bad %1").arg(i)});
    }
    return result;
}

// A box that stays open for a while, as a user reads it, running its own event loop.
class SlowDialogs : public RecordingDialogs
{
public:
    std::function<void()> whileOpen;
    int open = 0;
    int mostOpen = 0;

    void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                     const QString &text) override
    {
        RecordingDialogs::showMessage(parent, icon, caption, text);
        mostOpen = std::max(mostOpen, ++open);
        if (whileOpen) {
            std::exchange(whileOpen, {})();
        }
        QEventLoop box;
        QTimer::singleShot(100, &box, &QEventLoop::quit);
        box.exec();
        --open;
    }
};

} // namespace

class IntakeFailureBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void oneBoxForAFolderOfBrokenFiles();
    void failuresWhileABoxIsOpenWaitForTheNextOne();
};

void IntakeFailureBoxTest::text_data()
{
    QTest::addColumn<Failures>("shown");
    QTest::addColumn<qsizetype>("more");
    QTest::addColumn<QString>("text");

    QTest::newRow("one file") << failures(1) << qsizetype(0) << "/p/1.png\r\rbad 1";
    QTest::newRow("two files") << failures(2) << qsizetype(0)
                               << "/p/1.png\rbad 1\r\r/p/2.png\rbad 2";
    QTest::newRow("one more") << failures(5) << qsizetype(1)
                              << "/p/1.png\rbad 1\r\r/p/2.png\rbad 2\r\r/p/3.png\rbad 3\r\r"
                                 "/p/4.png\rbad 4\r\r/p/5.png\rbad 5\r\r"
                                 "1 more file could not be read.";
    QTest::newRow("many more") << failures(1) << qsizetype(99999)
                               << "/p/1.png\rbad 1\r\r99999 more files could not be read.";
    // A path of a megabyte, as a drop can bring one: shortened in the middle.
    const QString huge = QLatin1Char('/') + QString(1 << 20, u'x') + QStringLiteral("/end.png");
    const QString shortened = huge.left(500) + QChar(0x2026) + huge.right(499);
    QTest::newRow("huge path") << Failures{{huge, QStringLiteral("File name too long")}}
                               << qsizetype(0) << shortened + "\r\rFile name too long";
}

void IntakeFailureBoxTest::text()
{
    QFETCH(Failures, shown);
    QFETCH(qsizetype, more);
    QTEST(IntakeFailureBox::text(shown, more), "text");
}

void IntakeFailureBoxTest::oneBoxForAFolderOfBrokenFiles()
{
    QTemporaryDir folder;
    for (int i = 0; i < 100; ++i) {
        QVERIFY(test::writeFile(
            folder.filePath(QStringLiteral("broken%1.png").arg(i, 3, 10, QLatin1Char('0'))),
            "not a picture"));
    }
    ImageListModel model;
    ImageIntake intake(model);
    RecordingDialogs dialogs;
    QWidget window;
    IntakeFailureBox box(dialogs, &window);
    connect(&intake, &ImageIntake::intakeFinished, &box,
            [&box](quint64, int, const Failures &failed) { box.report(failed); });

    intake.addDropped({folder.path()});

    QVERIFY(QTest::qWaitFor([&] { return !intake.isBusy(); }, 60000));
    QTRY_COMPARE(dialogs.messages.size(), 1);
    QTest::qWait(100);
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].caption, QStringLiteral("ERROR"));
    QCOMPARE(dialogs.messages[0].icon, QMessageBox::Critical);
    const QStringList blocks = dialogs.messages[0].text.split(QStringLiteral("\r\r"));
    QCOMPARE(blocks.size(), IntakeFailureBox::kShownFailures + 1);
    QCOMPARE(blocks.first().section(u'\r', 0, 0), folder.filePath(QStringLiteral("broken000.png")));
    QCOMPARE(blocks.last(), QStringLiteral("95 more files could not be read."));
}

void IntakeFailureBoxTest::failuresWhileABoxIsOpenWaitForTheNextOne()
{
    SlowDialogs dialogs;
    QWidget window;
    IntakeFailureBox box(dialogs, &window);
    // Another process keeps handing over pictures that fail while the first box is read.
    dialogs.whileOpen = [&box] {
        for (int i = 0; i < 1000; ++i) {
            box.report({{QStringLiteral("/later/%1.png").arg(i), QStringLiteral("bad")}});
        }
    };

    box.report(failures(2));
    box.report(failures(1));

    QTRY_COMPARE(dialogs.messages.size(), 2);
    QTest::qWait(300);
    QCOMPARE(dialogs.messages.size(), 2);
    QCOMPARE(dialogs.mostOpen, 1);
    // Both reports before the loop ran share the first box; the thousand the second.
    QVERIFY(dialogs.messages[0].text.startsWith(QStringLiteral("/p/1.png\rbad 1\r\r/p/2.png")));
    QVERIFY(!dialogs.messages[0].text.contains(QStringLiteral("more")));
    QVERIFY(dialogs.messages[1].text.endsWith(QStringLiteral("995 more files could not be read.")));
}

INKVALE_GUI_TEST_MAIN(IntakeFailureBoxTest)
#include "intakefailurebox_test.moc"
