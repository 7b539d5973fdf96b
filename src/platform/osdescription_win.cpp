#include "platform/osdescription.h"

#include <windows.h>

namespace inkvale::platform {

std::string osDescription()
{
    // RtlGetVersion tells the true version; GetVersionEx stops at what the manifest admits.
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof version;
    using RtlGetVersion = LONG(WINAPI *)(OSVERSIONINFOEXW *);
    const auto rtlGetVersion = reinterpret_cast<RtlGetVersion>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&version) != 0) {
        version = {};
    }
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);

    OsFacts facts;
    facts.major = version.dwMajorVersion;
    facts.minor = version.dwMinorVersion;
    facts.build = version.dwBuildNumber;
    facts.servicePack = version.wServicePackMajor;
    facts.is64Bit = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                    system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ||
                    system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
    facts.name =
        windowsReleaseName(facts.major, facts.minor, version.wProductType == VER_NT_WORKSTATION,
                           GetSystemMetrics(SM_SERVERR2) != 0);
    return formatOsDescription(facts);
}

} // namespace inkvale::platform
