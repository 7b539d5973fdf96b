#include "online/updatecheckthread.h"

#include "online/localecode.h"
#include "online/settingsupdatestore.h"
#include "online/updatestore.h"
#include "platform/machineid.h"
#include "platform/osdescription.h"

#include <algorithm>
#include <limits>
#include <QDate>
#include <QLocale>
#include <QRegularExpression>

namespace inkvale {
namespace {

// A whole number in decimal text that fits 32 bits, nothing around it; nothing otherwise.
std::optional<int> wholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("\\A[+-]?[0-9]+\\z"));
    bool ok = false;
    const int number = digits.match(text).hasMatch() ? text.toInt(&ok) : 0;
    return ok ? std::optional<int>(number) : std::nullopt;
}

int readNumber(const UpdateStore &store, const QString &name, int fallback)
{
    return wholeNumber(store.read(name).value_or(QString())).value_or(fallback);
}

} // namespace

UpdateCheckSetup UpdateCheckSetup::withDefaults() const
{
    UpdateCheckSetup setup = *this;
    if (!setup.store) {
        setup.store = std::make_shared<SettingsUpdateStore>();
    }
    if (!setup.today) {
        // The short date format of the program's start, so that a change of it later in the
        // run does not matter.
        const QLocale locale = QLocale::system();
        const QString format = locale.dateFormat(QLocale::ShortFormat);
        setup.today = [locale, format] {
            return locale.toString(QDate::currentDate(), format);
        };
    }
    if (!setup.machineGuid) {
        setup.machineGuid = platform::readMachineGuid;
    }
    if (!setup.exchange.localeCode) {
        const QString code = localeCode();
        setup.exchange.localeCode = [code] {
            return code;
        };
    }
    if (setup.exchange.osDescription.isEmpty()) {
        setup.exchange.osDescription = QString::fromStdString(platform::osDescription());
    }
    return setup;
}

UpdateCheckThread::UpdateCheckThread(const UpdateCheckSetup &setup,
                                     std::shared_ptr<CheckResults> results)
    : m_setup(setup)
    , m_results(std::move(results))
{
    m_setup.exchange.cancel = &m_results->cancelled;
}

QPointer<UpdateCheckThread>
UpdateCheckThread::startFreeOnTerminate(const UpdateCheckSetup &setup,
                                        std::shared_ptr<CheckResults> results)
{
    auto *checker = new UpdateCheckThread(setup, std::move(results));
    connect(checker, &QThread::finished, checker, &QObject::deleteLater);
    checker->start();
    return checker;
}

void UpdateCheckThread::execute()
{
    m_results->checkDone.store(false, std::memory_order_relaxed);
    checkNow();
}

void UpdateCheckThread::checkNow()
{
    CheckResults &results = *m_results;
    UpdateStore &store = *m_setup.store;
    const QString &appVersion = m_setup.exchange.appVersion;

    results.errors.clear();
    QString machineGuid;
    try {
        machineGuid = QString::fromStdString(m_setup.machineGuid());
    } catch (...) {
        results.errors.add(QStringLiteral("Error: GUID generate problem!"));
    }
    if (!store.open()) {
        results.errors.add(QStringLiteral("Error: Registry open problem!"));
    }

    const QString lastCheck = store.read(QStringLiteral("LastUpdateCheck")).value_or(QString());
    int count = readNumber(store, QStringLiteral("LastUpdateCheckCount"), 0);
    const QString installed = store.read(QStringLiteral("InstalledVersion")).value_or(QString());

    int howMany = std::max(0, readNumber(store, QStringLiteral("HowMany"), 0));
    if (installed != appVersion) {
        howMany = 0;
    }
    // A counter at its limit stays there rather than turning negative.
    howMany = howMany == std::numeric_limits<int>::max() ? howMany : howMany + 1;
    store.write(QStringLiteral("HowMany"), QString::number(howMany));
    store.write(QStringLiteral("InstalledVersion"), appVersion);

    results.showUpdateSetting = readNumber(store, QStringLiteral("ShowUpdate"), 1);
    const QString today = m_setup.today();
    const bool due = results.showUpdateSetting != 0 && !(lastCheck == today && count >= 5);
    if (due) {
        count = lastCheck == today ? count + 1 : 1;
        store.write(QStringLiteral("LastUpdateCheck"), today);
        store.write(QStringLiteral("LastUpdateCheckCount"), QString::number(count));

        const CheckAnswer answer =
            runCheckExchange(machineGuid, howMany, m_setup.exchange, results.errors);
        results.serverVersion = answer.serverVersion;
        results.downloadUrl = answer.downloadUrl;
        if (!results.errors.any()) {
            store.write(QStringLiteral("CurrentVersion"), results.serverVersion);
        }

        // The check does not order versions: any other one is announced, if it is a number.
        const bool numbered =
            wholeNumber(QString(results.serverVersion).remove(QLatin1Char('.'))).has_value();
        if (!results.errors.any() && results.serverVersion != appVersion && numbered &&
            results.showUpdateSetting == 1 && (lastCheck != today || count <= 3)) {
            results.newVersionAvailable = true;
        }
    }
    results.checkDone.store(true, std::memory_order_release);
}

} // namespace inkvale
