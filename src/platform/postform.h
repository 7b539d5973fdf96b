#pragma once

#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace inkvale::platform {

// No response arrived (no connection, time-out, failed TLS handshake, a client error); the
// message is the HTTP client's own.
struct PostFormError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// The service answers in a few lines: reading stops after this many bytes of a body, which
// is then the answer, so that a hostile or broken server cannot fill the memory.
inline constexpr std::size_t kPostFormAnswerLimit = 64 * 1024;

struct PostFormOptions
{
    // A PEM file whose certificates are trusted besides the system's store; empty: the system's
    // store only. For tests against a local service with a certificate of its own.
    std::string trustedCertificates;
    // When this turns true (from any thread), the call gives up within about 50 ms with
    // PostFormError("Cancelled"), so that a program can end without waiting for a slow service.
    // On Windows it closes the request, which ends a waiting call (not under Wine).
    const std::atomic<bool> *cancel = nullptr;
};

// Posts `form` (ordered "name=value" lines) to `url` as an application/x-www-form-urlencoded
// body and returns the response's body decoded to UTF-8 by the charset the response declares
// (UTF-8 when it declares none); a longer body is cut at kPostFormAnswerLimit bytes. Any HTTP
// status is an answer. A url whose scheme is "https"
// (any letter case) makes a secure request, verified against the system's certificates, with
// "Connection: close" and a content type naming charset utf-8; anything else a plain one.
// Connecting and waiting for the response are each bounded by `timeoutMs`. Every call uses a
// client of its own, so nothing survives from one call to the next. Blocks; any thread.
// Throws PostFormError when no response arrives.
std::string postForm(const std::string &url, const std::vector<std::string> &form, int timeoutMs,
                     const PostFormOptions &options = {});

} // namespace inkvale::platform
