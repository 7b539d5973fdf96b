#include "platform/terminal.h"

#include <unistd.h>

namespace inkvale::platform {

bool isTerminal(StandardStream stream)
{
    return isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace inkvale::platform
