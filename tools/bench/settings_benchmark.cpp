// How long the window takes to appear over a large settings.ini: the settings file alone at
// 16,700 and 167,000 keys (about 1 and 10 MB), then the whole main window shown over the
// larger one. Reading grows in step with the file: the time per key stays about the same.
//
// Usage: QT_QPA_PLATFORM=offscreen build/bin/settings-benchmark [KEYS]
#include "app/appsettings.h"
#include "app/mainwindow.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace inkvale;

namespace {

// A settings.ini of `keys` keys of about 60 bytes a line in the program's own section, the
// program's three choices last.
void writeSettings(const QString &folder, int keys)
{
    QFile file(folder + QStringLiteral("/settings.ini"));
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    QByteArray bytes("\xEF\xBB\xBF[Settings]\r\n");
    for (int i = 0; i < keys; ++i) {
        bytes += "RecentPicture" + QByteArray::number(i) + "=/home/someone/Pictures/holiday-" +
                 QByteArray::number(i) + ".jpg\r\n";
    }
    bytes += "Destination=/home/someone/Cartoons\r\nFormat=JPG\r\nShowPreview=ON\r\n";
    file.write(bytes);
}

qint64 timedLoad(const QString &folder)
{
    QElapsedTimer clock;
    clock.start();
    const AppSettings settings(folder);
    if (settings.format() != QStringLiteral("JPG")) {
        qFatal("settings not read");
    }
    return clock.elapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    test::TestEnvironment environment;
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int largeKeys = argc > 1 ? QByteArray(argv[1]).toInt() : 167000;
    const int smallKeys = largeKeys / 10;

    QTemporaryDir small;
    QTemporaryDir large;
    writeSettings(small.path(), smallKeys);
    writeSettings(large.path(), largeKeys);
    const qint64 smallMs = std::max<qint64>(1, timedLoad(small.path()));
    const qint64 largeMs = std::max<qint64>(1, timedLoad(large.path()));
    out << "settings.ini of " << smallKeys << " keys ("
        << QFile(small.path() + "/settings.ini").size() << " bytes): " << smallMs << " ms"
        << Qt::endl;
    out << "settings.ini of " << largeKeys << " keys ("
        << QFile(large.path() + "/settings.ini").size() << " bytes): " << largeMs << " ms"
        << Qt::endl;
    out << "ratio for ten times the keys: " << double(largeMs) / double(smallMs)
        << " (linear: about 10)" << Qt::endl;

    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    QElapsedTimer clock;
    clock.start();
    MainWindow window(test::standInEnvironment(large.path(), dialogs, desktop, false));
    window.show();
    QApplication::processEvents();
    out << "main window shown over the larger file: " << clock.elapsed() << " ms (goal: under 1000)"
        << Qt::endl;
    return 0;
}
