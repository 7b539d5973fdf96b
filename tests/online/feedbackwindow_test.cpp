#include "online/feedbackwindow.h"
#include "online/limitedtextedit.h"
#include "online/markerpanel.h"
#include "support/standinservice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QThreadPool>

using namespace inkvale;
using test::RecordingDesktop;
using test::RecordingDialogs;
using test::StandInService;
using Message = RecordingDialogs::Message;

Q_DECLARE_METATYPE(Message)

namespace {

const QString kFailureText = QStringLiteral(
    "Something went wrong. Your feedback could not be delivered.\r\rPlease try again later.");
const QString kSuccessText = QStringLiteral("Your feedback is received.\r\rThank you!");

// A feedback window sending to the stand-in service.
struct Feedback
{
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    QPointer<FeedbackWindow> window;

    explicit Feedback(const StandInService &service)
    {
        FeedbackEndpoint endpoint = feedbackEndpoint(service.host());
        endpoint.options.trustedCertificates = service.certificate().toStdString();
        window = new FeedbackWindow(endpoint, dialogs, desktop);
        window->show();
    }
    ~Feedback() { delete window; }

    // Types the text and the address, then presses "Send".
    void fill(const QString &text, const QString &email = {})
    {
        window->feedbackEdit->setPlainText(text);
        window->emailEdit->setText(email);
    }

    // Presses "Send" and waits for the judged answer; false when none came.
    bool send()
    {
        QSignalSpy finished(window.data(), &FeedbackWindow::sendFinished);
        QTest::mouseClick(window->sendButton, Qt::LeftButton);
        return finished.wait(15000);
    }

    // The window has gone once its deferred deletion ran.
    bool destroyed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }
};

bool sameMessage(const Message &a, const Message &b)
{
    return a.icon == b.icon && a.caption == b.caption && a.text == b.text;
}

QString fieldValue(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines) {
        if (line.startsWith(name + QLatin1Char('='))) {
            return line.mid(name.size() + 1);
        }
    }
    return {};
}

} // namespace

class FeedbackWindowTest : public QObject
{
    Q_OBJECT

    StandInService m_service;

    QList<StandInService::Request> received() const { return m_service.received(); }

    // "OK" after `delayMs`.
    void answerSlowly(int delayMs)
    {
        StandInService::Answer slow;
        slow.body = QStringLiteral("OK");
        slow.delayMs = delayMs;
        m_service.setAnswer(QStringLiteral("feedback"), slow);
    }

private slots:
    void initTestCase() { QVERIFY(m_service.isRunning()); }

    void init()
    {
        AppIdentity identity;
        identity.appCompany = QStringLiteral("TAVRINO");
        identity.appProduct = QStringLiteral("Inkvale");
        identity.appTitle = QStringLiteral("TAVRINO - Inkvale");
        identity.appVersion = QStringLiteral("1.1");
        setAppIdentity(identity);
        m_service.reset();
    }

    void opensEmptyWithItsTexts()
    {
        Feedback feedback(m_service);
        FeedbackWindow &window = *feedback.window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Inkvale feedback"));
        QCOMPARE(window.size(), QSize(525, 326));
        QCOMPARE(window.likePanel->captionLabel()->text(), QStringLiteral("I like it!"));
        QCOMPARE(window.dislikePanel->captionLabel()->text(), QStringLiteral("I dislike it!"));
        QCOMPARE(window.dislikePanel->width(), 256);
        QCOMPARE(window.headingLabel->text(),
                 QStringLiteral("We would really appreciate your feedback."));
        QCOMPARE(window.questionLabel->text(), QStringLiteral("&What did you like or dislike?"));
        QCOMPARE(window.emailLabel->text(), QStringLiteral("Include my &e-mail:"));
        QCOMPARE(window.sendButton->text(), QStringLiteral("&Send"));
        QVERIFY(!window.likePanel->isSelected());
        QVERIFY(!window.dislikePanel->isSelected());
        QCOMPARE(window.focusWidget(), window.feedbackEdit);
        // Tab leaves the text box for the e-mail box, then "Send".
        QTest::keyClick(window.feedbackEdit, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.emailEdit);
        QTest::keyClick(window.emailEdit, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.sendButton);
        // The labels' keys lead to their boxes.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.sendButton, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(window.focusWidget(), window.emailEdit);
        QTest::keyClick(window.emailEdit, Qt::Key_W, Qt::AltModifier);
        QCOMPARE(window.focusWidget(), window.feedbackEdit);
        // Then the markers, which the keyboard reaches too.
        window.sendButton->setFocus();
        QTest::keyClick(window.sendButton, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.likePanel);
        QTest::keyClick(window.likePanel, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.dislikePanel);
        QVERIFY(window.feedbackEdit->toPlainText().isEmpty());
        QVERIFY(window.isModal());

        window.feedbackEdit->insertPlainText(QString(10005, QLatin1Char('a')));
        QCOMPARE(window.feedbackEdit->toPlainText().size(), 10000);
        window.emailEdit->setText(QString(105, QLatin1Char('b')));
        QCOMPARE(window.emailEdit->text().size(), 100);
    }

    void markersAndComposedText_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<bool>("like");
        QTest::addColumn<bool>("dislike");
        QTest::addColumn<QString>("sent");

        const QString text = QStringLiteral("Nice colours\r\n  and fast");
        QTest::newRow("no marker") << QStringList() << false << false << text;
        QTest::newRow("like by its picture") << QStringList{QStringLiteral("likeImage")} << true
                                             << false << QStringLiteral("I like it!\r") + text;
        QTest::newRow("dislike by its panel")
            << QStringList{QStringLiteral("dislikePanel")} << false << true
            << QStringLiteral("I dislike it!\r") + text;
        QTest::newRow("like, then dislike")
            << QStringList{QStringLiteral("likePanel"), QStringLiteral("dislikeImage")} << false
            << true << QStringLiteral("I dislike it!\r") + text;
        QTest::newRow("dislike twice")
            << QStringList{QStringLiteral("dislikePanel"), QStringLiteral("dislikeImage")} << false
            << false << text;
        // Space on the focused panel, and a screen reader's "toggle", press it as the mouse does.
        QTest::newRow("like by Space") << QStringList{QStringLiteral("likePanel/space")} << true
                                       << false << QStringLiteral("I like it!\r") + text;
        QTest::newRow("like by Space, then dislike by a screen reader")
            << QStringList{QStringLiteral("likePanel/space"), QStringLiteral("dislikePanel/toggle")}
            << false << true << QStringLiteral("I dislike it!\r") + text;
        QTest::newRow("toggled twice by a screen reader")
            << QStringList{QStringLiteral("likePanel/toggle"), QStringLiteral("likeImage/toggle")}
            << false << false << text;
        QTest::newRow("right button does nothing")
            << QStringList{QStringLiteral("likeImage/right"), QStringLiteral("dislikePanel/middle")}
            << false << false << text;
    }

    void markersAndComposedText()
    {
        QFETCH(QStringList, presses);
        QFETCH(bool, like);
        QFETCH(bool, dislike);
        QFETCH(QString, sent);

        Feedback feedback(m_service);
        for (const QString &press : presses) {
            const QStringList parts = press.split(QLatin1Char('/'));
            QWidget *target = feedback.window->findChild<QWidget *>(parts.first());
            if (parts.value(1) == QStringLiteral("space")) {
                target->setFocus();
                QTest::keyClick(target, Qt::Key_Space);
                continue;
            }
            if (parts.value(1) == QStringLiteral("toggle")) {
                // The picture is part of its panel.
                QWidget *panel =
                    qobject_cast<MarkerPanel *>(target) ? target : target->parentWidget();
                QAccessible::queryAccessibleInterface(panel)->actionInterface()->doAction(
                    QAccessibleActionInterface::toggleAction());
                continue;
            }
            const Qt::MouseButton button =
                parts.value(1) == QStringLiteral("right")    ? Qt::RightButton
                : parts.value(1) == QStringLiteral("middle") ? Qt::MiddleButton
                                                             : Qt::LeftButton;
            QTest::mouseClick(target, button);
        }
        QCOMPARE(feedback.window->likePanel->isSelected(), like);
        QCOMPARE(feedback.window->dislikePanel->isSelected(), dislike);
        // The panel's colours show its state.
        for (const MarkerPanel *panel :
             {feedback.window->likePanel, feedback.window->dislikePanel}) {
            const QPalette::ColorRole role =
                panel->isSelected() ? QPalette::Highlight : QPalette::Button;
            QCOMPARE(panel->palette().color(QPalette::Window), QApplication::palette().color(role));
            QCOMPARE(panel->frameShadow(), panel->isSelected() ? QFrame::Sunken : QFrame::Raised);
            // A screen reader hears a toggle named by its caption, and whether it is on.
            QAccessibleInterface *face =
                QAccessible::queryAccessibleInterface(const_cast<MarkerPanel *>(panel));
            QCOMPARE(face->text(QAccessible::Name), panel->captionLabel()->text());
            QCOMPARE(face->role(), QAccessible::CheckBox);
            QVERIFY(face->state().checkable);
            QCOMPARE(bool(face->state().checked), panel->isSelected());
        }

        feedback.fill(QStringLiteral(" \n\tNice colours\n  and fast \n\n"));
        QVERIFY(feedback.send());
        const auto requests = received();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().path, QStringLiteral("/php/feedback.php"));
        QCOMPARE(requests.first().formLines(),
                 (QStringList{QStringLiteral("cmd=feedback"),
                              QStringLiteral("appname=TAVRINO - Inkvale"),
                              QStringLiteral("version=1.1"), QStringLiteral("feedback=") + sent}));
    }

    void blankTextBeepsAndSendsNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks and line breaks") << QStringLiteral("  \n\t \n ");
    }

    void blankTextBeepsAndSendsNothing()
    {
        QFETCH(QString, text);

        Feedback feedback(m_service);
        // A marker alone is not enough.
        QTest::mouseClick(feedback.window->likePanel, Qt::LeftButton);
        feedback.fill(text, QStringLiteral("user@example.com"));
        feedback.window->emailEdit->setFocus();
        QTest::mouseClick(feedback.window->sendButton, Qt::LeftButton);

        QCOMPARE(feedback.desktop.beeps, 1);
        QCOMPARE(feedback.window->focusWidget(), feedback.window->feedbackEdit);
        QVERIFY(!feedback.window->isSending());
        QVERIFY(feedback.dialogs.messages.isEmpty());
        QTest::qWait(100);
        QVERIFY(received().isEmpty());
    }

    void emailAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("sent");

        QTest::newRow("none") << QString() << true << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << true << QString();
        QTest::newRow("plain") << QStringLiteral("user@example.com") << true
                               << QStringLiteral("user@example.com");
        QTest::newRow("blanks around")
            << QStringLiteral("  first.last+tag@mail-server.example.org\t ") << true
            << QStringLiteral("first.last+tag@mail-server.example.org");
        QTest::newRow("no dot after the at sign")
            << QStringLiteral("user@example") << false << QString();
        QTest::newRow("underscore in the domain")
            << QStringLiteral("user@exa_mple.com") << false << QString();
        QTest::newRow("non-ASCII") << QStringLiteral("jürgen@example.com") << false << QString();
        QTest::newRow("ends in a dot")
            << QStringLiteral(" user@example.com. ") << false << QString();
        QTest::newRow("ends in a dash")
            << QStringLiteral("user@example.com-") << false << QString();
    }

    void emailAddress()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(QString, sent);

        Feedback feedback(m_service);
        feedback.fill(QStringLiteral("Hello"), typed);
        if (!accepted) {
            QTest::mouseClick(feedback.window->sendButton, Qt::LeftButton);
            QCOMPARE(feedback.dialogs.messages.size(), 1);
            QVERIFY(sameMessage(feedback.dialogs.messages.first(),
                                {QMessageBox::Critical, QStringLiteral("Failure"),
                                 QStringLiteral("Invalid e-mail address!")}));
            QCOMPARE(feedback.window->focusWidget(), feedback.window->emailEdit);
            QVERIFY(!feedback.window->isSending());
            QTest::qWait(100);
            QVERIFY(received().isEmpty());
            QVERIFY(!feedback.destroyed());
            return;
        }
        QVERIFY(feedback.send());
        const auto requests = received();
        QCOMPARE(requests.size(), 1);
        const QStringList lines = requests.first().formLines();
        QCOMPARE(lines.size(), sent.isEmpty() ? 4 : 5);
        if (!sent.isEmpty()) {
            QCOMPARE(lines.last(), QStringLiteral("email=") + sent);
        }
    }

    void answers_data()
    {
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<QString>("httpsAnswer");
        QTest::addColumn<int>("httpsStatus");
        QTest::addColumn<QString>("httpAnswer");
        QTest::addColumn<QStringList>("schemesReceived");
        QTest::addColumn<bool>("delivered");

        const QStringList none;
        const QStringList https{QStringLiteral("https")};
        const QStringList both{QStringLiteral("https"), QStringLiteral("http")};
        const QString ok = QStringLiteral("OK");
        QTest::newRow("OK") << none << ok << 200 << QString() << https << true;
        QTest::newRow("OK with blanks")
            << none << QStringLiteral(" OK \n") << 200 << QString() << https << true;
        // The status is not looked at, and no plain attempt follows an answer.
        QTest::newRow("OK on an error status") << none << ok << 500 << QString() << https << true;
        QTest::newRow("lower case") << none << QStringLiteral("ok") << 200 << ok << https << false;
        QTest::newRow("full stop") << none << QStringLiteral("OK.") << 200 << ok << https << false;
        QTest::newRow("second line")
            << none << QStringLiteral("OK\nmore") << 200 << ok << https << false;
        QTest::newRow("empty") << none << QString() << 200 << ok << https << false;
        QTest::newRow("https refused, http OK")
            << https << QString() << 200 << ok << QStringList{QStringLiteral("http")} << true;
        QTest::newRow("https refused, http other")
            << https << QString() << 200 << QStringLiteral("ERROR")
            << QStringList{QStringLiteral("http")} << false;
        QTest::newRow("both refused") << both << QString() << 200 << QString() << none << false;
    }

    void answers()
    {
        QFETCH(QStringList, refused);
        QFETCH(QString, httpsAnswer);
        QFETCH(int, httpsStatus);
        QFETCH(QString, httpAnswer);
        QFETCH(QStringList, schemesReceived);
        QFETCH(bool, delivered);

        m_service.refuse(refused);
        StandInService::Answer secure;
        secure.body = httpsAnswer;
        secure.status = httpsStatus;
        m_service.setAnswer(QStringLiteral("feedback"), secure, QStringLiteral("https"));
        StandInService::Answer plain;
        plain.body = httpAnswer;
        m_service.setAnswer(QStringLiteral("feedback"), plain, QStringLiteral("http"));

        Feedback feedback(m_service);
        QTest::mouseClick(feedback.window->dislikePanel, Qt::LeftButton);
        feedback.fill(QStringLiteral("Too slow"), QStringLiteral("user@example.com"));
        QVERIFY(feedback.send());

        QStringList schemes;
        for (const auto &request : received()) {
            schemes << request.scheme;
        }
        QCOMPARE(schemes, schemesReceived);
        QCOMPARE(feedback.dialogs.messages.size(), 1);
        const Message &message = feedback.dialogs.messages.first();
        if (delivered) {
            QVERIFY(sameMessage(
                message, {QMessageBox::Information, QStringLiteral("Success"), kSuccessText}));
            QVERIFY(feedback.destroyed());
            return;
        }
        QVERIFY(
            sameMessage(message, {QMessageBox::Critical, QStringLiteral("Failure"), kFailureText}));
        // Everything stays for another try.
        QVERIFY(!feedback.destroyed());
        QVERIFY(feedback.window->isVisible());
        QCOMPARE(feedback.window->feedbackEdit->toPlainText(), QStringLiteral("Too slow"));
        QCOMPARE(feedback.window->emailEdit->text(), QStringLiteral("user@example.com"));
        QVERIFY(feedback.window->dislikePanel->isSelected());
        QVERIFY(feedback.window->sendButton->isEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void failedSendCanBeRepeated()
    {
        m_service.refuse({QStringLiteral("https"), QStringLiteral("http")});
        Feedback feedback(m_service);
        feedback.fill(QStringLiteral("Again"));
        QVERIFY(feedback.send());
        QCOMPARE(feedback.dialogs.messages.last().caption, QStringLiteral("Failure"));

        // From the keyboard this time.
        m_service.reset();
        QSignalSpy finished(feedback.window.data(), &FeedbackWindow::sendFinished);
        feedback.window->sendButton->setFocus();
        QTest::keyClick(feedback.window->sendButton, Qt::Key_Return);
        QVERIFY(finished.wait(15000));
        QCOMPARE(feedback.dialogs.messages.last().caption, QStringLiteral("Success"));
        QCOMPARE(fieldValue(received().first().formLines(), QStringLiteral("feedback")),
                 QStringLiteral("Again"));
        QVERIFY(feedback.destroyed());
    }

    void busyWhileSendingAndSendsOnce()
    {
        answerSlowly(1000);
        Feedback feedback(m_service);
        feedback.fill(QStringLiteral("Once"));
        QSignalSpy finished(feedback.window.data(), &FeedbackWindow::sendFinished);

        QTest::mouseClick(feedback.window->sendButton, Qt::LeftButton);
        // The click returned while the request runs: the window is not blocked.
        QVERIFY(feedback.window->isSending());
        QVERIFY(!feedback.window->sendButton->isEnabled());
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        feedback.window->send();

        QVERIFY(finished.wait(15000));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(received().size(), 1);
        QCOMPARE(feedback.dialogs.messages.size(), 1);
    }

    void closingWhileSendingShowsNothing()
    {
        answerSlowly(10000);
        Feedback feedback(m_service);
        RecordingDialogs &dialogs = feedback.dialogs;
        feedback.fill(QStringLiteral("Bye"));
        QTest::mouseClick(feedback.window->sendButton, Qt::LeftButton);
        QVERIFY(feedback.window->isSending());
        feedback.window->close();
        QVERIFY(feedback.destroyed());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The request gives up rather than holding the program at its end.
        QTRY_COMPARE_WITH_TIMEOUT(QThreadPool::globalInstance()->activeThreadCount(), 0, 5000);
        QTest::qWait(100);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void escapeCloses_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("text box") << QStringLiteral("feedbackEdit");
        QTest::newRow("e-mail box") << QStringLiteral("emailEdit");
        QTest::newRow("Send") << QStringLiteral("sendButton");
        QTest::newRow("a marker") << QStringLiteral("dislikePanel");
    }

    void escapeCloses()
    {
        QFETCH(QString, control);

        Feedback feedback(m_service);
        feedback.fill(QStringLiteral("Not sent"), QStringLiteral("user@example.com"));
        QSignalSpy edited(feedback.window->emailEdit, &QLineEdit::textEdited);
        QWidget *target = feedback.window->findChild<QWidget *>(control);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QCOMPARE(edited.count(), 0);
        QVERIFY(feedback.destroyed());
        QTest::qWait(100);
        QVERIFY(received().isEmpty());
    }
};

INKVALE_GUI_TEST_MAIN(FeedbackWindowTest)
#include "feedbackwindow_test.moc"
