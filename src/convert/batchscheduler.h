#pragma once

#include <cstdint>
#include <optional>
#include <QString>

namespace inkvale {

// Decides when a batch's next picture starts: at most a fixed number at once, or, by default,
// when its tool fits beside those running in the machine's cores and available memory (see
// anotherConversionFits()). Knows nothing of processes: the batch tells it what starts and
// ends.
class BatchScheduler
{
public:
    // How a picture that may start is to run.
    struct Start
    {
        // Its tool's need by toolMemoryEstimate().
        std::uint64_t memory = 0;
        // How many conversions of its kind run side by side, for the tool's share of cores.
        int conversions = 1;
        // The tool's threads (OMP_NUM_THREADS).
        int toolThreads = 1;
        // What the tool may take (see memoryRefusal()), measured once before the batch's
        // own tools took their share; 0 when unknown.
        std::uint64_t memoryBudget = 0;
    };

    // `jobs` at most at once, 0 to let the machine decide; `availableMemory` in bytes, 0
    // when unknown.
    BatchScheduler(int jobs, int cores, std::uint64_t availableMemory);

    // How a picture of `pixels` with `effect` starts now, or nothing while it must wait. A
    // picture too large for the machine starts at once, whatever the jobs: its conversion
    // refuses it before the tool would take anything.
    std::optional<Start> admit(qint64 pixels, const QString &effect) const;
    void started(const Start &start);
    void ended(const Start &start);
    int inWork() const { return m_inWork; }

private:
    int m_jobs;
    int m_cores;
    std::uint64_t m_availableMemory;
    int m_inWork = 0;
    // What the tools in work need together.
    std::uint64_t m_memoryInWork = 0;
};

} // namespace inkvale
