#include "base/fspath.h"
#include "base/versioninfo.h"
#include "cli/convertcli.h"
#include "platform/interruption.h"

#include <filesystem>
#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    inkvale::platform::watchForInterruption();
    QCoreApplication app(argc, argv);
    // The decoders' own warnings about a damaged picture would land amid the output; the
    // failure list gives the same words under the file's name.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
    app.setApplicationVersion(inkvale::formatAppVersion(
        inkvale::readVersionNumber(QCoreApplication::applicationFilePath())));
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Qt decodes the arguments as text and loses the bytes of a file name that is not UTF-8;
    // such an argument is taken from the bytes themselves.
    QStringList arguments = app.arguments();
    for (int i = 0; i < argc && i < arguments.size(); ++i) {
        if (arguments[i].contains(QChar::ReplacementCharacter)) {
            arguments[i] = inkvale::fromFsPath(std::filesystem::path(argv[i]));
        }
    }
    inkvale::ConvertCli cli(out, err, inkvale::ToolLocation::ofRunningProgram());
    return cli.run(arguments);
}
