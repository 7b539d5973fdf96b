#include "platform/interruption.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace {

using inkvale::platform::interruptionRequested;
using inkvale::platform::watchForInterruption;

// A termination request as the system delivers it to a console program.
struct Request
{
    const char *name;
    unsigned kind;
};

#ifdef _WIN32

// Sent on a console of the process's own, so that no other program receives it. Wine cannot
// send Ctrl+Break, and nothing sends a closed console.
const Request kRequests[] = {{"CtrlC", CTRL_C_EVENT}};

bool send(unsigned kind)
{
    FreeConsole();
    return AllocConsole() && GenerateConsoleCtrlEvent(kind, 0);
}

#else

const Request kRequests[] = {{"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}};

bool send(unsigned kind)
{
    return std::raise(static_cast<int>(kind)) == 0;
}

#endif

// A console event is handled on a thread of its own, so it may take a moment.
bool noticed()
{
    for (int i = 0; i < 500 && !interruptionRequested(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return interruptionRequested();
}

TEST(Interruption, NothingRequestedAtFirst)
{
    watchForInterruption();
    EXPECT_FALSE(interruptionRequested());
}

class InterruptionRequest : public ::testing::TestWithParam<Request>
{};

// In a child process each, since the request cannot be taken back: the program is not ended
// by it, and sees it.
TEST_P(InterruptionRequest, IsNoticedAndTheProgramGoesOn)
{
    const unsigned kind = GetParam().kind;
    EXPECT_EXIT(
        {
            watchForInterruption();
            if (!send(kind)) {
                std::_Exit(2);
            }
            std::_Exit(noticed() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Requests, InterruptionRequest, ::testing::ValuesIn(kRequests),
                         [](const ::testing::TestParamInfo<Request> &test) {
                             return std::string(test.param.name);
                         });

} // namespace
