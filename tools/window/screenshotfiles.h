#pragma once

#include <QPixmap>
#include <QString>

namespace inkvale::tools {

// The folder the screenshot programs write to: their first argument, else "screenshots";
// created when missing.
QString screenshotFolder(int argc, char *argv[]);

// Saves `picture` as `folder`/`name`.png and prints the file's path.
void saveScreenshot(const QString &folder, const QString &name, const QPixmap &picture);

} // namespace inkvale::tools
