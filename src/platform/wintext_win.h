#pragma once

// Text conversions that the Windows halves of the platform layer share.
#include <string>
#include <string_view>
#include <windows.h>

namespace inkvale::platform::wintext {

// UTF-16 as UTF-8.
inline std::string toUtf8(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return {};
    }
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
    return result;
}

// Text in the given code page (UTF-8 by default) as UTF-16; invalid bytes become U+FFFD.
inline std::wstring toWide(std::string_view text, UINT codePage = CP_UTF8)
{
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) {
        return {};
    }
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        size);
    return result;
}

} // namespace inkvale::platform::wintext
