#include "screenshotfiles.h"

#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QTextStream>

namespace inkvale::tools {

QString screenshotFolder(int argc, char *argv[])
{
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    return folder;
}

void useDarkPaletteWhenAsked()
{
    if (qEnvironmentVariable("INKVALE_SCREENSHOTS_PALETTE") != QStringLiteral("dark")) {
        return;
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x25, 0x25, 0x25);
    const QColor text(0xE8, 0xE8, 0xE8);
    const QColor muted(0x80, 0x80, 0x80);
    const QColor accent(0x3D, 0x8E, 0xE0);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::PlaceholderText, muted);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::BrightText, Qt::red);
    dark.setColor(QPalette::Link, accent.lighter(130));
    dark.setColor(QPalette::Highlight, accent);
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Light, window.lighter(150));
    dark.setColor(QPalette::Midlight, window.lighter(125));
    dark.setColor(QPalette::Mid, window.darker(120));
    dark.setColor(QPalette::Dark, window.darker(150));
    dark.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(QPalette::Disabled, role, muted);
    }
    QApplication::setPalette(dark);
}

void saveScreenshot(const QString &folder, const QString &name, const QPixmap &picture)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    picture.save(path);
    QTextStream(stdout) << path << Qt::endl;
}

} // namespace inkvale::tools
