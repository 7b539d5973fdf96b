#include "platform/machineid.h"
#include "platform/wintext_win.h"

#include <string>
#include <system_error>
#include <windows.h>

namespace inkvale::platform {

std::string readMachineGuid()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, L"MachineGuid", nullptr, &type, nullptr, &size);
    std::wstring value;
    if (status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        value.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, L"MachineGuid", nullptr, &type,
                                  reinterpret_cast<BYTE *>(value.data()), &size);
        value.resize(size / sizeof(wchar_t));
    } else if (status == ERROR_SUCCESS) {
        status = ERROR_INVALID_DATATYPE; // not a string
    }
    RegCloseKey(key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return {}; // no such value reads as empty
    }
    if (status != ERROR_SUCCESS) {
        throw std::system_error(static_cast<int>(status), std::system_category(), "MachineGuid");
    }
    while (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return wintext::toUtf8(value);
}

} // namespace inkvale::platform
