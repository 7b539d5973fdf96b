#include "platform/interruption.h"

#include <atomic>
#include <windows.h>

namespace inkvale::platform {
namespace {

std::atomic<bool> requested{false};

BOOL WINAPI onConsoleEvent(DWORD event)
{
    requested = true;
    // After a handler returns from a closed console, a logoff or a shutdown, Windows ends the
    // process at once. Waiting here leaves the program its grace period (seconds) to stop its
    // work; it ends when the program returns from main().
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        Sleep(INFINITE);
    }
    return TRUE;
}

} // namespace

void watchForInterruption()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interruptionRequested()
{
    return requested;
}

} // namespace inkvale::platform
