#include "app/windowhandover.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace inkvale {
namespace {

const QString kObjectPath = QStringLiteral("/org/tavrino/Inkvale");
// A window that does not answer in this time is taken for hung; the start opens its own.
constexpr int kHandOverTimeoutMs = 10000;

} // namespace

WindowHandover::WindowHandover(const QDBusConnection &bus, QObject *parent)
    : SessionHandover(parent)
    , m_bus(bus)
{}

WindowHandover::~WindowHandover()
{
    if (m_claimed || m_queued) {
        m_bus.unregisterObject(kObjectPath);
        m_bus.unregisterService(serviceName());
    }
}

bool WindowHandover::exportObject()
{
    return m_bus.isConnected() &&
           m_bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots);
}

bool WindowHandover::claim()
{
    if (m_claimed) {
        return true;
    }
    if (m_queued || !exportObject()) {
        return false;
    }
    // Not queued: a start that cannot have the name now hands its pictures over instead.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(serviceName(),
                                           QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    m_claimed = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    if (!m_claimed) {
        m_bus.unregisterObject(kObjectPath);
    }
    return m_claimed;
}

void WindowHandover::queueForName()
{
    if (m_claimed || m_queued || !exportObject()) {
        return;
    }
    // The bus hands the name over by itself when the holder leaves; calls then reach the
    // object exported here.
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(serviceName(), QDBusConnectionInterface::QueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    m_queued = reply.isValid() && reply.value() != QDBusConnectionInterface::ServiceNotRegistered;
    if (!m_queued) {
        m_bus.unregisterObject(kObjectPath);
    }
}

bool WindowHandover::handOver(const QStringList &paths)
{
    if (!m_bus.isConnected()) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName(), kObjectPath, serviceName(),
                                                       QStringLiteral("addPictures"));
    call << paths;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kHandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void WindowHandover::addPictures(const QStringList &paths)
{
    emit picturesArrived(paths);
}

} // namespace inkvale
