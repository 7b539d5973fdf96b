#include "screenshotfiles.h"

#include <QDir>
#include <QTextStream>

namespace inkvale::tools {

QString screenshotFolder(int argc, char *argv[])
{
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);
    return folder;
}

void saveScreenshot(const QString &folder, const QString &name, const QPixmap &picture)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    picture.save(path);
    QTextStream(stdout) << path << Qt::endl;
}

} // namespace inkvale::tools
