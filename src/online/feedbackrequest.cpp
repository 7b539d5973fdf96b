#include "online/feedbackrequest.h"

#include "app/appidentity.h"
#include "online/pcre2pattern.h"
#include "online/trimblanks.h"

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

QString ComposeFeedbackText(FeedbackMarker marker, const QString &trimmedText)
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

bool IsValidFeedbackEmail(const QString &address)
{
    static const Pcre2Pattern pattern(feedbackEmailPattern());
    return pattern.matches(address.toStdString());
}

std::vector<std::string> FeedbackFormLines(const AppIdentity &identity, const QString &feedbackText,
                                           const QString &email)
{
    std::vector<std::string> lines{"cmd=feedback", formLine("appname", identity.AppTitle),
                                   formLine("version", identity.AppVersion),
                                   formLine("feedback", feedbackText)};
    if (!email.isEmpty()) {
        lines.push_back(formLine("email", email));
    }
    return lines;
}

bool SendFeedbackForm(const FeedbackEndpoint &endpoint, const std::vector<std::string> &form,
                      int timeoutMs)
{
    // Whatever goes wrong, here or in the client, is an undelivered feedback.
    try {
        const std::string address = endpoint.address.toStdString();
        std::string answer;
        try {
            answer = platform::PostForm("https://" + address, form, timeoutMs, endpoint.options);
        } catch (const std::exception &) {
            answer = platform::PostForm("http://" + address, form, timeoutMs, endpoint.options);
        }
        return TrimBlanks(QString::fromStdString(answer)) == QStringLiteral("OK");
    } catch (...) {
        return false;
    }
}

} // namespace inkvale
