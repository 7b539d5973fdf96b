#pragma once

#include "scratchfolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace inkvale::test {

// The local stand-in for the maker's web service (tools/webstandin), started for the platform
// tests by a ctest fixture that names its state folder in INKVALE_WEBSTANDIN_DIR. Portable, so
// that the Windows build reaches it from under Wine too.
class WebStandIn
{
public:
    // One request as the stand-in received it.
    struct Received
    {
        std::string scheme; // "http" or "https"
        std::string method;
        std::string path;
        std::string contentType;
        std::string headers; // the raw header lines, "Name: value\n" each
        std::string body;    // the raw bytes
    };

    // The stand-in of this test run; available() is false when no fixture started one.
    WebStandIn()
    {
        if (const char *folder = std::getenv("INKVALE_WEBSTANDIN_DIR")) {
            m_state = folder;
        }
    }

    bool available() const { return !m_state.empty() && std::filesystem::exists(m_state / "port"); }
    // "127.0.0.1:<port>": plain and TLS on the same port.
    std::string host() const { return "127.0.0.1:" + readFile(m_state / "port"); }
    std::string certificate() const { return (m_state / "certificate.pem").string(); }

    // Sets how the stand-in answers (see tools/webstandin/webstandin.py for the JSON) and
    // forgets what it received so far.
    void behave(const std::string &json) const
    {
        std::filesystem::remove_all(m_state / "requests");
        const auto temporary = m_state / "behaviour.json.tmp";
        std::ofstream(temporary, std::ios::binary | std::ios::trunc) << json;
        std::filesystem::rename(temporary, m_state / "behaviour.json");
    }

    // What was received since the last behave(), oldest first.
    std::vector<Received> received() const
    {
        std::vector<std::filesystem::path> folders;
        std::error_code ignored;
        for (const auto &entry :
             std::filesystem::directory_iterator(m_state / "requests", ignored)) {
            if (entry.path().filename().string().front() != '.') {
                folders.push_back(entry.path());
            }
        }
        std::sort(folders.begin(), folders.end());
        std::vector<Received> requests;
        for (const auto &folder : folders) {
            requests.push_back({readFile(folder / "scheme"), readFile(folder / "method"),
                                readFile(folder / "path"), readFile(folder / "content-type"),
                                readFile(folder / "headers"), readFile(folder / "body")});
        }
        return requests;
    }

    // `text` as a JSON string literal, quotes included.
    static std::string json(const std::string &text)
    {
        std::string quoted = "\"";
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += c;
            } else if (byte < 0x20) {
                static const char digits[] = "0123456789abcdef";
                quoted += "\\u00";
                quoted += digits[byte >> 4];
                quoted += digits[byte & 0x0F];
            } else {
                quoted += c;
            }
        }
        return quoted + '"';
    }

private:
    std::filesystem::path m_state;
};

} // namespace inkvale::test
