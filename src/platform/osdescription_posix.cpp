#include "platform/osdescription.h"

#include <cstdio>
#include <fstream>
#include <string_view>
#include <sys/utsname.h>

namespace inkvale::platform {
namespace {

// PRETTY_NAME of os-release, unquoted; empty when there is none.
std::string prettyName()
{
    for (const char *file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            constexpr std::string_view key = "PRETTY_NAME=";
            if (line.rfind(key, 0) != 0) {
                continue;
            }
            std::string value = line.substr(key.size());
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return {};
}

} // namespace

std::string osDescription()
{
    OsFacts facts;
    facts.name = prettyName();
    if (facts.name.empty()) {
        facts.name = "Linux";
    }
    utsname system{};
    if (uname(&system) == 0) {
        // "6.1.0-18-amd64": version 6.1, build 0.
        std::sscanf(system.release, "%u.%u.%u", &facts.major, &facts.minor, &facts.build);
        const std::string_view machine = system.machine;
        facts.is64Bit = machine.find("64") != std::string_view::npos || machine == "s390x";
    }
    return formatOsDescription(facts);
}

} // namespace inkvale::platform
