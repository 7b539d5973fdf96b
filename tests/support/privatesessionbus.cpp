#include "support/privatesessionbus.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace inkvale::test {
namespace {

const char *const kBusConfig = "<busconfig>\n"
                               "  <type>session</type>\n"
                               "  <listen>unix:tmpdir=%1</listen>\n"
                               "  <auth>EXTERNAL</auth>\n"
                               "  <policy context=\"default\">\n"
                               "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                               "    <allow eavesdrop=\"true\"/>\n"
                               "    <allow own=\"*\"/>\n"
                               "  </policy>\n"
                               "</busconfig>\n";

} // namespace

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool PrivateSessionBus::start(const QString &folder)
{
    QFile config(QDir(folder).filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly)) {
        return false;
    }
    config.write(QString::fromLatin1(kBusConfig).arg(folder).toUtf8());
    config.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                    QStringLiteral("--config-file=") + config.fileName()});
    if (!m_daemon.waitForStarted(10000) ||
        !QTest::qWaitFor([&] { return m_daemon.canReadLine(); }, 10000)) {
        return false;
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}

} // namespace inkvale::test
