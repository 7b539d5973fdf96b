#pragma once

#include <string>
#include <string_view>
#include <vector>

// What both halves of postForm share: the request body and the reading of the answer's type.
namespace inkvale::platform::postformbody {

// Whether the url asks for a secure request: it begins with "https://" in any letter case.
bool isSecure(std::string_view url);

// The form as an application/x-www-form-urlencoded body: each line split at its first "="
// into name and value (a line without one is a name with an empty value), both encoded as
// UTF-8 bytes with the form serializer's rules (space as "+"), the pairs joined with "&".
std::string encode(const std::vector<std::string> &form);

// The content type of a request for the given kind of url.
std::string contentType(bool secure);

// The charset parameter of a Content-Type value, lower-cased and unquoted; empty when none.
std::string charsetOf(std::string_view contentType);

} // namespace inkvale::platform::postformbody
