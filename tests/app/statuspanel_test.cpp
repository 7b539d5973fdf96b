#include "app/statuspanel.h"
#include "support/testenvironment.h"

#include <QLabel>

using namespace inkvale;

class StatusPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void aLongTextKeepsItsEndInSight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("short") << QStringLiteral("12 files") << true;
        QTest::newRow("long path")
            << QStringLiteral("Processing /home/someone/Pictures/2026/a holiday by the sea with "
                              "the whole family/day three/holiday-03.jpg")
            << false;
        QTest::newRow("long path, several running")
            << QStringLiteral("Processing /home/someone/Pictures/2026/a holiday by the sea with "
                              "the whole family/day three/holiday-03.jpg... (3 running)")
            << false;
    }

    void aLongTextKeepsItsEndInSight()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        StatusPanel panel;
        panel.resize(420, 24);
        panel.show();
        panel.showProgress(2, 12);
        panel.setText(text);
        const auto *label = panel.findChild<QLabel *>(QStringLiteral("StatusText"));
        QCOMPARE(panel.text(), text);
        QTRY_VERIFY(label->fontMetrics().horizontalAdvance(label->text()) <=
                    label->contentsRect().width());
        if (fits) {
            QCOMPARE(label->text(), text);
        } else {
            // What is being done, and the end of the path that names the picture.
            const QString shown = label->text();
            QVERIFY2(shown.startsWith(QStringLiteral("Processing \u2026")), qPrintable(shown));
            QVERIFY2(text.endsWith(shown.mid(shown.indexOf(QChar(0x2026)) + 1)), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("/holiday-03.jpg")), qPrintable(shown));
        }
        // A wider window shows it whole again.
        panel.resize(2000, 24);
        QTRY_COMPARE(label->text(), text);
    }
};

INKVALE_GUI_TEST_MAIN(StatusPanelTest)
#include "statuspanel_test.moc"
