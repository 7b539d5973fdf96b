#include "app/appidentity.h"
#include "online/limitedtextedit.h"
#include "online/markerpanel.h"
#include "online/tfeedbackform.h"
#include "support/standinservice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

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
    QPointer<TFeedbackForm> window;

    explicit Feedback(const StandInService &service)
    {
        FeedbackEndpoint endpoint = feedbackEndpoint(service.host());
        endpoint.options.trustedCertificates = service.certificate().toStdString();
        window = new TFeedbackForm(endpoint, dialogs, desktop);
        window->show();
    }
    ~Feedback() { delete window; }

    // Types the text and the address, then presses "Send".
    void fill(const QString &text, const QString &email = {})
    {
        window->Memo1->setPlainText(text);
        window->Edit1->setText(email);
    }

    // Presses "Send" and waits for the judged answer; false when none came.
    bool send()
    {
        QSignalSpy finished(window.data(), &TFeedbackForm::sendFinished);
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
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

class TFeedbackFormTest : public QObject
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
        identity.AppCompany = QStringLiteral("TAVRINO");
        identity.AppProduct = QStringLiteral("Inkvale");
        identity.AppTitle = QStringLiteral("TAVRINO - Inkvale");
        identity.AppVersion = QStringLiteral("1.1");
        setAppIdentity(identity);
        m_service.reset();
    }

    void opensEmptyWithItsTexts()
    {
        Feedback feedback(m_service);
        TFeedbackForm &window = *feedback.window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Inkvale feedback"));
        QCOMPARE(window.size(), QSize(525, 326));
        QCOMPARE(window.Panel4->captionLabel()->text(), QStringLiteral("I like it!"));
        QCOMPARE(window.Panel5->captionLabel()->text(), QStringLiteral("I dislike it!"));
        QCOMPARE(window.Panel5->width(), 256);
        QCOMPARE(window.Label1->text(),
                 QStringLiteral("We would really appreciate your feedback."));
        QCOMPARE(window.Label2->text(), QStringLiteral("What did you like or dislike?"));
        QCOMPARE(window.Label3->text(), QStringLiteral("Include my e-mail:"));
        QCOMPARE(window.BitBtn1->text(), QStringLiteral("Send"));
        QVERIFY(!window.Panel4->isSelected());
        QVERIFY(!window.Panel5->isSelected());
        QCOMPARE(window.focusWidget(), window.Memo1);
        // Tab leaves the text box for the e-mail box, then "Send".
        QTest::keyClick(window.Memo1, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.Edit1);
        QTest::keyClick(window.Edit1, Qt::Key_Tab);
        QCOMPARE(window.focusWidget(), window.BitBtn1);
        QVERIFY(window.Memo1->toPlainText().isEmpty());
        QVERIFY(window.isModal());

        window.Memo1->insertPlainText(QString(10005, QLatin1Char('a')));
        QCOMPARE(window.Memo1->toPlainText().size(), 10000);
        window.Edit1->setText(QString(105, QLatin1Char('b')));
        QCOMPARE(window.Edit1->text().size(), 100);
    }

    void markersAndComposedText_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<bool>("like");
        QTest::addColumn<bool>("dislike");
        QTest::addColumn<QString>("sent");

        const QString text = QStringLiteral("Nice colours\r\n  and fast");
        QTest::newRow("no marker") << QStringList() << false << false << text;
        QTest::newRow("like by its picture") << QStringList{QStringLiteral("Image1")} << true
                                             << false << QStringLiteral("I like it!\r") + text;
        QTest::newRow("dislike by its panel") << QStringList{QStringLiteral("Panel5")} << false
                                              << true << QStringLiteral("I dislike it!\r") + text;
        QTest::newRow("like, then dislike")
            << QStringList{QStringLiteral("Panel4"), QStringLiteral("Image2")} << false << true
            << QStringLiteral("I dislike it!\r") + text;
        QTest::newRow("dislike twice")
            << QStringList{QStringLiteral("Panel5"), QStringLiteral("Image2")} << false << false
            << text;
        QTest::newRow("right button does nothing")
            << QStringList{QStringLiteral("Image1/right"), QStringLiteral("Panel5/middle")} << false
            << false << text;
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
            const Qt::MouseButton button =
                parts.value(1) == QStringLiteral("right")    ? Qt::RightButton
                : parts.value(1) == QStringLiteral("middle") ? Qt::MiddleButton
                                                             : Qt::LeftButton;
            QTest::mouseClick(feedback.window->findChild<QWidget *>(parts.first()), button);
        }
        QCOMPARE(feedback.window->Panel4->isSelected(), like);
        QCOMPARE(feedback.window->Panel5->isSelected(), dislike);
        // The panel's colours show its state.
        for (const MarkerPanel *panel : {feedback.window->Panel4, feedback.window->Panel5}) {
            const QPalette::ColorRole role =
                panel->isSelected() ? QPalette::Highlight : QPalette::Button;
            QCOMPARE(panel->palette().color(QPalette::Window), QApplication::palette().color(role));
            QCOMPARE(panel->frameShadow(), panel->isSelected() ? QFrame::Sunken : QFrame::Raised);
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
        QTest::mouseClick(feedback.window->Panel4, Qt::LeftButton);
        feedback.fill(text, QStringLiteral("user@example.com"));
        feedback.window->Edit1->setFocus();
        QTest::mouseClick(feedback.window->BitBtn1, Qt::LeftButton);

        QCOMPARE(feedback.desktop.beeps, 1);
        QCOMPARE(feedback.window->focusWidget(), feedback.window->Memo1);
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
            QTest::mouseClick(feedback.window->BitBtn1, Qt::LeftButton);
            QCOMPARE(feedback.dialogs.messages.size(), 1);
            QVERIFY(sameMessage(feedback.dialogs.messages.first(),
                                {QMessageBox::Critical, QStringLiteral("Failure"),
                                 QStringLiteral("Invalid e-mail address!")}));
            QCOMPARE(feedback.window->focusWidget(), feedback.window->Edit1);
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
        QTest::mouseClick(feedback.window->Panel5, Qt::LeftButton);
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
        QCOMPARE(feedback.window->Memo1->toPlainText(), QStringLiteral("Too slow"));
        QCOMPARE(feedback.window->Edit1->text(), QStringLiteral("user@example.com"));
        QVERIFY(feedback.window->Panel5->isSelected());
        QVERIFY(feedback.window->BitBtn1->isEnabled());
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
        QSignalSpy finished(feedback.window.data(), &TFeedbackForm::sendFinished);
        feedback.window->BitBtn1->setFocus();
        QTest::keyClick(feedback.window->BitBtn1, Qt::Key_Return);
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
        QSignalSpy finished(feedback.window.data(), &TFeedbackForm::sendFinished);

        QTest::mouseClick(feedback.window->BitBtn1, Qt::LeftButton);
        // The click returned while the request runs: the window is not blocked.
        QVERIFY(feedback.window->isSending());
        QVERIFY(!feedback.window->BitBtn1->isEnabled());
        QVERIFY(QApplication::overrideCursor() != nullptr);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
        feedback.window->BitBtn1Click();

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
        QTest::mouseClick(feedback.window->BitBtn1, Qt::LeftButton);
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
        QTest::newRow("text box") << QStringLiteral("Memo1");
        QTest::newRow("e-mail box") << QStringLiteral("Edit1");
        QTest::newRow("Send") << QStringLiteral("BitBtn1");
    }

    void escapeCloses()
    {
        QFETCH(QString, control);

        Feedback feedback(m_service);
        feedback.fill(QStringLiteral("Not sent"), QStringLiteral("user@example.com"));
        QSignalSpy edited(feedback.window->Edit1, &QLineEdit::textEdited);
        QWidget *target = feedback.window->findChild<QWidget *>(control);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        QCOMPARE(edited.count(), 0);
        QVERIFY(feedback.destroyed());
        QTest::qWait(100);
        QVERIFY(received().isEmpty());
    }
};

INKVALE_GUI_TEST_MAIN(TFeedbackFormTest)
#include "tfeedbackform_test.moc"
