#include "platform/postform.h"
#include "platform/postformbody.h"

#include <atomic>
#include <cerrno>
#include <curl/curl.h>
#include <iconv.h>
#include <memory>
#include <mutex>

namespace inkvale::platform {
namespace {

struct EasyDeleter
{
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter
{
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};

// The body read so far; `cut` once it reached the limit and reading stopped.
struct Answer
{
    std::string body;
    bool cut = false;
};

size_t appendBody(char *data, size_t size, size_t count, void *target)
{
    auto *answer = static_cast<Answer *>(target);
    const size_t room = kPostFormAnswerLimit - answer->body.size();
    if (size * count > room) {
        answer->body.append(data, room);
        answer->cut = true;
        return 0; // ends the transfer
    }
    answer->body.append(data, size * count);
    return size * count;
}

curl_slist *append(curl_slist *list, const std::string &header)
{
    curl_slist *extended = curl_slist_append(list, header.c_str());
    if (!extended) {
        curl_slist_free_all(list);
        throw PostFormError("Out of memory");
    }
    return extended;
}

// The body as UTF-8; a charset that iconv does not know leaves the bytes as they are, and a
// byte that is not valid in the declared charset becomes U+FFFD.
std::string toUtf8(const std::string &bytes, const std::string &charset)
{
    if (charset.empty() || charset == "utf-8" || charset == "utf8") {
        return bytes;
    }
    const iconv_t converter = iconv_open("UTF-8", charset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return bytes;
    }
    std::string result;
    std::string input = bytes;
    char *in = input.data();
    size_t inLeft = input.size();
    char buffer[4096];
    while (true) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(converter, inLeft ? &in : nullptr, &inLeft, &out, &outLeft);
        const int error = errno;
        result.append(buffer, out);
        if (done != static_cast<size_t>(-1)) {
            if (inLeft == 0) {
                break;
            }
        } else if (error == EILSEQ || error == EINVAL) {
            result += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        } else if (error != E2BIG) {
            break;
        }
    }
    iconv_close(converter);
    return result;
}

struct MultiDeleter
{
    void operator()(CURLM *handle) const { curl_multi_cleanup(handle); }
};

// Runs the transfer, looking at `cancel` every 50 ms: curl's own progress callback may wait
// a second between calls.
CURLcode perform(CURL *curl, const std::atomic<bool> *cancel)
{
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK) {
        return CURLE_OUT_OF_MEMORY;
    }
    CURLcode result = CURLE_OK;
    for (int running = 1; running;) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (running && cancel && cancel->load()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (running) {
            curl_multi_poll(multi.get(), nullptr, 0, 50, nullptr);
        }
    }
    int queued = 0;
    while (const CURLMsg *message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), curl);
    return result;
}

} // namespace

std::string postForm(const std::string &url, const std::vector<std::string> &form, int timeoutMs,
                     const PostFormOptions &options)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

    const std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
    if (!handle) {
        throw PostFormError("Out of memory");
    }
    CURL *curl = handle.get();
    const bool secure = postformbody::isSecure(url);
    const std::string body = postformbody::encode(form);

    std::unique_ptr<curl_slist, ListDeleter> headers(
        append(nullptr, "Content-Type: " + postformbody::contentType(secure)));
    if (secure) {
        headers.reset(append(headers.release(), "Connection: close"));
    }
    // Suppresses curl's own "Expect: 100-continue" on long forms, a round trip that servers
    // do not all answer.
    headers.reset(append(headers.release(), "Expect:"));

    char message[CURL_ERROR_SIZE] = {};
    Answer answer;
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, secure ? "https" : "http");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    // curl bounds the whole transfer, not the wait for the response: allowing the connect time
    // on top leaves the response at least `timeoutMs` however quickly the connection came up.
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeoutMs));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 2L * timeoutMs);
    if (!options.trustedCertificates.empty()) {
        // The system's folder of certificates (CURLOPT_CAPATH) stays trusted beside this file.
        curl_easy_setopt(curl, CURLOPT_CAINFO, options.trustedCertificates.c_str());
    }

    const CURLcode result = perform(curl, options.cancel);
    if (result == CURLE_ABORTED_BY_CALLBACK) {
        throw PostFormError("Cancelled");
    }
    if (result != CURLE_OK && !(result == CURLE_WRITE_ERROR && answer.cut)) {
        throw PostFormError(message[0] ? message : curl_easy_strerror(result));
    }
    const char *type = nullptr;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type);
    return toUtf8(answer.body, postformbody::charsetOf(type ? type : ""));
}

} // namespace inkvale::platform
