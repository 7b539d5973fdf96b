#include "online/feedbackrequest.h"

#include "online/pcre2pattern.h"
#include "online/trimblanks.h"
#include "windowkit/appidentity.h"

namespace inkvale {
namespace {

// Case-sensitive as written, with PCRE semantics.
const char kEmailPattern[] = R"(^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\.[a-zA-Z0-9-.]*[a-zA-Z0-9]+$)";

std::string formLine(const char *name, const QString &value)
{
    return std::string(name) + '=' + value.toStdString();
}

} // namespace

const char *feedbackEmailPattern()
{
    return kEmailPattern;
}

FeedbackEndpoint feedbackEndpoint(const QString &host)
{
    return {host + QStringLiteral("/php/feedback.php"), {}};
}

QString composeFeedbackText(FeedbackMarker marker, const QString &trimmedText)
{
    switch (marker) {
    case FeedbackMarker::Like:
        return QStringLiteral("I like it!\r") + trimmedText;
    case FeedbackMarker::Dislike:
        return QStringLiteral("I dislike it!\r") + trimmedText;
    case FeedbackMarker::None:
        break;
    }
    return trimmedText;
}

bool isValidFeedbackEmail(const QString &address)
{
    static const Pcre2Pattern pattern(feedbackEmailPattern());
    return pattern.matches(address.toStdString());
}

std::vector<std::string> feedbackFormLines(const AppIdentity &identity, const QString &feedbackText,
                                           const QString &email)
{
    std::vector<std::string> lines{"cmd=feedback", formLine("appname", identity.appTitle),
                                   formLine("version", identity.appVersion),
                                   formLine("feedback", feedbackText)};
    if (!email.isEmpty()) {
        lines.push_back(formLine("email", email));
    }
    return lines;
}

bool sendFeedbackForm(const FeedbackEndpoint &endpoint, const std::vector<std::string> &form,
                      int timeoutMs)
{
    // Whatever goes wrong, here or in the client, is an undelivered feedback.
    try {
        const std::string address = endpoint.address.toStdString();
        std::string answer;
        try {
            answer = platform::postForm("https://" + address, form, timeoutMs, endpoint.options);
        } catch (const std::exception &) {
            answer = platform::postForm("http://" + address, form, timeoutMs, endpoint.options);
        }
        return trimBlanks(QString::fromStdString(answer)) == QStringLiteral("OK");
    } catch (...) {
        return false;
    }
}

} // namespace inkvale
