#include "platform/terminal.h"

#include <windows.h>

namespace inkvale::platform {

bool isTerminal(StandardStream stream)
{
    // A console handle answers GetConsoleMode; files, pipes and NUL do not (_isatty() would
    // take NUL for a terminal).
    const HANDLE handle =
        GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

} // namespace inkvale::platform
