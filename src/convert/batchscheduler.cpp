#include "convert/batchscheduler.h"

#include "convert/memorybudget.h"
#include "convert/parallelconversions.h"

#include <algorithm>

namespace inkvale {

BatchScheduler::BatchScheduler(int jobs, int cores, std::uint64_t availableMemory)
    : m_jobs(jobs)
    , m_cores(std::max(1, cores))
    , m_availableMemory(availableMemory)
{}

std::optional<BatchScheduler::Start> BatchScheduler::admit(qint64 pixels,
                                                           const QString &effect) const
{
    Start start;
    start.memoryBudget = memoryBudget(m_availableMemory);
    if (!memoryRefusal(effect, pixels, start.memoryBudget).isEmpty()) {
        return start;
    }
    start.memory = toolMemoryEstimate(effect, pixels);
    const bool fits = m_jobs > 0 ? m_inWork < m_jobs
                                 : anotherConversionFits(m_cores, m_availableMemory, m_inWork,
                                                         m_memoryInWork, start.memory);
    if (!fits) {
        return std::nullopt;
    }
    start.conversions =
        m_jobs > 0 ? m_jobs : parallelConversions(m_cores, m_availableMemory, pixels, effect);
    start.toolThreads = toolThreads(m_cores, start.conversions);
    return start;
}

void BatchScheduler::started(const Start &start)
{
    ++m_inWork;
    m_memoryInWork += start.memory;
}

void BatchScheduler::ended(const Start &start)
{
    --m_inWork;
    m_memoryInWork -= start.memory;
}

} // namespace inkvale
