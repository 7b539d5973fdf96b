#include "platform/terminal.h"
#include "scratchfolder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>
#endif

using inkvale::platform::isTerminal;
using inkvale::platform::StandardStream;
using inkvale::test::ScratchFolder;

namespace {

enum class Target { File, Pipe, NullDevice, Terminal };

struct TerminalCase
{
    const char *label;
    StandardStream stream;
    Target target;
    bool expected;
};

#ifdef _WIN32

// Points the stream's standard handle at the target for as long as it lives.
class Redirection
{
public:
    Redirection(StandardStream stream, Target target, const ScratchFolder &scratch)
        : m_which(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE)
        , m_saved(GetStdHandle(m_which))
    {
        if (target == Target::Pipe) {
            CreatePipe(&m_read, &m_handle, nullptr, 0);
        } else if (target == Target::File || target == Target::NullDevice) {
            const std::wstring name =
                target == Target::File ? (scratch.path() / "out.txt").wstring() : L"NUL";
            m_handle = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        } else {
            return; // a console: Wine's test runs have none to hand
        }
        SetStdHandle(m_which, m_handle);
    }
    ~Redirection()
    {
        SetStdHandle(m_which, m_saved);
        for (HANDLE handle : {m_handle, m_read}) {
            if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
                CloseHandle(handle);
            }
        }
    }
    bool possible() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    DWORD m_which;
    HANDLE m_saved;
    HANDLE m_handle = nullptr;
    HANDLE m_read = nullptr;
};

#else

// Points the stream's file descriptor at the target for as long as it lives.
class Redirection
{
public:
    Redirection(StandardStream stream, Target target, const ScratchFolder &scratch)
        : m_fd(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO)
    {
        std::fflush(nullptr);
        m_saved = dup(m_fd);
        int pipeEnds[2] = {-1, -1};
        switch (target) {
        case Target::File:
            m_target = open((scratch.path() / "out.txt").c_str(), O_WRONLY | O_CREAT, 0600);
            break;
        case Target::Pipe:
            if (pipe(pipeEnds) == 0) {
                m_other = pipeEnds[0];
                m_target = pipeEnds[1];
            }
            break;
        case Target::NullDevice:
            m_target = open("/dev/null", O_WRONLY);
            break;
        case Target::Terminal:
            // A pseudo-terminal of our own: the test must not depend on how it was started.
            m_other = posix_openpt(O_RDWR | O_NOCTTY);
            if (m_other >= 0 && grantpt(m_other) == 0 && unlockpt(m_other) == 0) {
                m_target = open(ptsname(m_other), O_RDWR | O_NOCTTY);
            }
            break;
        }
        if (m_target >= 0) {
            dup2(m_target, m_fd);
        }
    }
    ~Redirection()
    {
        std::fflush(nullptr);
        dup2(m_saved, m_fd);
        for (int fd : {m_saved, m_target, m_other}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    bool possible() const { return m_target >= 0; }

private:
    int m_fd;
    int m_saved = -1;
    int m_target = -1;
    int m_other = -1;
};

#endif

class TerminalQuery : public ::testing::TestWithParam<TerminalCase>
{};

TEST_P(TerminalQuery, TellsATerminalFromFilesAndPipes)
{
    const ScratchFolder scratch;
    bool answer = false;
    bool possible = false;
    {
        const Redirection redirection(GetParam().stream, GetParam().target, scratch);
        possible = redirection.possible();
        answer = isTerminal(GetParam().stream);
    }
    if (!possible) {
        GTEST_SKIP() << "this system cannot make the target";
    }
    EXPECT_EQ(answer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, TerminalQuery,
    ::testing::Values(
        TerminalCase{"ErrorToFile", StandardStream::Error, Target::File, false},
        TerminalCase{"ErrorToPipe", StandardStream::Error, Target::Pipe, false},
        TerminalCase{"ErrorToNull", StandardStream::Error, Target::NullDevice, false},
        TerminalCase{"ErrorToTerminal", StandardStream::Error, Target::Terminal, true},
        TerminalCase{"OutputToPipe", StandardStream::Output, Target::Pipe, false},
        TerminalCase{"OutputToTerminal", StandardStream::Output, Target::Terminal, true}),
    [](const ::testing::TestParamInfo<TerminalCase> &test) { return test.param.label; });

} // namespace
