#include "platform/machineid.h"

#include <cerrno>
#include <cstdio>
#include <system_error>
#include <systemd/sd-id128.h>

namespace inkvale::platform {
namespace {

// This program's own key for deriving its machine identifier; never change it, or every
// machine gets a new identifier.
constexpr sd_id128_t applicationId =
    SD_ID128_MAKE(aa, 63, 5d, 26, 7c, bb, 4b, e0, ad, f0, 46, b6, de, 96, ef, 9c);

} // namespace

std::string readMachineGuid()
{
    sd_id128_t id;
    const int result = sd_id128_get_machine_app_specific(applicationId, &id);
    if (result == -ENOENT || result == -ENOMEDIUM || result == -ENOPKG || result == -EACCES ||
        result == -EPERM) {
        return {}; // no file, an empty or "uninitialized" one, or not ours to read
    }
    if (result < 0) {
        throw std::system_error(-result, std::generic_category(), "/etc/machine-id");
    }
    char text[SD_ID128_UUID_STRING_MAX];
    std::snprintf(text, sizeof text, SD_ID128_UUID_FORMAT_STR, SD_ID128_FORMAT_VAL(id));
    return text;
}

} // namespace inkvale::platform
