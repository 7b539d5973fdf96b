#pragma once

#include <string>

namespace inkvale::platform {

// One line describing the operating system, as formatOsDescription() writes it. Windows: the
// release name that the version and product type give, its version, build, service pack and
// edition. Elsewhere: the distribution's pretty name (os-release) with the kernel's version.
std::string osDescription();

// What an operating-system description is made of.
struct OsFacts
{
    std::string name;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned servicePack = 0; // 0: none
    bool is64Bit = false;
};

// name [+ " Service Pack " + n] + " (Version " + major + "." + minor + ", Build " + build + ", "
// + "64-bit Edition" or "32-bit Edition" + ")".
inline std::string formatOsDescription(const OsFacts &facts)
{
    std::string line = facts.name;
    if (facts.servicePack > 0) {
        line += " Service Pack " + std::to_string(facts.servicePack);
    }
    return line + " (Version " + std::to_string(facts.major) + "." + std::to_string(facts.minor) +
           ", Build " + std::to_string(facts.build) + ", " +
           (facts.is64Bit ? "64-bit Edition" : "32-bit Edition") + ")";
}

// The name of a Windows release by its version and product type; "Windows" for a version
// without a name of its own. Later releases with version 10.0 count as Windows 10 or
// Windows Server 2016.
inline std::string windowsReleaseName(unsigned major, unsigned minor, bool workstation,
                                      bool serverR2)
{
    struct Release
    {
        unsigned major;
        unsigned minor;
        const char *workstation;
        const char *server;
    };
    static const Release releases[] = {
        {5, 0, "Windows 2000", "Windows 2000"},
        {5, 1, "Windows XP", "Windows XP"},
        {5, 2, "Windows XP", "Windows Server 2003"}, // the workstation is XP x64
        {6, 0, "Windows Vista", "Windows Server 2008"},
        {6, 1, "Windows 7", "Windows Server 2008 R2"},
        {6, 2, "Windows 8", "Windows Server 2012"},
        {6, 3, "Windows 8.1", "Windows Server 2012 R2"},
        {10, 0, "Windows 10", "Windows Server 2016"},
    };
    for (const Release &release : releases) {
        if (release.major == major && release.minor == minor) {
            if (!workstation && serverR2 && major == 5 && minor == 2) {
                return "Windows Server 2003 R2";
            }
            return workstation ? release.workstation : release.server;
        }
    }
    return "Windows";
}

} // namespace inkvale::platform
