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
    }

    void aLongTextKeepsItsEndInSight()
    {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        StatusPanel panel;
        panel.resize(320, 24);
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
            QVERIFY2(label->text().startsWith(QStringLiteral("Processing /")),
                     qPrintable(label->text()));
            QVERIFY2(label->text().endsWith(QStringLiteral("holiday-03.jpg")),
                     qPrintable(label->text()));
        }
        // A wider window shows it whole again.
        panel.resize(2000, 24);
        QTRY_COMPARE(label->text(), text);
    }
};

INKVALE_GUI_TEST_MAIN(StatusPanelTest)
#include "statuspanel_test.moc"
