#pragma once

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QtConcurrent/QtConcurrentRun>
#include <QThreadPool>
#include <QTimer>
#include <vector>

namespace inkvale {

// Runs the work of queued tasks on a thread pool, several at once, and hands the results over
// strictly in the order the tasks were queued; the event loop never waits for a worker. A
// result may stand for tasks of its own (a folder's files), which then take its place in the
// queue. Results are handed over in small bursts, so that a view repaints once per burst.
template<typename Task, typename Result>
class OrderedWorkQueue
{
public:
    // Set when work is dropped, so that tasks not yet begun skip theirs.
    using CancelFlag = std::shared_ptr<std::atomic<bool>>;

    struct Hooks
    {
        // Runs on the pool.
        std::function<Result(const Task &task, const CancelFlag &cancelled)> work;
        // The tasks that take the place of a task with this result; none to hand it over.
        std::function<std::optional<QList<Task>>(const Result &result)> expand;
        // Hands a result over, in queue order. May run a nested event loop (a modal box):
        // what finishes meanwhile waits for it. Returns false when the queue's owner, and so
        // the queue, was destroyed meanwhile.
        std::function<bool(const Task &task, const Result &result)> deliver;
        // Called whenever isEmpty() or isDelivering() may have changed.
        std::function<void()> changed;
    };

    struct Limits
    {
        // Tasks working at once.
        int working = 1;
        // How far beyond the oldest unfinished task work may run.
        std::size_t lookAhead = 64;
        // The shortest time between two bursts.
        int pauseMs = 25;
    };

    OrderedWorkQueue(QObject &context, QThreadPool &pool, Hooks hooks, Limits limits)
        : m_context(context)
        , m_pool(pool)
        , m_hooks(std::move(hooks))
        , m_limits(limits)
        , m_cancelled(std::make_shared<std::atomic<bool>>(false))
    {
        m_pause.setSingleShot(true);
        m_pause.setInterval(m_limits.pauseMs);
        QObject::connect(&m_pause, &QTimer::timeout, &m_context, [this] {
            if (m_deliveryWaiting) {
                m_deliveryWaiting = false;
                deliverSoon();
            }
        });
    }

    // Drops pending work without waiting for workers still running.
    ~OrderedWorkQueue() { m_cancelled->store(true); }

    OrderedWorkQueue(const OrderedWorkQueue &) = delete;
    OrderedWorkQueue &operator=(const OrderedWorkQueue &) = delete;

    void enqueue(const QList<Task> &tasks)
    {
        for (const Task &task : tasks) {
            Entry entry;
            entry.id = m_nextId++;
            entry.task = task;
            m_entries.push_back(std::move(entry));
        }
        startWork();
        m_hooks.changed();
    }

    // Drops pending and running work.
    void cancel()
    {
        for (Entry &entry : m_entries) {
            if (entry.watcher != nullptr) {
                entry.watcher->disconnect(&m_context);
                entry.watcher->deleteLater();
            }
        }
        m_entries.clear();
        m_working = 0;
        m_deliveryWaiting = false;
        m_cancelled->store(true);
        m_cancelled = std::make_shared<std::atomic<bool>>(false);
        m_hooks.changed();
    }

    // Every task not yet handed over.
    bool isEmpty() const { return m_entries.empty(); }
    bool isDelivering() const { return m_delivering; }
    // How many tasks not yet handed over satisfy `test`.
    int countWaiting(const std::function<bool(const Task &)> &test) const
    {
        return static_cast<int>(
            std::count_if(m_entries.begin(), m_entries.end(),
                          [&test](const Entry &entry) { return test(entry.task); }));
    }

private:
    enum class State { Waiting, Working, Done };

    struct Entry
    {
        quint64 id = 0;
        Task task;
        State state = State::Waiting;
        QFutureWatcher<Result> *watcher = nullptr;
        Result result;
    };

    void startWork()
    {
        const std::size_t ahead = std::min(m_entries.size(), m_limits.lookAhead);
        for (std::size_t i = 0; i < ahead && m_working < m_limits.working; ++i) {
            if (m_entries[i].state == State::Waiting) {
                start(m_entries[i]);
            }
        }
    }

    void start(Entry &entry)
    {
        auto *watcher = new QFutureWatcher<Result>(&m_context);
        const quint64 id = entry.id;
        QObject::connect(watcher, &QFutureWatcherBase::finished, &m_context, [this, watcher, id] {
            const Result result = watcher->result();
            watcher->deleteLater();
            finished(id, result);
        });
        watcher->setFuture(QtConcurrent::run(&m_pool, m_hooks.work, entry.task, m_cancelled));
        entry.state = State::Working;
        entry.watcher = watcher;
        ++m_working;
    }

    void finished(quint64 id, const Result &result)
    {
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [id](const Entry &entry) { return entry.id == id; });
        if (found == m_entries.end()) {
            return;
        }
        --m_working;
        if (std::optional<QList<Task>> tasks = m_hooks.expand(result)) {
            std::vector<Entry> replacing;
            replacing.reserve(tasks->size());
            for (const Task &task : *tasks) {
                Entry entry;
                entry.id = m_nextId++;
                entry.task = task;
                replacing.push_back(std::move(entry));
            }
            const auto at = m_entries.erase(found);
            m_entries.insert(at, std::make_move_iterator(replacing.begin()),
                             std::make_move_iterator(replacing.end()));
        } else {
            found->state = State::Done;
            found->watcher = nullptr;
            found->result = result;
        }
        startWork();
        if (deliverSoon()) {
            m_hooks.changed();
        }
    }

    // Both return false when a hook destroyed the queue meanwhile.
    bool deliverSoon()
    {
        if (m_pause.isActive()) {
            m_deliveryWaiting = true;
            return true;
        }
        if (!deliver()) {
            return false;
        }
        m_pause.start();
        return true;
    }

    bool deliver()
    {
        if (m_delivering) {
            return true;
        }
        m_delivering = true;
        while (!m_entries.empty() && m_entries.front().state == State::Done) {
            const Entry entry = std::move(m_entries.front());
            m_entries.pop_front();
            startWork();
            if (!m_hooks.deliver(entry.task, entry.result)) {
                return false;
            }
        }
        m_delivering = false;
        startWork();
        m_hooks.changed();
        return true;
    }

    QObject &m_context;
    QThreadPool &m_pool;
    Hooks m_hooks;
    Limits m_limits;
    // Every task not yet handed over, in queue order.
    std::deque<Entry> m_entries;
    quint64 m_nextId = 1;
    int m_working = 0;
    bool m_delivering = false;
    QTimer m_pause;
    bool m_deliveryWaiting = false;
    CancelFlag m_cancelled;
};

} // namespace inkvale
