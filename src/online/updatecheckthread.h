#pragma once

#include "online/checkerrors.h"
#include "online/checkexchange.h"

#include <atomic>
#include <functional>
#include <memory>
#include <QPointer>
#include <QThread>
#include <string>

namespace inkvale {

class UpdateStore;

// Everything the update check works with; null functions and an empty description take the
// system's own (see withDefaults()).
struct UpdateCheckSetup
{
    // An empty host means no check in this run.
    CheckExchangeSetup exchange;
    std::shared_ptr<UpdateStore> store;
    // The current date in the user's short date format.
    std::function<QString()> today;
    // The machine identifier; may throw.
    std::function<std::string()> machineGuid;

    // This setup with the system's store, clock, locale, machine identifier and operating
    // system description wherever it names none; the date format is the one in effect now.
    UpdateCheckSetup withDefaults() const;
};

// The results of one check. The check thread writes them and sets checkDone last (release);
// the window reads the rest only after it has seen checkDone set (acquire).
struct CheckResults
{
    std::atomic<bool> checkDone = false;
    bool newVersionAvailable = false;
    int showUpdateSetting = 1;
    QString serverVersion;
    QString downloadUrl;
    CheckErrors errors;
    // Set by the window when it closes: a waiting request gives up.
    std::atomic<bool> cancelled = false;
};

// The update check's thread. It shares nothing with the window but the results and the store,
// which it co-owns, so a window that closes while it runs leaves it nothing freed to touch.
class UpdateCheckThread : public QThread
{
    Q_OBJECT
public:
    UpdateCheckThread(const UpdateCheckSetup &setup, std::shared_ptr<CheckResults> results);

    // Creates a checker that runs at once and deletes itself when it has finished.
    static QPointer<UpdateCheckThread> startFreeOnTerminate(const UpdateCheckSetup &setup,
                                                            std::shared_ptr<CheckResults> results);

    // One update check (on the calling thread): the schedule in the store, the exchange when
    // it is due, the decision to announce, then checkDone.
    void checkNow();

protected:
    void run() override { execute(); }

private:
    void execute();

    UpdateCheckSetup m_setup;
    std::shared_ptr<CheckResults> m_results;
};

} // namespace inkvale
