#include "support/faketool.h"

#include "support/testenvironment.h"

#include <limits>
#include <QDir>
#include <QFile>

namespace inkvale::test {
namespace {

const char *const kRecord = R"(#!/bin/sh
here=$(dirname "$0")
for a in "$@"; do printf '%s\0' "$a"; done > "$here/args"
# Inkvale's recipes come first (-m FILE), then the whole picture's size for a region.
if [ "$1" = -m ]; then shift 2; fi
case "$1" in _inkvale_scaled_for=*) shift ;; esac
readlink -f -- "$1" > "$here/input-target"
cat -- "$1" > "$here/input-bytes" 2>/dev/null
( read -r s < /proc/$$/stat; set -- ${s##*) }; echo "${17}" > "$here/nice" ) 2>/dev/null
)";

// The first half of a PNG, as a tool leaves it when it stops writing.
const QByteArray kHalfPicture =
    "head -c $(($(wc -c < \"$here/picture.png\") / 2)) \"$here/picture.png\" > \"$5\"\n";

QByteArray actions(FakeTool::Behaviour behaviour)
{
    switch (behaviour) {
    case FakeTool::Behaviour::Succeed:
    case FakeTool::Behaviour::NotRunnable:
        return "echo \"fake tool: writing $5\"\ncp \"$here/picture.png\" \"$5\"\n";
    case FakeTool::Behaviour::TakeOutputName:
        return "while IFS= read -r f || [ -n \"$f\" ]; do echo 'written meanwhile' > \"$f\"; "
               "done < \"$here/take\"\n"
               "cp \"$here/picture.png\" \"$5\"\n";
    case FakeTool::Behaviour::Silent:
        return "exit 0\n";
    case FakeTool::Behaviour::Fail:
        return "echo \"*** Error *** fake tool cannot read '$1'\" >&2\nexit 1\n";
    case FakeTool::Behaviour::Slow:
        return "echo $$ > \"$here/pid\"\nexec sleep 30\n";
    case FakeTool::Behaviour::SlowWrapper:
        return "sh -c 'echo $$ > \"$1/pid\"; exec sleep 30' child \"$here\" &\nwait\n";
    case FakeTool::Behaviour::RandomDelay:
        return R"script(echo "${OMP_NUM_THREADS-unset}" >> "$here/threads"
mark=$(grep -ao 'fake-tool-[a-z]*' -- "$1" | head -n 1)
echo "fake tool: converting $(wc -c < "$1") bytes"
case "$mark" in fake-tool-hang) echo $$ >> "$here/pids"; exec sleep 30 ;; esac
sleep "0.$(($(od -An -N1 -tu1 /dev/urandom) % 4))"
case "$mark" in fake-tool-fail) echo "*** Error *** fake tool cannot read '$1'" >&2; exit 1 ;; esac
cp -- "$1" "$5"
)script";
    case FakeTool::Behaviour::CopyInput:
        return "cp \"$1\" \"$5\"\n";
    case FakeTool::Behaviour::HalfPictureThenFail:
        return kHalfPicture +
               "echo \"*** Error *** fake tool: No space left on device\" >&2\nexit 255\n";
    case FakeTool::Behaviour::HalfPicture:
        return kHalfPicture;
    case FakeTool::Behaviour::KilledWhileWritingPicture:
        return kHalfPicture + "kill -9 $$\n";
    }
    return "";
}

} // namespace

FakeTool::FakeTool(Behaviour behaviour)
{
    QDir(m_folder.path()).mkpath(QStringLiteral("gmic"));
    const QString toolFolder = m_folder.filePath(QStringLiteral("gmic"));
    writePicture(toolFolder + QStringLiteral("/picture.png"), 24, 16);
    QFile script(toolFolder + QStringLiteral("/gmic"));
    if (script.open(QIODevice::WriteOnly)) {
        script.write(kRecord);
        script.write(actions(behaviour));
        script.close();
    }
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (behaviour != Behaviour::NotRunnable) {
        permissions |= QFile::ExeOwner;
    }
    script.setPermissions(permissions);
}

QStringList FakeTool::recordedArguments() const
{
    QFile file(m_folder.filePath(QStringLiteral("gmic/args")));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList arguments;
    for (const QByteArray &argument : file.readAll().split('\0')) {
        arguments.append(QString::fromUtf8(argument));
    }
    arguments.removeLast(); // after the final terminator
    return arguments;
}

int FakeTool::recordedNiceness() const
{
    QFile file(m_folder.filePath(QStringLiteral("gmic/nice")));
    bool ok = false;
    const int niceness = file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt(&ok) : 0;
    return ok ? niceness : std::numeric_limits<int>::min();
}

QString FakeTool::recordedInputTarget() const
{
    QFile file(m_folder.filePath(QStringLiteral("gmic/input-target")));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).trimmed();
}

QByteArray FakeTool::recordedInputBytes() const
{
    QFile file(m_folder.filePath(QStringLiteral("gmic/input-bytes")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 FakeTool::recordedPid() const
{
    QFile file(m_folder.filePath(QStringLiteral("gmic/pid")));
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return file.readAll().trimmed().toLongLong();
}

bool markForFakeTool(const QString &path, const QByteArray &mark)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write("fake-tool-" + mark) > 0;
}

bool processEnded(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    // "pid (name) state ...": the name may hold blanks and parentheses.
    const QByteArray text = stat.readAll();
    const qsizetype nameEnd = text.lastIndexOf(')');
    return nameEnd < 0 || text.mid(nameEnd + 2, 1) == "Z";
}

} // namespace inkvale::test
