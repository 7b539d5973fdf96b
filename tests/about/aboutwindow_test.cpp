#include "about/aboutwindow.h"
#include "app/mainwindow.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"
#include "windowkit/artwork.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

using namespace inkvale;
using test::RecordingDesktop;
using test::RecordingDialogs;

namespace {

const QString kHost = QStringLiteral("www.maker.test");

// An about window with stand-ins, its own program folder and a clock the test moves.
struct AboutFixture
{
    QTemporaryDir folder;
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    quint32 now = 5000;
    QPointer<AboutWindow> box;

    AboutFixture()
    {
        setAppIdentity({QStringLiteral("TAVRINO"), QStringLiteral("Inkvale"),
                        QStringLiteral("TAVRINO - Inkvale"), QStringLiteral("1.1")});
        AboutWindow::Environment environment;
        environment.programFolder = folder.path();
        environment.dialogs = &dialogs;
        environment.desktop = &desktop;
        environment.webHost = kHost;
        environment.rainSeed = 11;
        environment.tickCount = [this] {
            return now;
        };
        box = new AboutWindow(environment);
    }
    ~AboutFixture() { delete box; }

    const AboutWindowUi &ui() const { return box->ui(); }

    bool show()
    {
        box->show();
        return QTest::qWaitForWindowExposed(box);
    }
};

QImage blackImage(const QSize &size, QImage::Format format)
{
    QImage image(size, format);
    image.fill(Qt::black);
    return image;
}

} // namespace

class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void controlsAndTexts()
    {
        AboutFixture about;
        const AboutWindowUi &ui = about.ui();
        QCOMPARE(about.box->windowTitle(), QStringLiteral("About Inkvale"));
        QCOMPARE(about.box->size(), QSize(446, 374));
        QCOMPARE(about.box->minimumSize(), about.box->maximumSize());
        QVERIFY(about.box->isModal());
        QVERIFY(about.box->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(ui.productLabel->text(), QStringLiteral("Inkvale 1.1"));
        QCOMPARE(ui.okButton->text(), QStringLiteral("OK"));
        QCOMPARE(ui.infoButton->text(), QStringLiteral("&Info"));
        QCOMPARE(ui.acknowledgementsAction->text(), QStringLiteral("Acknowledgements..."));
        QCOMPARE(ui.uninstallAction->text(), QStringLiteral("How to uninstall..."));
        QCOMPARE(ui.licenseAction->text(), QStringLiteral("License..."));
        QCOMPARE(ui.infoMenu->actions(), (QList<QAction *>{ui.acknowledgementsAction,
                                                           ui.uninstallAction, ui.licenseAction}));
        QCOMPARE(ui.webLink->text(), kHost);
        QCOMPARE(ui.webLink->toolTip(), QStringLiteral("http://www.maker.test/"));
        QCOMPARE(ui.infoPanel->geometry(), QRect(48, 42, 350, 291));
        // Hidden and centred below the panel.
        QCOMPARE(ui.hiddenPanel->geometry(), QRect(61, 77, 324, 220));
        QVERIFY(ui.hiddenPanel->isHidden());
        QVERIFY(about.box->children().indexOf(ui.hiddenPanel) <
                about.box->children().indexOf(ui.infoPanel));
        QVERIFY(ui.rainTimer->isActive());
        QCOMPARE(ui.rainTimer->interval(), 50);
        QVERIFY(!ui.slideTimer->isActive());
        QCOMPARE(ui.slideTimer->interval(), 5);
        // The grid measured as the rain started.
        QCOMPARE(about.box->rain().matrixWidth(), 55);
        QCOMPARE(about.box->rain().matrixHeight(), 31);

        QVERIFY(about.show());
        QCOMPARE(QApplication::focusWidget(), ui.okButton);
        // Tab goes on to "Info", then to the web address.
        QTest::keyClick(ui.okButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ui.infoButton);
        QTest::keyClick(ui.infoButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ui.webLink);
    }

    void links_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("address");
        QTest::newRow("Acknowledgements") << QStringLiteral("acknowledgementsAction")
                                          << QStringLiteral("https://www.maker.test/blog/"
                                                            "credits-and-acknowledgements/");
        QTest::newRow("How to uninstall") << QStringLiteral("uninstallAction")
                                          << QStringLiteral("http://www.maker.test/blog/"
                                                            "how-to-uninstall-tavrino-software/");
        QTest::newRow("link label")
            << QStringLiteral("webLink") << QStringLiteral("http://www.maker.test/");
        QTest::newRow("link label, Return")
            << QStringLiteral("webLink/Return") << QStringLiteral("http://www.maker.test/");
        QTest::newRow("link label, Space")
            << QStringLiteral("webLink/Space") << QStringLiteral("http://www.maker.test/");
    }

    void links()
    {
        QFETCH(QString, control);
        QFETCH(QString, address);
        AboutFixture about;
        QVERIFY(about.show());
        if (auto *action = about.box->findChild<QAction *>(control)) {
            action->trigger();
        } else {
            const QStringList parts = control.split(QLatin1Char('/'));
            auto *label = about.box->findChild<QLabel *>(parts.first());
            QVERIFY(label);
            if (parts.size() == 1) {
                QTest::mouseClick(label, Qt::LeftButton);
            } else {
                label->setFocus();
                QTest::keyClick(label, parts.last() == QStringLiteral("Space") ? Qt::Key_Space
                                                                               : Qt::Key_Return);
            }
        }
        QCOMPARE(about.desktop.openedUrls, QList<QUrl>{QUrl(address)});
        QVERIFY(about.box->isVisible());
        QVERIFY(about.dialogs.messages.isEmpty());
    }

    void license_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("beside the program") << QStringLiteral("file");
        QTest::newRow("missing") << QStringLiteral("none");
        QTest::newRow("a folder of that name") << QStringLiteral("folder");
    }

    void license()
    {
        QFETCH(QString, kind);
        AboutFixture about;
        const QString path = QDir(about.folder.path()).filePath(QStringLiteral("license.txt"));
        if (kind == QLatin1String("file")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        }
        QVERIFY(about.show());
        about.ui().licenseAction->trigger();
        QVERIFY(about.box->isVisible());
        if (kind == QLatin1String("file")) {
            QCOMPARE(about.desktop.openedUrls, QList<QUrl>{QUrl::fromLocalFile(path)});
            QVERIFY(about.dialogs.messages.isEmpty());
            return;
        }
        QVERIFY(about.desktop.openedUrls.isEmpty());
        QCOMPARE(about.dialogs.messages.size(), 1);
        const RecordingDialogs::Message message = about.dialogs.messages.first();
        QCOMPARE(message.icon, QMessageBox::Critical);
        QCOMPARE(message.caption, QStringLiteral("License"));
        QCOMPARE(message.text, QStringLiteral("File not found!"));
    }

    void infoDropDown()
    {
        AboutFixture about;
        const AboutWindowUi &ui = about.ui();
        QVERIFY(about.show());
        QTest::mouseClick(ui.infoButton, Qt::LeftButton);
        QTRY_VERIFY(ui.infoMenu->isVisible());
        QCOMPARE(ui.infoMenu->pos(),
                 ui.infoButton->mapToGlobal(QPoint(0, ui.infoButton->height())));
        // The click that closes the menu reaches the button too: it must not reopen.
        ui.infoMenu->hide();
        about.now += 99;
        about.box->showInfoMenu();
        QVERIFY(!ui.infoMenu->isVisible());
        // The refused click forgot the closing, so the next click opens at once.
        about.box->showInfoMenu();
        QTRY_VERIFY(ui.infoMenu->isVisible());
        ui.infoMenu->hide();
        about.now += 100;
        about.box->showInfoMenu();
        QTRY_VERIFY(ui.infoMenu->isVisible());
        ui.infoMenu->hide();
    }

    void hiddenPicture()
    {
        AboutFixture about;
        const AboutWindowUi &ui = about.ui();
        QVERIFY(about.show());
        // Out while hidden: nothing to put back.
        QTest::mouseDClick(ui.hiddenPicture, Qt::LeftButton);
        QCOMPARE(ui.infoPanel->x(), 48);

        QTest::mouseDClick(ui.iconImage, Qt::LeftButton);
        QVERIFY(ui.hiddenPanel->isVisible());
        QVERIFY(ui.slideTimer->isActive());
        QTRY_VERIFY(ui.infoPanel->x() > 48);
        // During the slide, double-clicks on the icon or the picture change nothing.
        const int x = ui.infoPanel->x();
        about.box->hideHiddenPicture();
        QVERIFY(ui.hiddenPanel->isVisible());
        QVERIFY(ui.infoPanel->x() >= x);
        about.box->showHiddenPicture();
        QVERIFY(ui.slideTimer->isActive());

        QTRY_VERIFY_WITH_TIMEOUT(!ui.slideTimer->isActive(), 10000);
        QVERIFY(ui.infoPanel->x() > about.box->width());
        QVERIFY(ui.infoPanel->x() <= about.box->width() + 5);
        QCOMPARE(ui.infoPanel->y(), 42);
        QVERIFY(ui.hiddenPanel->isVisible());

        QTest::mouseDClick(ui.hiddenPicture, Qt::LeftButton);
        QVERIFY(ui.hiddenPanel->isHidden());
        QCOMPARE(ui.infoPanel->pos(), QPoint(48, 42));
    }

    void escapeCloses_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("OK") << QStringLiteral("okButton");
        QTest::newRow("Info") << QStringLiteral("infoButton");
        QTest::newRow("web address") << QStringLiteral("webLink");
    }

    void escapeCloses()
    {
        QFETCH(QString, button);
        AboutFixture about;
        QVERIFY(about.show());
        auto *focused = about.box->findChild<QWidget *>(button);
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_Escape);
        // Closed and destroyed.
        QTRY_VERIFY(about.box.isNull());
    }

    void okCloses()
    {
        AboutFixture about;
        QVERIFY(about.show());
        QTest::mouseClick(about.ui().okButton, Qt::LeftButton);
        QTRY_VERIFY(about.box.isNull());
    }

    void dragByTheBody_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("moves");
        QTest::newRow("label, left") << QStringLiteral("productLabel") << Qt::LeftButton << true;
        QTest::newRow("logo, middle") << QStringLiteral("logoImage") << Qt::MiddleButton << true;
        QTest::newRow("panel, left") << QStringLiteral("infoPanel") << Qt::LeftButton << true;
        QTest::newRow("label, right") << QStringLiteral("productLabel") << Qt::RightButton << false;
        QTest::newRow("link, left") << QStringLiteral("webLink") << Qt::LeftButton << false;
    }

    void dragByTheBody()
    {
        QFETCH(QString, control);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, moves);
        AboutFixture about;
        QVERIFY(about.show());
        auto *widget = about.box->findChild<QWidget *>(control);
        QVERIFY(widget);
        const QPoint start = about.box->pos();
        const QPoint at(20, 10);
        QTest::mousePress(widget, button, {}, at);
        QTest::mouseMove(widget, at + QPoint(30, 20));
        QTRY_COMPARE(about.box->pos(), moves ? start + QPoint(30, 20) : start);
        QTest::mouseRelease(widget, button, {}, at + QPoint(30, 20));
        // Released: moving the mouse no longer moves the window.
        const QPoint after = about.box->pos();
        QTest::mouseMove(widget, at + QPoint(60, 60));
        QTest::qWait(50);
        QCOMPARE(about.box->pos(), after);
    }

    // The rain shows around the panel and never over it.
    void rainAroundThePanel()
    {
        AboutFixture about;
        QVERIFY(about.show());
        QTest::qWait(600);
        const QImage window = about.box->grab().toImage();
        const QRect panel = about.ui().infoPanel->geometry();
        const QImage border = window.copy(0, 0, window.width(), panel.top());
        QVERIFY(border != blackImage(border.size(), border.format()));
        // Below the panel's logo: its own black, untouched by rain.
        const QRect quiet(panel.left() + 200, panel.top() + 170, 100, 40);
        const QImage inside = window.copy(quiet);
        QCOMPARE(inside, blackImage(inside.size(), inside.format()));
    }

    void picturesFitTheScreen()
    {
        AboutFixture about;
        const AboutWindowUi &ui = about.ui();
        const qreal ratio = about.box->devicePixelRatioF();
        qInfo("device pixel ratio %g", ratio);
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        about.box->loadPicturesForScreen();
        for (QLabel *label : {ui.logoImage, ui.hiddenPicture, ui.iconImage}) {
            const QPixmap pixmap = label->pixmap();
            QVERIFY2(!pixmap.isNull(), qPrintable(label->objectName()));
            QCOMPARE(pixmap.devicePixelRatio(), ratio);
            QCOMPARE(pixmap.size(), label->size() * ratio);
        }
        QCOMPARE(ui.logoImage->size(), QSize(344, 105));
        QCOMPARE(ui.hiddenPicture->size(), QSize(320, 214));
        QVERIFY(!ui.infoButton->icon().isNull());
        QCOMPARE(about.box->surface().pixmap().size(), QSize(446, 374) * ratio);
    }

    void picturesReloadedOnAnotherScreen()
    {
        AboutFixture about;
        QVERIFY(about.show());
        const qint64 logo = about.ui().logoImage->pixmap().cacheKey();
        const qint64 cat = about.ui().hiddenPicture->pixmap().cacheKey();
        QWindow *window = about.box->windowHandle();
        emit window->screenChanged(window->screen());
        QVERIFY(about.ui().logoImage->pixmap().cacheKey() != logo);
        QVERIFY(about.ui().hiddenPicture->pixmap().cacheKey() != cat);
    }

    void mainWindowOpensANewWindowEachTime()
    {
        QTemporaryDir folder;
        RecordingDialogs dialogs;
        RecordingDesktop desktop;
        MainWindow form(test::standInEnvironment(folder.path(), dialogs, desktop, false));
        form.show();
        form.ui().aboutAction->trigger();
        QList<AboutWindow *> boxes = form.findChildren<AboutWindow *>();
        QCOMPARE(boxes.size(), 1);
        QPointer<AboutWindow> first = boxes.first();
        QVERIFY(first->isVisible());
        QVERIFY(first->isModal());
        QCOMPARE(first->windowTitle(), QStringLiteral("About ") + appIdentity().appProduct);
        first->close();
        QTRY_VERIFY(first.isNull());
        form.ui().aboutTool->click();
        boxes = form.findChildren<AboutWindow *>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes.first()->isVisible());
        // A fresh window: the picture hidden, the panel in place.
        QVERIFY(boxes.first()->ui().hiddenPanel->isHidden());
        boxes.first()->close();
    }
};

INKVALE_GUI_TEST_MAIN(AboutWindowTest)
#include "aboutwindow_test.moc"
