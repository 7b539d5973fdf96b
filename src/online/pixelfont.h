#pragma once

#include <QApplication>
#include <QFont>

namespace inkvale {

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
