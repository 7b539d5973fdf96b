#include "app/mainwindow.h"
#include "app/sessionhandover.h"
#include "app/windowoptions.h"
#include "base/versioninfo.h"
#include "imagelist/imageintake.h"
#include "platform/interruption.h"
#include "windowkit/appidentity.h"
#include "windowkit/makerweb.h"
#include "windowkit/systemdesktopactions.h"
#include "windowkit/systemuserdialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

namespace {

// Exit statuses besides 0.
constexpr int kNothingAdded = 1;
constexpr int kUsage = 2;

} // namespace

int main(int argc, char *argv[])
{
    // A session that ends (logout: SIGTERM, SIGHUP) lets the window stop its tools and remove
    // its scratch folders before it quits, as closing it does.
    inkvale::platform::watchForInterruption();
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());
    // The menu entry's name, which desktops match the window with.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tavrino.Inkvale"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    inkvale::WindowOptions options;
    if (!options.parse(QApplication::arguments())) {
        err << "inkvale: " << options.error() << " (see --help)" << Qt::endl;
        return kUsage;
    }
    if (options.action() == inkvale::WindowOptions::Action::ShowHelp) {
        out << options.helpText() << Qt::flush;
        return 0;
    }
    if (options.action() == inkvale::WindowOptions::Action::ShowVersion) {
        out << "inkvale "
            << inkvale::formatAppVersion(
                   inkvale::readVersionNumber(QApplication::applicationFilePath()))
            << Qt::endl;
        return 0;
    }

    // Pictures and folders to open (the menu entry's %F); made absolute, since the window
    // that takes them may have started in another folder.
    QStringList paths = options.paths();
    for (QString &path : paths) {
        path = QFileInfo(path).absoluteFilePath();
    }
    const std::unique_ptr<inkvale::SessionHandover> handover = inkvale::makeSessionHandover();
    if (!handover->claim() && !paths.isEmpty()) {
        using Outcome = inkvale::SessionHandover::Outcome;
        const Outcome handed = handover->handOver(paths);
        if (handed.status == Outcome::Status::Handled) {
            if (handed.added == 0) {
                err << "inkvale: nothing could be added (the window says why)" << Qt::endl;
            }
            return handed.added > 0 ? 0 : kNothingAdded;
        }
        if (handed.status == Outcome::Status::Failed) {
            err << "inkvale: " << handed.message << Qt::endl;
            return kNothingAdded;
        }
    }
    handover->queueForName();

    inkvale::SystemUserDialogs dialogs;
    inkvale::SystemDesktopActions desktop(dialogs);
    inkvale::MainWindow::Environment environment;
    environment.executable = QApplication::applicationFilePath();
    environment.programFolder = QApplication::applicationDirPath();
    environment.configRoot =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.updateCheck.exchange.host = inkvale::makerWebHost();

    inkvale::MainWindow window(environment);
    handover->setReceiver(
        [&window](const QStringList &handed) { return window.addOpenedPaths(handed); });
    QObject::connect(&window.intake(), &inkvale::ImageIntake::intakeFinished, handover.get(),
                     &inkvale::SessionHandover::intakeFinished);
    window.show();
    int status = 0;
    if (!paths.isEmpty()) {
        // As for a start that hands its pictures over: none added is a failure.
        const quint64 own = window.addOpenedPaths(paths);
        QObject::connect(&window.intake(), &inkvale::ImageIntake::intakeFinished, &window,
                         [own, &status](quint64 intake, int added) {
                             if (intake == own && added == 0) {
                                 status = kNothingAdded;
                             }
                         });
    }
    QTimer sessionEnd;
    QObject::connect(&sessionEnd, &QTimer::timeout, &window, [&window] {
        if (inkvale::platform::interruptionRequested()) {
            window.exitProgram();
        }
    });
    sessionEnd.start(100);
    const int result = QApplication::exec();
    return result != 0 ? result : status;
}
