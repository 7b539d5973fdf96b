#pragma once

#include "online/checkerrors.h"
#include "windowkit/makerweb.h"

#include <atomic>
#include <functional>
#include <QString>
#include <QStringList>

namespace inkvale {

// Where and how the update check asks the maker's service, and what it says about itself.
struct CheckExchangeSetup
{
    // The maker's web host, "host" or "host:port"; the form goes to checkEndpoint(host).
    QString host;
    int timeoutMs = 10000;
    // A PEM file trusted besides the system's certificates (tests only).
    QString trustedCertificates;
    // Turning true ends a waiting request (the program is closing).
    const std::atomic<bool> *cancel = nullptr;
    QString appTitle;
    QString appVersion;
    QString osDescription;
    // The "local=" value; a failure leaves the line out.
    std::function<QString()> localeCode;
};

// What a valid answer names; both empty when there was none.
struct CheckAnswer
{
    QString serverVersion;
    QString downloadUrl;
};

// The update check's endpoint on a host, without a scheme.
QString checkEndpoint(const QString &host);

// The update-check form, line by line, in the service's order.
QStringList checkForm(const QString &machineGuid, int howMany, const CheckExchangeSetup &setup,
                      CheckErrors &errors);

// Reads the service's answer (lines split at CR, LF or CR LF): a first line beginning with
// "ERROR", a fourth line whose `result` is neither "0" nor "1", or a download address that is
// not a web page on `downloadHost` (an empty one is kept: the notice then opens the maker's
// home page) records "INVALIDSERVERRESPONSE". Gives nothing when the record holds anything
// afterwards.
CheckAnswer readCheckAnswer(const QString &answer, CheckErrors &errors,
                            const QString &downloadHost = makerWebHost());

// One update-check exchange: the form to https, then, when no response came, to http (whose
// answer clears the record); every failure goes to `errors` and leaves the answer empty.
CheckAnswer runCheckExchange(const QString &machineGuid, int howMany,
                             const CheckExchangeSetup &setup, CheckErrors &errors);

} // namespace inkvale
