#include "platform/postformbody.h"

#include <algorithm>
#include <cctype>

namespace inkvale::platform::postformbody {
namespace {

char lower(char c)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), lower);
    return result;
}

void appendEncoded(std::string &out, std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '*' || c == '-' || c == '.' || c == '_') {
            out += c;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0x0F];
        }
    }
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

bool isSecure(std::string_view url)
{
    return lowered(url.substr(0, 8)) == "https://";
}

std::string encode(const std::vector<std::string> &form)
{
    std::string body;
    for (const std::string &line : form) {
        if (!body.empty()) {
            body += '&';
        }
        const auto equals = line.find('=');
        appendEncoded(body, std::string_view(line).substr(0, equals));
        body += '=';
        if (equals != std::string::npos) {
            appendEncoded(body, std::string_view(line).substr(equals + 1));
        }
    }
    return body;
}

std::string contentType(bool secure)
{
    return secure ? "application/x-www-form-urlencoded; charset=utf-8"
                  : "application/x-www-form-urlencoded";
}

std::string charsetOf(std::string_view contentType)
{
    std::string_view rest = contentType;
    while (true) {
        const auto semicolon = rest.find(';');
        if (semicolon == std::string_view::npos) {
            return {};
        }
        rest = rest.substr(semicolon + 1);
        const std::string_view parameter = trimmed(rest.substr(0, rest.find(';')));
        const auto equals = parameter.find('=');
        if (equals != std::string_view::npos &&
            lowered(trimmed(parameter.substr(0, equals))) == "charset") {
            std::string_view value = trimmed(parameter.substr(equals + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return lowered(value);
        }
    }
}

} // namespace inkvale::platform::postformbody
