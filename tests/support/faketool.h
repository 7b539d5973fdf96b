#pragma once

#include "convert/toollocation.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

namespace inkvale::test {

// A program folder whose "gmic/gmic" is a small shell script standing in for the tool.
// Every script records its arguments (NUL-separated) in gmic/args, where its first argument
// leads in gmic/input-target and what it holds in gmic/input-bytes, before it does its part.
class FakeTool
{
public:
    enum class Behaviour {
        Succeed, // writes a small PNG at the path after "-o" and says so
        // as another program would: writes the files named in gmic/take (one a line), then
        // succeeds
        TakeOutputName,
        Silent, // prints nothing, writes nothing
        Fail,   // prints an error on stderr, exits 1, writes nothing
        Slow,   // sleeps a long time (its pid in gmic/pid), never writes
        // a wrapper script, as distributions install the tool: its child sleeps a long time
        // (the child's pid in gmic/pid) while the script waits for it
        SlowWrapper,
        // as a batch of real pictures: says "converting <size of its input> bytes", waits 0
        // to 0.3 s at random, then copies its input to the output; an input marked "fail"
        // (see markForFakeTool()) fails instead, and one marked "hang" sleeps a long time
        // (its pid appended to gmic/pids). Every run appends its OMP_NUM_THREADS to
        // gmic/threads.
        RandomDelay,
        NotRunnable, // the file exists but cannot be executed
        CopyInput,   // copies the file it is given as its picture
        // writes half a PNG, says "*** Error *** ... No space left on device", exits 255
        HalfPictureThenFail,
        HalfPicture,              // writes half a PNG and exits 0
        KilledWhileWritingPicture // writes half a PNG and is killed by signal 9
    };

    explicit FakeTool(Behaviour behaviour);

    ToolLocation location() const { return ToolLocation(m_folder.path()); }
    QString programFolder() const { return m_folder.path(); }
    // The arguments of the last run; empty when the tool was not run.
    QStringList recordedArguments() const;
    // The nice value the last run had (Linux); the smallest int when unknown.
    int recordedNiceness() const;
    // The canonical path of the file the first argument named during the run.
    QString recordedInputTarget() const;
    // What that file held.
    QByteArray recordedInputBytes() const;
    // The pid in gmic/pid; 0 while there is none.
    qint64 recordedPid() const;

private:
    QTemporaryDir m_folder;
};

// Marks the picture at `path` for the RandomDelay tool (which sees only a private copy, never
// the name): bytes after the picture's end, which decoders ignore.
bool markForFakeTool(const QString &path, const QByteArray &mark);

// Whether the process has ended: gone, or a zombie that nobody reaps yet.
bool processEnded(qint64 pid);

} // namespace inkvale::test
