#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace inkvale::tools {

// How alive an event loop stays: a timer of a few milliseconds notes the longest gap between
// two of its ticks while the meter runs. A gap reads up to that interval longer than the loop
// was held; unlike a zero-interval timer, the meter lets the loop sleep and so takes no core
// from the work it watches (on two cores, a spinning meter took half the machine from a
// batch's tools).
class LoopGapMeter
{
public:
    LoopGapMeter();
    void start();
    void stop() { m_ticker.stop(); }
    qint64 longestGapMs() const { return m_longest; }
    qint64 turns() const { return m_turns; }

private:
    QTimer m_ticker;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_turns = 0;
};

} // namespace inkvale::tools
