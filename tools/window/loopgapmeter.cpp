#include "loopgapmeter.h"

#include <algorithm>

namespace inkvale::tools {
namespace {

constexpr int kTickMs = 5;

} // namespace

LoopGapMeter::LoopGapMeter()
{
    m_ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_ticker, &QTimer::timeout, [this] {
        const qint64 now = m_clock.elapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
        ++m_turns;
    });
}

void LoopGapMeter::start()
{
    // Gaps count from the start of each measurement, the longest over all of them.
    m_clock.start();
    m_last = 0;
    m_ticker.start(kTickMs);
}

} // namespace inkvale::tools
