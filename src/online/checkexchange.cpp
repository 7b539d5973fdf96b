#include "online/checkexchange.h"

#include "online/tagvalue.h"
#include "platform/postform.h"

#include <QRegularExpression>
#include <typeinfo>
#if __has_include(<cxxabi.h>)
#include <cstdlib>
#include <cxxabi.h>
#endif

namespace inkvale {
namespace {

// The readable name of an exception's type, for the failure record.
QString typeName(const std::exception &error)
{
    const char *name = typeid(error).name();
#if __has_include(<cxxabi.h>)
    int status = 0;
    char *demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (status == 0 && demangled) {
        const QString readable = QString::fromUtf8(demangled);
        std::free(demangled);
        return readable;
    }
#endif
    return QString::fromUtf8(name);
}

QString post(const QString &scheme, const QStringList &form, const CheckExchangeSetup &setup)
{
    std::vector<std::string> lines;
    for (const QString &line : form) {
        lines.push_back(line.toStdString());
    }
    platform::PostFormOptions options;
    options.trustedCertificates = setup.trustedCertificates.toStdString();
    options.cancel = setup.cancel;
    return QString::fromStdString(platform::postForm(
        (scheme + checkEndpoint(setup.host)).toStdString(), lines, setup.timeoutMs, options));
}

} // namespace

QString checkEndpoint(const QString &host)
{
    return host + QStringLiteral("/php/check2.php");
}

QStringList checkForm(const QString &machineGuid, int howMany, const CheckExchangeSetup &setup,
                      CheckErrors &errors)
{
    QStringList form{QStringLiteral("cmd=check"), QStringLiteral("appname=") + setup.appTitle,
                     QStringLiteral("version=") + setup.appVersion,
                     QStringLiteral("os=") + setup.osDescription};
    try {
        form << QStringLiteral("local=") + setup.localeCode();
    } catch (...) {
        errors.add(QStringLiteral("Error: LocaleName2 problem!"));
    }
    form << QStringLiteral("guid=") + machineGuid
         << QStringLiteral("howmany=") + QString::number(howMany);
    return form;
}

CheckAnswer readCheckAnswer(const QString &answer, CheckErrors &errors, const QString &downloadHost)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = answer.split(lineBreak);
    if (lines.value(0).startsWith(QStringLiteral("ERROR"))) {
        errors.add(QStringLiteral("INVALIDSERVERRESPONSE"));
    }
    if (errors.any()) {
        return {};
    }
    const QString status = readTagValue(lines.value(3), QStringLiteral("result"));
    if (status != QStringLiteral("0") && status != QStringLiteral("1")) {
        errors.add(QStringLiteral("INVALIDSERVERRESPONSE"));
        return {};
    }
    const QString url = readTagValue(lines.value(1), QStringLiteral("url"));
    if (!url.isEmpty() && !isMakerAddress(url, downloadHost)) {
        errors.add(QStringLiteral("INVALIDSERVERRESPONSE"));
        return {};
    }
    return {readTagValue(lines.value(0), QStringLiteral("version")), url};
}

CheckAnswer runCheckExchange(const QString &machineGuid, int howMany,
                             const CheckExchangeSetup &setup, CheckErrors &errors)
{
    try {
        const QStringList form = checkForm(machineGuid, howMany, setup, errors);
        QString answer;
        try {
            answer = post(QStringLiteral("https://"), form, setup);
        } catch (const platform::PostFormError &secure) {
            errors.add(QStringLiteral("HTTPS Response:\r") + QString::fromUtf8(secure.what()));
            try {
                answer = post(QStringLiteral("http://"), form, setup);
                errors.clear();
            } catch (const platform::PostFormError &plain) {
                errors.add(QStringLiteral("HTTP Response:\r") + QString::fromUtf8(plain.what()));
            }
        }
        return readCheckAnswer(answer, errors);
    } catch (const std::exception &error) {
        errors.add(typeName(error) + QStringLiteral(" Error:\r") + QString::fromUtf8(error.what()));
        return {};
    }
}

} // namespace inkvale
