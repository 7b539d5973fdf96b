#include "app/windowhandover.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QThread>

namespace inkvale {
namespace {

const QString kObjectPath = QStringLiteral("/org/tavrino/Inkvale");
const QString kRefusedError = QStringLiteral("org.tavrino.Inkvale.Error.Refused");
// A window that does not answer in this time is taken for hung; the start opens its own.
constexpr int kHandOverTimeoutMs = 10000;
// How often a start asks whether the window has handled its pictures.
constexpr unsigned long kOutcomePollMs = 100;

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

WindowHandover::Outcome WindowHandover::handOverPart(const QStringList &paths)
{
    if (!m_bus.isConnected()) {
        return {};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName(), kObjectPath, serviceName(),
                                                       QStringLiteral("addPictures"));
    call << paths;
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kHandOverTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == kRefusedError) {
        return {Outcome::Status::Failed, 0, reply.errorMessage()};
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1) {
        return {};
    }
    const qulonglong intake = reply.arguments().constFirst().toULongLong();
    // Asked of the window that took them, not of whichever holds the name later.
    const QString window = reply.service();
    while (true) {
        QDBusMessage ask = QDBusMessage::createMethodCall(window, kObjectPath, serviceName(),
                                                          QStringLiteral("intakeOutcome"));
        ask << intake;
        const QDBusMessage answer = m_bus.call(ask, QDBus::Block, kHandOverTimeoutMs);
        if (answer.type() != QDBusMessage::ReplyMessage || answer.arguments().size() != 1) {
            return {Outcome::Status::Failed, 0,
                    QStringLiteral("The window closed before it had added the pictures.")};
        }
        const int added = answer.arguments().constFirst().toInt();
        if (added >= 0) {
            return {Outcome::Status::Handled, added, {}};
        }
        QThread::msleep(kOutcomePollMs);
    }
}

qulonglong WindowHandover::addPictures(const QStringList &paths)
{
    const Taken taken = take(paths);
    if (!taken.refused.isEmpty()) {
        sendErrorReply(kRefusedError, taken.refused);
    }
    return taken.intake;
}

int WindowHandover::intakeOutcome(qulonglong intake)
{
    const std::optional<int> added = outcome(intake);
    if (!added) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such intake."));
        return 0;
    }
    return *added;
}

} // namespace inkvale
