#include "online/newversionnotice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"
#include "windowkit/makerweb.h"

#include <memory>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

using namespace inkvale;
using test::RecordingDesktop;

namespace {

const QString kDownload = QStringLiteral("https://downloads.example/inkvale-1.2.zip");

// A main window and the notice announcing version 1.2 beside it.
struct Notice
{
    RecordingDesktop desktop;
    QWidget mainWindow;
    std::unique_ptr<NewVersionNotice> window;

    explicit Notice(const QString &downloadUrl = kDownload)
    {
        mainWindow.setWindowTitle(QStringLiteral("main"));
        mainWindow.resize(300, 200);
        window = std::make_unique<NewVersionNotice>(QStringLiteral("1.2"), downloadUrl, desktop,
                                                    &mainWindow);
    }

    // Waits until the notice has shown itself and its grow animation is over.
    bool shown()
    {
        return QTest::qWaitFor([this] { return window->isVisible() && window->mask().isEmpty(); },
                               2000);
    }

    QWidget *control(const QString &name) const
    {
        return name == QStringLiteral("NewVersionNotice") ? window.get()
                                                          : window->findChild<QWidget *>(name);
    }
};

QColor labelColour(const NewVersionNotice &notice)
{
    return notice.linkLabel->palette().color(QPalette::WindowText);
}

} // namespace

class NewVersionNoticeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The offscreen platform draws no masks and raises nothing, and says so at every step.
        static const QtMessageHandler standard = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.contains(QStringLiteral("This plugin does not support")))
                    standard(type, context, message);
            });
    }

    void init()
    {
        AppIdentity identity;
        identity.appProduct = QStringLiteral("Inkvale");
        setAppIdentity(identity);
        closeCountdown = 11;
    }

    void showsInTheTopRightCornerOfThePrimaryScreen()
    {
        Notice notice;
        // The main window elsewhere changes nothing.
        notice.mainWindow.move(900, 600);
        QVERIFY(!notice.window->isVisible());
        QVERIFY(notice.shown());

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(notice.window->size(), QSize(320, 68));
        QCOMPARE(notice.window->pos(),
                 QPoint(screen.x() + screen.width() - 320 - 5, screen.y() + 5));
        QCOMPARE(notice.window->objectName(), QStringLiteral("NewVersionNotice"));
        const Qt::WindowFlags flags = notice.window->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(notice.window->titleLabel->text(), QStringLiteral("UPDATE AVAILABLE"));
        QCOMPARE(notice.window->linkLabel->text(), QStringLiteral("Click to download Inkvale 1.2"));
        QVERIFY(!notice.window->iconImage->pixmap().isNull());
    }

    void mainWindowKeepsTheFocus()
    {
        Notice notice;
        notice.mainWindow.show();
        notice.mainWindow.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&notice.mainWindow));
        QVERIFY(notice.shown());
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &notice.mainWindow);
    }

    void closesByItselfOnTheEleventhTick()
    {
        Notice notice;
        QVERIFY(notice.shown());
        for (int tick = 1; tick <= 10; ++tick) {
            notice.window->countDown();
        }
        QCOMPARE(closeCountdown, 1);
        QTest::qWait(150);
        QVERIFY(notice.window->isVisible());

        notice.window->countDown();
        QVERIFY(!notice.window->closeTimer->isActive());
        // It shrinks away first, then hides.
        QVERIFY(!notice.window->mask().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!notice.window->isVisible(), 2000);
        QVERIFY(notice.window->mask().isEmpty());
    }

    void countdownRunsOnItsTimer()
    {
        Notice notice;
        notice.window->closeTimer->setInterval(5);
        QTRY_VERIFY_WITH_TIMEOUT(closeCountdown == 0 && !notice.window->isVisible(), 5000);
        QVERIFY(!notice.window->closeTimer->isActive());
    }

    void countdownIsNeverReset()
    {
        // A second notice in the same run would only use what is left.
        closeCountdown = 2;
        Notice notice;
        QVERIFY(notice.shown());
        notice.window->countDown();
        QVERIFY(notice.window->isVisible());
        notice.window->countDown();
        QTRY_VERIFY_WITH_TIMEOUT(!notice.window->isVisible(), 2000);
    }

    void linkLightsUpUnderThePointer()
    {
        Notice notice;
        QVERIFY(notice.shown());
        const QColor highlight = QApplication::palette("QMenu").color(QPalette::Highlight);
        const QColor text = QApplication::palette().color(QPalette::WindowText);
        QVERIFY(highlight != text);

        QCursor::setPos(
            notice.window->linkLabel->mapToGlobal(notice.window->linkLabel->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(labelColour(*notice.window), highlight, 1000);
        // The heading is outside the link's rectangle.
        QCursor::setPos(
            notice.window->titleLabel->mapToGlobal(notice.window->titleLabel->rect().center()));
        QTRY_COMPARE_WITH_TIMEOUT(labelColour(*notice.window), text, 1000);
    }

    void dragging_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("moves");

        QTest::newRow("heading, left") << QStringLiteral("titleLabel") << Qt::LeftButton << true;
        QTest::newRow("icon, left") << QStringLiteral("iconImage") << Qt::LeftButton << true;
        QTest::newRow("icon, middle") << QStringLiteral("iconImage") << Qt::MiddleButton << true;
        QTest::newRow("edge panel, left") << QStringLiteral("frame") << Qt::LeftButton << true;
        QTest::newRow("close column, middle")
            << QStringLiteral("closePanel") << Qt::MiddleButton << true;
        QTest::newRow("heading, right") << QStringLiteral("titleLabel") << Qt::RightButton << false;
        QTest::newRow("icon, right") << QStringLiteral("iconImage") << Qt::RightButton << false;
        QTest::newRow("link, left") << QStringLiteral("linkLabel") << Qt::LeftButton << false;
        QTest::newRow("text panel, left") << QStringLiteral("textPanel") << Qt::LeftButton << false;
        QTest::newRow("close button, left")
            << QStringLiteral("closeButton") << Qt::LeftButton << false;
    }

    void dragging()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, moves);

        Notice notice;
        QVERIFY(notice.shown());
        QWidget *pressed = notice.control(control);
        QVERIFY(pressed != nullptr);
        // A point of the control that no child covers.
        const QPoint at = control == QStringLiteral("frame") ? QPoint(1, 1)
                          : control == QStringLiteral("closePanel")
                              ? QPoint(pressed->width() / 2, pressed->height() - 3)
                              : pressed->rect().center();
        const QPoint start = notice.window->pos();

        QTest::mousePress(pressed, button, {}, at);
        QCOMPARE(notice.window->isDragging(), moves);
        QTest::mouseMove(pressed, at + QPoint(40, 25));
        QTest::mouseRelease(pressed, button, {}, at + QPoint(40, 25));

        QCOMPARE(notice.window->pos(), moves ? start + QPoint(40, 25) : start);
        QVERIFY(!notice.window->isDragging());
        QVERIFY(notice.desktop.openedUrls.isEmpty());
        QVERIFY(notice.window->isVisible());
    }

    void clickOnTheLinkOpensTheAddressAndCloses_data()
    {
        QTest::addColumn<QString>("downloadUrl");
        QTest::addColumn<QString>("opened");

        QTest::newRow("download address") << kDownload << kDownload;
        QTest::newRow("no address: the maker's home page")
            << QString() << QStringLiteral("http://") + makerWebHost() + QStringLiteral("/");
    }

    void clickOnTheLinkOpensTheAddressAndCloses()
    {
        QFETCH(QString, downloadUrl);
        QFETCH(QString, opened);

        Notice notice(downloadUrl);
        QVERIFY(notice.shown());
        QPointer<NewVersionNotice> window = notice.window.get();
        // Another button on the link does nothing.
        QTest::mouseClick(notice.window->linkLabel, Qt::RightButton);
        QVERIFY(notice.desktop.openedUrls.isEmpty());
        QVERIFY(notice.window->isVisible());

        QTest::mouseClick(notice.window->linkLabel, Qt::LeftButton);
        QCOMPARE(notice.desktop.openedUrls, QList<QUrl>{QUrl(opened)});
        QVERIFY(!notice.window->isVisible());
        // Closing hides it: it lives on until the program ends.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window.isNull());
    }

    void closeButtonHidesIt()
    {
        Notice notice;
        QVERIFY(notice.shown());
        QTest::mouseClick(notice.window->closeButton, Qt::LeftButton);
        QVERIFY(!notice.window->isVisible());
        QVERIFY(notice.desktop.openedUrls.isEmpty());
        // It can be shown again, the timers go on.
        QVERIFY(notice.window->linkTimer->isActive());
    }
};

INKVALE_GUI_TEST_MAIN(NewVersionNoticeTest)
#include "newversionnotice_test.moc"
