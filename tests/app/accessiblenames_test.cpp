#include "about/aboutwindow.h"
#include "app/conversionlogdialog.h"
#include "app/mainwindow.h"
#include "online/feedbackwindow.h"
#include "online/newversionnotice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"
#include "windowkit/messageboxcustombuttons.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>

using namespace inkvale;

namespace {

// What a screen reader says for `widget`.
QString accessibleName(QWidget *widget)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

// A control the user operates or reads a value from.
bool isInteractive(const QWidget *widget)
{
    return widget->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QAbstractItemView *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) ||
           qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) ||
           qobject_cast<const QProgressBar *>(widget) ||
           qobject_cast<const QAbstractSlider *>(widget);
}

// Qt's own parts inside a control, which the control's accessible interface speaks for: a spin
// box's or an editable drop-down's field, a scroll area's bars, a table's headers (their
// sections are the table's header cells) and its corner button.
bool isPartOfAControl(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    return widget->objectName().startsWith(QLatin1String("qt_scrollarea_")) ||
           qobject_cast<const QAbstractSpinBox *>(parent) ||
           qobject_cast<const QComboBox *>(parent) ||
           qobject_cast<const QAbstractItemView *>(parent);
}

// "class objectName" of every interactive control in the window without a name.
QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        bool inner = false;
        for (const QWidget *up = widget; up && up != &window; up = up->parentWidget()) {
            inner = inner || isPartOfAControl(up);
        }
        if (!inner && isInteractive(widget) && accessibleName(widget).trimmed().isEmpty()) {
            unnamed.append(QString::fromLatin1(widget->metaObject()->className()) +
                           QLatin1Char(' ') + widget->objectName());
        }
    }
    return unnamed;
}

struct Program
{
    QTemporaryDir folder;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;

    MainWindow::Environment environment()
    {
        return test::standInEnvironment(folder.path(), dialogs, desktop, false);
    }
};

} // namespace

class AccessibleNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlOfEveryWindowHasAName_data();
    void everyControlOfEveryWindowHasAName();
    void theMainWindowsPartsSayWhatTheyAre();
};

void AccessibleNamesTest::everyControlOfEveryWindowHasAName_data()
{
    QTest::addColumn<QString>("window");
    for (const char *window : {"main window", "feedback", "about", "conversion log",
                               "new-version notice", "message box"}) {
        QTest::newRow(window) << QString::fromLatin1(window);
    }
}

void AccessibleNamesTest::everyControlOfEveryWindowHasAName()
{
    QFETCH(QString, window);
    Program program;
    setAppIdentity({QStringLiteral("TAVRINO"), QStringLiteral("Inkvale"),
                    QStringLiteral("TAVRINO - Inkvale"), QStringLiteral("1.1")});
    MainWindow form(program.environment());
    std::unique_ptr<QWidget> shown;
    if (window == QStringLiteral("main window")) {
        // The hidden parts too: the preview, the progress bar, the failure mark.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY2(unnamedControls(form).isEmpty(),
                 qPrintable(unnamedControls(form).join(QStringLiteral(", "))));
        return;
    }
    if (window == QStringLiteral("feedback")) {
        shown = std::make_unique<FeedbackWindow>(feedbackEndpoint(QStringLiteral("localhost")),
                                                 program.dialogs, program.desktop, &form);
    } else if (window == QStringLiteral("about")) {
        shown = std::make_unique<AboutWindow>(
            AboutWindow::environment(program.folder.path(), program.dialogs, program.desktop),
            &form);
    } else if (window == QStringLiteral("conversion log")) {
        BatchResult result;
        result.failures.append(
            {QStringLiteral("/pictures/broken.png"), QStringLiteral("not a picture"), QString()});
        shown = std::make_unique<ConversionLogDialog>(result, &form);
    } else if (window == QStringLiteral("new-version notice")) {
        NewVersionNotice notice(QStringLiteral("9.9"), QStringLiteral("https://localhost/get"),
                                program.desktop, &form);
        QWidget *noticeWindow = notice.frame->window();
        QVERIFY2(unnamedControls(*noticeWindow).isEmpty(),
                 qPrintable(unnamedControls(*noticeWindow).join(QStringLiteral(", "))));
        return;
    } else {
        shown = createCustomButtonsBox(&form, QStringLiteral("Restart Application?"),
                                       QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                       {QStringLiteral("Yes"), QStringLiteral("No")},
                                       QStringLiteral("Confirmation"));
    }
    // Shown without a modal loop; nothing waits for an answer.
    shown->setWindowModality(Qt::NonModal);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    QVERIFY2(unnamedControls(*shown).isEmpty(),
             qPrintable(unnamedControls(*shown).join(QStringLiteral(", "))));
}

void AccessibleNamesTest::theMainWindowsPartsSayWhatTheyAre()
{
    Program program;
    MainWindow form(program.environment());
    const MainWindowUi &ui = form.ui();
    struct Named
    {
        QWidget *control;
        QString name;
    };
    const Named named[]{
        {ui.destinationButton, QStringLiteral("Change Destination Folder")},
        {ui.upButton, QStringLiteral("Up")},
        {ui.downButton, QStringLiteral("Down")},
        {ui.topButton, QStringLiteral("Top")},
        {ui.bottomButton, QStringLiteral("Bottom")},
        {ui.convertButton, QStringLiteral("Convert")},
        {ui.addFilesTool, QStringLiteral("Add Files")},
        {ui.qualityBox, QStringLiteral("Quality")},
    };
    for (const auto &[control, name] : named) {
        QCOMPARE(accessibleName(control), name);
    }
    // The parts that are not controls, but that a screen reader reads or points out.
    for (const char *part : {"imageList", "previewImage", "statusPanel", "StatusFailureMark",
                             "StatusProgress", "StatusBarHost"}) {
        QWidget *widget = form.findChild<QWidget *>(QLatin1String(part));
        QVERIFY2(widget != nullptr, part);
        QVERIFY2(!accessibleName(widget).isEmpty(), part);
    }

    // Each label names its control, by a relation that screen readers follow, and its key
    // takes the focus there. The drop-downs are named by their labels' words, not by the value
    // they show; Qt on Linux reports a drop-down's value as its name and leaves the label to
    // the relation, as the desktop's own drop-downs do.
    struct Labelled
    {
        const char *label;
        QWidget *control;
        QString name;
    };
    const Labelled labelled[]{
        {"formatLabel", ui.formatBox, QStringLiteral("Output Format")},
        {"effectLabel", ui.effectBox, QStringLiteral("Effect")},
        {"destinationLabel", ui.destinationEdit, QStringLiteral("Destination Directory")},
        {"namePatternLabel", ui.namePatternEdit, QStringLiteral("File Names")},
    };
    for (const auto &[label, control, name] : labelled) {
        auto *found = form.findChild<QLabel *>(QLatin1String(label));
        QVERIFY2(found != nullptr, label);
        QCOMPARE(found->buddy(), control);
        QCOMPARE(control->accessibleName(), name);
        if (!qobject_cast<QComboBox *>(control)) {
            QCOMPARE(accessibleName(control), name);
        }
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        bool isLabelled = false;
        for (const auto &[other, relation] : face->relations(QAccessible::Label)) {
            isLabelled = isLabelled || other->object() == found;
        }
        QVERIFY2(isLabelled, label);
    }
}

INKVALE_GUI_TEST_MAIN(AccessibleNamesTest)
#include "accessiblenames_test.moc"
