#include "app/convertcli.h"
#include "app/versioninfo.h"
#include "platform/interruption.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    inkvale::platform::watchForInterruption();
    QCoreApplication app(argc, argv);
    app.setApplicationVersion(inkvale::FormatAppVersion(
        inkvale::GetEXEVersionNumber(QCoreApplication::applicationFilePath())));
    QTextStream out(stdout);
    QTextStream err(stderr);
    inkvale::ConvertCli cli(out, err, inkvale::ToolLocation::ofRunningProgram());
    return cli.run(app.arguments());
}
