#include "windowkit/readableicon.h"

#include <algorithm>
#include <cmath>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

namespace inkvale {

namespace {

// The least contrast the accessibility guidelines ask of a symbol on a control.
constexpr qreal kLeastContrast = 3.0;

qreal luminance(const QColor &colour)
{
    const auto linear = [](qreal channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

// From 1 (the same) to 21 (black on white).
qreal contrastRatio(const QColor &first, const QColor &second)
{
    const qreal a = luminance(first);
    const qreal b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The mean colour of the drawn pixels, each weighed by its opacity; invalid when nothing is
// drawn.
QColor inkColour(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    qreal red = 0;
    qreal green = 0;
    qreal blue = 0;
    qreal weight = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const qreal alpha = qAlpha(line[x]) / 255.0;
            red += qRed(line[x]) * alpha;
            green += qGreen(line[x]) * alpha;
            blue += qBlue(line[x]) * alpha;
            weight += alpha;
        }
    }
    if (weight <= 0) {
        return {};
    }
    return QColor::fromRgbF(float(red / weight / 255), float(green / weight / 255),
                            float(blue / weight / 255));
}

class ReadableIconEngine : public QIconEngine
{
public:
    explicit ReadableIconEngine(const QIcon &icon)
        : m_icon(icon)
    {}

    // `size` in device pixels: QIcon asks for the screen's pixels and sets the ratio itself.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap picture = m_icon.pixmap(size, 1.0, mode, state);
        if (picture.isNull()) {
            return picture;
        }
        const QPalette palette = QGuiApplication::palette();
        const QPalette::ColorGroup group =
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        const QColor ink = inkColour(picture.toImage());
        if (!ink.isValid() ||
            contrastRatio(ink, palette.color(group, QPalette::Button)) >= kLeastContrast) {
            return picture;
        }
        QPainter painter(&picture);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(picture.rect(), palette.color(group, QPalette::ButtonText));
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSizeF shown = picture.deviceIndependentSize();
        painter->drawPixmap(QPointF(rect.x() + (rect.width() - shown.width()) / 2,
                                    rect.y() + (rect.height() - shown.height()) / 2),
                            picture);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_icon.actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_icon.availableSizes(mode, state);
    }

    bool isNull() override { return m_icon.isNull(); }
    QIconEngine *clone() const override { return new ReadableIconEngine(m_icon); }
    QString key() const override { return QStringLiteral("inkvale-readable"); }

private:
    QIcon m_icon;
};

} // namespace

QIcon readableButtonIcon(const QIcon &icon)
{
    if (icon.isNull()) {
        return icon;
    }
    return QIcon(new ReadableIconEngine(icon));
}

} // namespace inkvale
