#pragma once

#include "online/updatecheckthread.h"

#include <memory>
#include <QObject>
#include <QPointer>

class QAction;
class QTimer;

namespace inkvale {

// The main window's side of the update check: its timer `checkTimer` starts one check per
// run on the first tick and polls for its end once a second; then it enables the
// "Update Notifications" item (unchecked when notifications are off) and announces a new
// version. The item's clicks switch notifications for the next runs.
class UpdateChecker : public QObject
{
    Q_OBJECT
public:
    // With an empty host in `setup` no check runs and the timer stays off.
    UpdateChecker(const UpdateCheckSetup &setup, QAction *updateNotificationsAction,
                  QObject *parent = nullptr);
    // A check still running is asked to give up and given a moment to do so; it is never
    // waited for longer, and it touches nothing of this object.
    ~UpdateChecker() override;

    QTimer *checkTimer() const { return m_timer; }
    bool checkerStarted() const { return m_checkerStarted; }
    // The results of this run's check; complete once checkFinished() was emitted.
    const CheckResults &results() const { return *m_results; }

    void checkTimerFired();
    // The item's check mark has just been toggled to `checked`.
    void setNotificationsEnabled(bool checked);

signals:
    // The check found a version to announce.
    void announceUpdate(const QString &serverVersion, const QString &downloadUrl);
    // The window has taken the check's results over.
    void checkFinished();

private:
    UpdateCheckSetup m_setup;
    QAction *m_action;
    QTimer *m_timer;
    std::shared_ptr<CheckResults> m_results = std::make_shared<CheckResults>();
    QPointer<UpdateCheckThread> m_checker;
    bool m_checkerStarted = false;
};

} // namespace inkvale
