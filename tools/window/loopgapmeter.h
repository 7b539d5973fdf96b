#pragma once

#include <QElapsedTimer>
#include <QTimer>

namespace inkvale::tools {

// How alive an event loop stays: a zero-interval timer notes the longest gap between two of
// its turns while the meter runs.
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
