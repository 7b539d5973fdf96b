#pragma once

#include <QPixmap>
#include <QString>

namespace inkvale::tools {

// The folder the screenshot programs write to: their first argument, else "screenshots";
// created when missing.
QString screenshotFolder(int argc, char *argv[]);

// With INKVALE_SCREENSHOTS_PALETTE=dark in the environment: the Fusion style with a dark
// palette, as a desktop's dark theme gives, to see that every window stays readable.
void useDarkPaletteWhenAsked();

// Saves `picture` as `folder`/`name`.png and prints the file's path.
void saveScreenshot(const QString &folder, const QString &name, const QPixmap &picture);

} // namespace inkvale::tools
