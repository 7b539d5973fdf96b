#include "base/versioninfo.h"
#include "cli/convertcli.h"
#include "platform/interruption.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    inkvale::platform::watchForInterruption();
    QCoreApplication app(argc, argv);
    app.setApplicationVersion(inkvale::formatAppVersion(
        inkvale::readVersionNumber(QCoreApplication::applicationFilePath())));
    QTextStream out(stdout);
    QTextStream err(stderr);
    inkvale::ConvertCli cli(out, err, inkvale::ToolLocation::ofRunningProgram());
    return cli.run(app.arguments());
}
