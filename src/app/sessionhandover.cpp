#include "app/sessionhandover.h"

#include <QDir>

namespace inkvale {
namespace {

// Finished intakes whose outcome a start may still ask for.
constexpr std::size_t kKeptOutcomes = 256;

} // namespace

QString SessionHandover::refusal(const QStringList &paths)
{
    if (paths.size() > kMaxPaths) {
        return QStringLiteral("More than %1 paths in one call.").arg(kMaxPaths);
    }
    for (const QString &path : paths) {
        if (path.toUtf8().size() > kMaxPathBytes) {
            return QStringLiteral("A path longer than %1 bytes.").arg(kMaxPathBytes);
        }
        if (!QDir::isAbsolutePath(path)) {
            return QStringLiteral("Not an absolute path: \"%1\".").arg(path);
        }
    }
    return {};
}

SessionHandover::Outcome SessionHandover::handOver(const QStringList &paths)
{
    Outcome total;
    total.status = Outcome::Status::Handled;
    for (qsizetype first = 0; first < paths.size(); first += kMaxPaths) {
        const QStringList some = paths.mid(first, kMaxPaths);
        if (QString refused = refusal(some); !refused.isEmpty()) {
            return {Outcome::Status::Failed, 0, refused};
        }
        Outcome part = handOverPart(some);
        if (part.status == Outcome::Status::NoWindow && first > 0) {
            // Some went to the window already: the rest cannot go to a window of this start.
            part = {Outcome::Status::Failed, 0, QStringLiteral("The window did not answer.")};
        }
        if (part.status != Outcome::Status::Handled) {
            return part;
        }
        total.added += part.added;
    }
    return total;
}

SessionHandover::Taken SessionHandover::take(const QStringList &paths)
{
    if (QString refused = refusal(paths); !refused.isEmpty()) {
        return {0, refused};
    }
    if (!m_receiver) {
        return {0, QStringLiteral("The window is not ready.")};
    }
    const quint64 intake = m_receiver(paths);
    if (intake != 0) {
        m_running.insert(intake);
    }
    return {intake, {}};
}

std::optional<int> SessionHandover::outcome(quint64 intake) const
{
    if (intake == 0) {
        return 0; // no paths, nothing added
    }
    if (m_running.count(intake) != 0) {
        return -1;
    }
    const auto finished = m_finished.find(intake);
    if (finished == m_finished.end()) {
        return std::nullopt;
    }
    return finished->second;
}

void SessionHandover::intakeFinished(quint64 intake, int added)
{
    if (m_running.erase(intake) == 0) {
        return; // not handed over (a drop, the window's own start)
    }
    m_finished[intake] = added;
    while (m_finished.size() > kKeptOutcomes) {
        m_finished.erase(m_finished.begin());
    }
}

} // namespace inkvale
