#include "platform/shellactions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace inkvale::platform {
namespace {

constexpr const char *kFileManager = "org.freedesktop.FileManager1";
constexpr const char *kFileManagerPath = "/org/freedesktop/FileManager1";
// A file manager that is started for the call may take a moment to answer.
constexpr int kBusTimeoutMs = 10000;

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

bool call(const BusCall &request)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(text(request.service), text(request.objectPath),
                                       text(request.interface), text(request.method));
    QStringList uris;
    for (const std::string &uri : request.uris) {
        uris.append(text(uri));
    }
    message << uris << text(request.startupId);
    return bus.call(message, QDBus::Block, kBusTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool start(const ProgramStart &request)
{
    QStringList arguments;
    for (const std::string &argument : request.arguments) {
        arguments.append(text(argument));
    }
    return QProcess::startDetached(text(request.program), arguments);
}

class SystemShellLauncher final : public ShellLauncher
{
public:
    bool send(const ShellRequest &request) override
    {
        if (const auto *bus = std::get_if<BusCall>(&request)) {
            return call(*bus);
        }
        if (const auto *program = std::get_if<ProgramStart>(&request)) {
            return start(*program);
        }
        return false; // shell verbs are Windows'
    }
};

std::string fileUri(const std::filesystem::path &file)
{
    const QString path = QFile::decodeName(std::filesystem::absolute(file).c_str());
    return QUrl::fromLocalFile(path).toEncoded().toStdString();
}

BusCall fileManagerCall(const char *method, const std::filesystem::path &file)
{
    return {kFileManager, kFileManagerPath, kFileManager, method, {fileUri(file)}, {}};
}

} // namespace

ShellLauncher &systemShellLauncher()
{
    static SystemShellLauncher launcher;
    return launcher;
}

void showInFolder(const std::filesystem::path &file, ShellLauncher &launcher)
{
    if (!launcher.send(fileManagerCall("ShowItems", file))) {
        launcher.send(ProgramStart{"xdg-open", {std::filesystem::absolute(file).parent_path()}});
    }
}

void showFileProperties(const std::filesystem::path &file, ShellLauncher &launcher)
{
    launcher.send(fileManagerCall("ShowItemProperties", file));
}

} // namespace inkvale::platform
