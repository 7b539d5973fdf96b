#include "app/mainwindow.h"
#include "online/feedbackwindow.h"
#include "online/limitedtextedit.h"
#include "online/newversionnotice.h"
#include "support/standinservice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

using namespace inkvale;
using test::RecordingDesktop;
using test::RecordingDialogs;
using test::StandInService;

namespace {

// The main window, with its feedback going to the stand-in service.
struct Program
{
    QTemporaryDir folder;
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    explicit Program(const StandInService &service)
    {
        MainWindow::Environment environment =
            test::standInEnvironment(folder.path(), dialogs, desktop, false);
        environment.webHost = service.host();
        environment.webOptions.trustedCertificates = service.certificate().toStdString();
        form = std::make_unique<MainWindow>(environment);
        form->show();
    }

    QList<FeedbackWindow *> feedbackWindows() const
    {
        return form->findChildren<FeedbackWindow *>();
    }
};

} // namespace

class MainWindowOnlineTest : public QObject
{
    Q_OBJECT

    StandInService m_service;

private slots:
    void initTestCase() { QVERIFY(m_service.isRunning()); }

    void feedbackOpensANewWindowEachTime_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("menu") << QStringLiteral("sendFeedbackAction");
        QTest::newRow("toolbar") << QStringLiteral("feedbackTool");
    }

    void feedbackOpensANewWindowEachTime()
    {
        QFETCH(QString, command);

        m_service.reset();
        Program program(m_service);
        auto *action = program.form->findChild<QAction *>(command);
        // The toolbar's button shows the menu's action.
        if (auto *button = program.form->findChild<QToolButton *>(command)) {
            action = button->defaultAction();
        }
        QVERIFY(action != nullptr);

        action->trigger();
        QCOMPARE(program.feedbackWindows().size(), 1);
        QPointer<FeedbackWindow> first = program.feedbackWindows().first();
        QVERIFY(first->isVisible());
        QVERIFY(first->isModal());
        first->feedbackEdit->setPlainText(QStringLiteral("From the menu"));
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(first.isNull());

        // Nothing is kept between openings; sending goes to the configured service.
        action->trigger();
        FeedbackWindow *second = program.feedbackWindows().first();
        QVERIFY(second->feedbackEdit->toPlainText().isEmpty());
        second->feedbackEdit->setPlainText(QStringLiteral("Second"));
        QSignalSpy finished(second, &FeedbackWindow::sendFinished);
        QTest::mouseClick(second->sendButton, Qt::LeftButton);
        QVERIFY(finished.wait(15000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(m_service.received().size(), 1);
        QVERIFY(
            m_service.received().first().formLines().contains(QStringLiteral("feedback=Second")));
    }

    void announcedVersionShowsTheNoticeOnce()
    {
        Program program(m_service);
        QVERIFY(program.form->newVersionNotice() == nullptr);
        emit program.form->announceUpdate(QStringLiteral("1.2"),
                                          QStringLiteral("https://a.example/"));
        NewVersionNotice *notice = program.form->newVersionNotice();
        QVERIFY(notice != nullptr);
        QTRY_VERIFY(notice->isVisible());
        QVERIFY(notice->linkLabel->text().endsWith(QStringLiteral(" 1.2")));

        emit program.form->announceUpdate(QStringLiteral("1.3"), QString());
        QCOMPARE(program.form->newVersionNotice(), notice);
        QVERIFY(notice->linkLabel->text().endsWith(QStringLiteral(" 1.2")));
    }
};

INKVALE_GUI_TEST_MAIN(MainWindowOnlineTest)
#include "mainwindowonline_test.moc"
