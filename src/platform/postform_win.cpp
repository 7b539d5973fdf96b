#include "platform/postform.h"
#include "platform/postformbody.h"
#include "platform/wintext_win.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <windows.h> // with wincrypt.h
#include <winhttp.h>

namespace inkvale::platform {
namespace {

class Handle
{
public:
    explicit Handle(HINTERNET handle)
        : m_handle(handle)
    {}
    ~Handle()
    {
        if (m_handle) {
            WinHttpCloseHandle(m_handle);
        }
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HINTERNET get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    // Forgets the handle, which someone else has closed.
    void release() { m_handle = nullptr; }

private:
    HINTERNET m_handle;
};

// The system's text for a WinHTTP or system error code.
std::string errorText(DWORD code)
{
    wchar_t *buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                           FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleW(L"winhttp.dll"), code, 0,
                       reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? "Error " + std::to_string(code) : wintext::toUtf8(text);
}

[[noreturn]] void failWithLastError()
{
    throw PostFormError(errorText(GetLastError()));
}

// The code page of a charset name; 0 when this program does not know it.
UINT codePageOf(const std::string &charset)
{
    if (charset == "us-ascii" || charset == "ascii") {
        return 20127;
    }
    if (charset == "iso-8859-1" || charset == "latin1") {
        return 28591;
    }
    if (charset.rfind("iso-8859-", 0) == 0) {
        const int part = std::atoi(charset.c_str() + 9);
        return part >= 2 && part <= 15 ? static_cast<UINT>(28590 + part) : 0;
    }
    if (charset.rfind("windows-", 0) == 0) {
        const int page = std::atoi(charset.c_str() + 8);
        return page >= 874 && page <= 1258 ? static_cast<UINT>(page) : 0;
    }
    if (charset == "koi8-r") {
        return 20866;
    }
    if (charset == "shift_jis") {
        return 932;
    }
    if (charset == "gbk" || charset == "gb2312") {
        return 936;
    }
    if (charset == "big5") {
        return 950;
    }
    return 0;
}

std::string toUtf8(const std::string &bytes, const std::string &charset)
{
    const UINT codePage = codePageOf(charset);
    return codePage ? wintext::toUtf8(wintext::toWide(bytes, codePage)) : bytes;
}

std::wstring queryContentType(HINTERNET request)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return {};
    }
    std::wstring type(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                             type.data(), &size, WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    type.resize(size / sizeof(wchar_t));
    return type;
}

// Whether the server's certificate is one of those in the PEM file: WinHTTP offers no way to
// add a trust anchor, so the file's certificates are compared with the server's byte for byte.
bool serverCertificateIsIn(HINTERNET request, const std::string &pemFile)
{
    const CERT_CONTEXT *server = nullptr;
    DWORD size = sizeof server;
    if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &server, &size) ||
        !server) {
        return false;
    }
    std::string pem;
    if (FILE *file = _wfopen(wintext::toWide(pemFile).c_str(), L"rb")) {
        char chunk[4096];
        size_t read;
        while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            pem.append(chunk, read);
        }
        std::fclose(file);
    }
    bool found = false;
    const std::string begin = "-----BEGIN CERTIFICATE-----";
    const std::string end = "-----END CERTIFICATE-----";
    for (size_t at = pem.find(begin); !found && at != std::string::npos;
         at = pem.find(begin, at + 1)) {
        const size_t stop = pem.find(end, at);
        if (stop == std::string::npos) {
            break;
        }
        const std::string block = pem.substr(at, stop + end.size() - at);
        DWORD length = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                  CRYPT_STRING_BASE64HEADER, nullptr, &length, nullptr, nullptr)) {
            continue;
        }
        std::string der(length, '\0');
        CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                             CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE *>(der.data()),
                             &length, nullptr, nullptr);
        found = length == server->cbCertEncoded &&
                std::memcmp(der.data(), server->pbCertEncoded, length) == 0;
    }
    CertFreeCertificateContext(server);
    return found;
}

// Closes the request's handle when `cancel` turns true, which makes a waiting WinHTTP call
// return with an error. Ends before the request's handle is closed the usual way.
class CancelWatch
{
public:
    CancelWatch(Handle &request, const std::atomic<bool> *cancel)
        : m_request(request)
    {
        if (cancel) {
            m_thread = std::thread([this, cancel] { watch(cancel); });
        }
    }
    ~CancelWatch()
    {
        if (m_thread.joinable()) {
            {
                const std::lock_guard lock(m_mutex);
                m_done = true;
            }
            m_wake.notify_all();
            m_thread.join();
        }
        if (m_cancelled) {
            m_request.release();
        }
    }
    CancelWatch(const CancelWatch &) = delete;
    CancelWatch &operator=(const CancelWatch &) = delete;

    // Throws the error of the last WinHTTP call that failed, or "Cancelled" when this closed
    // the request.
    [[noreturn]] void fail() const
    {
        const DWORD error = GetLastError();
        std::lock_guard lock(m_mutex);
        if (m_cancelled) {
            throw PostFormError("Cancelled");
        }
        throw PostFormError(errorText(error));
    }

private:
    void watch(const std::atomic<bool> *cancel)
    {
        std::unique_lock lock(m_mutex);
        while (!m_done) {
            if (cancel->load()) {
                WinHttpCloseHandle(m_request.get());
                m_cancelled = true;
                return;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(50));
        }
    }

    Handle &m_request;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    bool m_cancelled = false;
};

// A client session with the user's proxy settings (Windows 8.1 and later), else with the
// machine's WinHTTP settings.
HINTERNET openSession()
{
    const HINTERNET session = WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    return session ? session
                   : WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0);
}

} // namespace

std::string postForm(const std::string &url, const std::vector<std::string> &form, int timeoutMs,
                     const PostFormOptions &options)
{
    const bool secure = postformbody::isSecure(url);
    const std::wstring wideUrl = wintext::toWide(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = static_cast<DWORD>(-1);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) {
        failWithLastError();
    }
    if (parts.nScheme != (secure ? INTERNET_SCHEME_HTTPS : INTERNET_SCHEME_HTTP)) {
        throw PostFormError(errorText(ERROR_WINHTTP_UNRECOGNIZED_SCHEME));
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) {
        path = L"/";
    }

    const Handle session(openSession());
    if (!session ||
        !WinHttpSetTimeouts(session.get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs)) {
        failWithLastError();
    }
    const Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
    if (!connection) {
        failWithLastError();
    }
    Handle request(WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr,
                                      WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                      secure ? WINHTTP_FLAG_SECURE : 0));
    if (!request) {
        failWithLastError();
    }
    const CancelWatch watch(request, options.cancel);
    // Set on the request too: not every WinHTTP passes the session's time-outs on.
    WinHttpSetTimeouts(request.get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs);
    DWORD responseTimeout = static_cast<DWORD>(timeoutMs);
    WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout,
                     sizeof responseTimeout);
    const bool pinned = secure && !options.trustedCertificates.empty();
    if (pinned) {
        DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        WinHttpSetOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags);
    }

    std::wstring headers = L"Content-Type: " + wintext::toWide(postformbody::contentType(secure));
    if (secure) {
        headers += L"\r\nConnection: close";
    }
    const std::string body = postformbody::encode(form);
    // The body follows separately, so that a pinned certificate is checked before any of the
    // form leaves the machine.
    if (!WinHttpSendRequest(request.get(), headers.c_str(), static_cast<DWORD>(-1),
                            WINHTTP_NO_REQUEST_DATA, 0, static_cast<DWORD>(body.size()), 0)) {
        watch.fail();
    }
    if (pinned && !serverCertificateIsIn(request.get(), options.trustedCertificates)) {
        throw PostFormError(errorText(ERROR_WINHTTP_SECURE_INVALID_CA));
    }
    for (size_t sent = 0; sent < body.size();) {
        DWORD written = 0;
        if (!WinHttpWriteData(request.get(), body.data() + sent,
                              static_cast<DWORD>(body.size() - sent), &written)) {
            watch.fail();
        }
        sent += written;
    }
    if (!WinHttpReceiveResponse(request.get(), nullptr)) {
        watch.fail();
    }

    std::string answer;
    while (answer.size() < kPostFormAnswerLimit) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request.get(), &available)) {
            watch.fail();
        }
        if (available == 0) {
            break;
        }
        const size_t had = answer.size();
        available = static_cast<DWORD>(std::min<size_t>(available, kPostFormAnswerLimit - had));
        answer.resize(had + available);
        DWORD read = 0;
        if (!WinHttpReadData(request.get(), answer.data() + had, available, &read)) {
            watch.fail();
        }
        answer.resize(had + read);
    }
    return toUtf8(answer,
                  postformbody::charsetOf(wintext::toUtf8(queryContentType(request.get()))));
}

} // namespace inkvale::platform
