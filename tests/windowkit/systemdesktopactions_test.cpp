#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/systemdesktopactions.h"

#include <QDesktopServices>

using namespace inkvale;
using test::RecordingDialogs;

// Takes the addresses the desktop would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class SystemDesktopActionsTest : public QObject
{
    Q_OBJECT

private slots:
    void anAddressWithoutAProgramIsReported();
    void anOpenedAddressSaysNothing();
};

void SystemDesktopActionsTest::anAddressWithoutAProgramIsReported()
{
    // The offscreen platform has no desktop services, as a desktop without xdg-open has none.
    RecordingDialogs dialogs;
    SystemDesktopActions desktop(dialogs);

    QVERIFY(!desktop.openUrl(QUrl::fromLocalFile(QStringLiteral("/pictures/a b.png"))));

    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].icon, QMessageBox::Critical);
    QCOMPARE(dialogs.messages[0].caption, QStringLiteral("ERROR"));
    QCOMPARE(dialogs.messages[0].text,
             QStringLiteral("No program was found to open \"/pictures/a b.png\"."));
}

void SystemDesktopActionsTest::anOpenedAddressSaysNothing()
{
    RecordingDialogs dialogs;
    SystemDesktopActions desktop(dialogs);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    const QUrl page(QStringLiteral("https://www.tavrino.example/help/inkvale/"));

    QVERIFY(desktop.openUrl(page));

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls, QList<QUrl>{page});
    QVERIFY(dialogs.messages.isEmpty());
}

INKVALE_GUI_TEST_MAIN(SystemDesktopActionsTest)
#include "systemdesktopactions_test.moc"
