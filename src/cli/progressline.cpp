#include "cli/progressline.h"

namespace inkvale {
namespace {

constexpr int kRedrawMs = 1000;

// "0:07", "12:30", "1:02:03".
QString duration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    const qint64 hours = seconds / 3600;
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(hours > 0 ? (seconds / 60) % 60 : seconds / 60,
                                               hours > 0 ? 2 : 1, 10, QLatin1Char('0'))
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QString::number(hours) + QLatin1Char(':') + minutesAndSeconds
                     : minutesAndSeconds;
}

} // namespace

ProgressLine::ProgressLine(QTextStream &stream, QObject *parent)
    : QObject(parent)
    , m_stream(stream)
{
    connect(&m_ticker, &QTimer::timeout, this, &ProgressLine::redraw);
}

void ProgressLine::start()
{
    m_clock.start();
    m_ticker.start(kRedrawMs);
}

void ProgressLine::update(int done, int total)
{
    m_done = done;
    m_total = total;
    redraw();
}

void ProgressLine::clear()
{
    if (m_shownLength == 0) {
        return;
    }
    // Spaces rather than an erase sequence: every terminal and console understands them.
    m_stream << '\r' << QString(m_shownLength, QLatin1Char(' ')) << '\r' << Qt::flush;
    m_shownLength = 0;
}

void ProgressLine::redraw()
{
    if (!m_clock.isValid()) {
        return;
    }
    const QString line = text(m_done, m_total, m_clock.elapsed());
    const qsizetype leftOver = qMax<qsizetype>(0, m_shownLength - line.size());
    m_stream << '\r' << line << QString(leftOver, QLatin1Char(' ')) << Qt::flush;
    m_shownLength = line.size() + leftOver;
}

QString ProgressLine::text(int done, int total, qint64 elapsedMs)
{
    QString line =
        QStringLiteral("%1/%2 pictures, %3 elapsed").arg(done).arg(total).arg(duration(elapsedMs));
    if (done > 0 && done < total) {
        const qint64 leftMs = elapsedMs * (total - done) / done;
        line += QStringLiteral(", about %1 left").arg(duration(leftMs));
    }
    return line;
}

} // namespace inkvale
