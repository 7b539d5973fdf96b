#include "app/conversionlogdialog.h"
#include "online/markerpanel.h"
#include "support/testenvironment.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>

using namespace inkvale;

namespace {

// Fusion with icons on dialog buttons, as it is on an X11 desktop without a desktop theme (the
// offscreen platform leaves them out).
class FusionWithButtonIcons : public QProxyStyle
{
public:
    FusionWithButtonIcons()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// A dark theme as the desktop gives it: light text on dark grey, a highlight of its own.
QPalette darkPalette()
{
    QPalette dark(QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::Highlight, QColor(0x3D, 0x8E, 0xE0));
    return dark;
}

// The mean lightness (0-255) of the drawn pixels, each weighed by its opacity.
int inkLightness(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    qreal sum = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            sum += QColor(pixel).lightness() * qAlpha(pixel);
            weight += qAlpha(pixel);
        }
    }
    return weight > 0 ? qRound(sum / weight) : -1;
}

QPushButton *closeButtonOf(const ConversionLogDialog &dialog)
{
    return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close);
}

BatchResult oneFailure()
{
    BatchResult result;
    result.failures.append({QStringLiteral("/pictures/a.png"),
                            QStringLiteral("The tool produced no picture"), QString()});
    return result;
}

} // namespace

// What stays readable when the desktop's theme is dark, or turns dark while a window is open.
class DarkPaletteTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The style whose standard icons are drawn in fixed colours.
        QApplication::setStyle(new FusionWithButtonIcons);
        m_light = QApplication::palette();
    }

    void cleanup() { QApplication::setPalette(m_light); }

    void conversionLogCloseSymbolStandsOut_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }

    void conversionLogCloseSymbolStandsOut()
    {
        QFETCH(bool, dark);
        QApplication::setPalette(dark ? darkPalette() : m_light);
        const ConversionLogDialog dialog(oneFailure());
        const QPushButton *close = closeButtonOf(dialog);
        QVERIFY(!close->icon().isNull());
        const int button = close->palette().color(QPalette::Button).lightness();
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap symbol = close->icon().pixmap(QSize(16, 16), ratio);
            // Drawn for the screen's pixels, not scaled up from a small one.
            QCOMPARE(symbol.size(), QSize(16, 16) * ratio);
            const int ink = inkLightness(symbol.toImage());
            QVERIFY2(qAbs(ink - button) >= 100,
                     qPrintable(QStringLiteral("ink %1 on button %2").arg(ink).arg(button)));
        }
    }

    void lightThemeKeepsTheStylesCloseSymbol()
    {
        const ConversionLogDialog dialog(oneFailure());
        const QIcon own = dialog.style()->standardIcon(QStyle::SP_DialogCloseButton);
        for (const qreal ratio : {1.0, 2.0}) {
            QCOMPARE(closeButtonOf(dialog)->icon().pixmap(QSize(16, 16), ratio).toImage(),
                     own.pixmap(QSize(16, 16), ratio).toImage());
        }
    }

    void feedbackMarkersFollowAThemeSwitch_data()
    {
        QTest::addColumn<bool>("selected");
        QTest::newRow("not selected") << false;
        QTest::newRow("selected") << true;
    }

    void feedbackMarkersFollowAThemeSwitch()
    {
        QFETCH(bool, selected);
        MarkerPanel panel(QStringLiteral("I like it!"), new QLabel);
        panel.setSelected(selected);
        panel.show();

        QApplication::setPalette(darkPalette());
        const QPalette dark = QApplication::palette();
        QVERIFY(dark.color(QPalette::Highlight) != m_light.color(QPalette::Highlight));
        const QColor background = dark.color(selected ? QPalette::Highlight : QPalette::Button);
        const QColor text = dark.color(selected ? QPalette::HighlightedText : QPalette::WindowText);
        QTRY_COMPARE(panel.palette().color(QPalette::Window), background);
        QCOMPARE(panel.captionLabel()->palette().color(QPalette::WindowText), text);

        // And back.
        QApplication::setPalette(m_light);
        QTRY_COMPARE(panel.palette().color(QPalette::Window),
                     m_light.color(selected ? QPalette::Highlight : QPalette::Button));
    }

private:
    QPalette m_light;
};

INKVALE_GUI_TEST_MAIN(DarkPaletteTest)
#include "darkpalette_test.moc"
