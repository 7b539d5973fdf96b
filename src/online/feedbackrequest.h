#pragma once

#include "platform/postform.h"

#include <QString>
#include <string>
#include <vector>

namespace inkvale {

struct AppIdentity;

// Which marker the user selected in the feedback window.
enum class FeedbackMarker { None, Like, Dislike };

// Where feedback goes: the maker's web host and path without a scheme; "https://" and then
// "http://" are put in front of it.
struct FeedbackEndpoint
{
    QString address;
    // Certificates to trust besides the system's (tests with a local service only).
    platform::PostFormOptions options;
};

// The feedback endpoint on `host`: host + "/php/feedback.php".
FeedbackEndpoint feedbackEndpoint(const QString &host);

// The marker's words ("I like it!" / "I dislike it!") and one carriage return, then
// `trimmedText`; `trimmedText` alone without a marker.
QString composeFeedbackText(FeedbackMarker marker, const QString &trimmedText);

// The regular expression a non-empty e-mail address must match.
const char *feedbackEmailPattern();

// Whether a trimmed, non-empty e-mail address matches feedbackEmailPattern().
bool isValidFeedbackEmail(const QString &address);

// The form lines in their order; "email=" only for a non-empty address.
std::vector<std::string> feedbackFormLines(const AppIdentity &identity, const QString &feedbackText,
                                           const QString &email);

// Posts the form over https, and over http when no response arrives, each bounded by
// `timeoutMs`; true when the answer is "OK" after trimming. Every failure is false. Blocks;
// any thread.
bool sendFeedbackForm(const FeedbackEndpoint &endpoint, const std::vector<std::string> &form,
                      int timeoutMs = 3000);

} // namespace inkvale
