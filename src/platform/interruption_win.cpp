#include "platform/interruption.h"

#include <atomic>
#include <windows.h>

namespace inkvale::platform {
namespace {

std::atomic<bool> requested{false};

BOOL WINAPI onConsoleEvent(DWORD)
{
    requested = true;
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
