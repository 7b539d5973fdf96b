#include "platform/interruption.h"

#include <csignal>
#include <initializer_list>

namespace inkvale::platform {
namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void onSignal(int)
{
    requested = 1;
}

} // namespace

void watchForInterruption()
{
    struct sigaction action
    {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

bool interruptionRequested()
{
    return requested != 0;
}

} // namespace inkvale::platform
