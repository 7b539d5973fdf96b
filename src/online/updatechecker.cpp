#include "online/updatechecker.h"

#include "online/updatestore.h"

#include <QAction>
#include <QTimer>

namespace inkvale {

UpdateChecker::UpdateChecker(const UpdateCheckSetup &setup, QAction *updateNotificationsAction,
                             QObject *parent)
    : QObject(parent)
    , m_setup(setup.exchange.host.isEmpty() ? setup : setup.withDefaults())
    , m_action(updateNotificationsAction)
    , m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("checkTimer"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &UpdateChecker::checkTimerFired);
    if (!m_setup.exchange.host.isEmpty()) {
        m_timer->start();
    }
}

UpdateChecker::~UpdateChecker()
{
    if (m_checker) {
        m_results->cancelled.store(true);
        // A cancelled request ends within a fraction of a second; should it not, the thread
        // finishes on its own, holding its own share of everything it uses.
        m_checker->wait(2000);
    }
}

void UpdateChecker::checkTimerFired()
{
    if (!m_checkerStarted) {
        m_checkerStarted = true;
        m_checker = UpdateCheckThread::startFreeOnTerminate(m_setup, m_results);
        return;
    }
    if (!m_results->checkDone.load(std::memory_order_acquire)) {
        return;
    }
    m_timer->stop();
    m_action->setEnabled(true);
    if (m_results->showUpdateSetting == 0) {
        m_action->setChecked(false);
    }
    if (m_results->newVersionAvailable) {
        emit announceUpdate(m_results->serverVersion, m_results->downloadUrl);
    }
    emit checkFinished();
}

void UpdateChecker::setNotificationsEnabled(bool checked)
{
    // The store the check opened; this run's showUpdateSetting stays as it was.
    if (!m_setup.store) {
        return; // no check in this run
    }
    m_setup.store->write(QStringLiteral("ShowUpdate"),
                         checked ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace inkvale
