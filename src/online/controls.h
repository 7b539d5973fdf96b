#pragma once

#include <QApplication>
#include <QFont>
#include <QWidget>

namespace inkvale {

// `widget` named `name`, so that tests find it with findChild.
template<typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The desktop's UI font at a character height of `pixels`.
inline QFont pixelFont(int pixels, bool bold = false, bool underline = false)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace inkvale
