#pragma once

#include <string>

namespace inkvale::platform {

// The identifier of this machine as lower-case GUID text without braces. Windows: the
// "MachineGuid" value of HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Cryptography (64-bit view),
// exactly as stored. Elsewhere: an identifier derived for this program from /etc/machine-id
// by the system's rule for application-specific IDs, because the machine ID itself is
// confidential. Empty when the source cannot be opened or holds no identifier; throws
// std::system_error when reading it fails.
std::string readMachineGuid();

} // namespace inkvale::platform
