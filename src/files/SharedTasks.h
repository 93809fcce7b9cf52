#pragma once

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <memory>

namespace glowline {

// The processor that the calling thread runs on; -1 where it cannot be told.
int currentProcessor();

// While it lives, keeps the calling thread off the given processor, if the
// thread runs on it now and may run on another; where processors cannot be
// chosen, does nothing.
class OffProcessor
{
public:
    explicit OffProcessor(int processor);
    ~OffProcessor();
    OffProcessor(const OffProcessor &) = delete;
    OffProcessor &operator=(const OffProcessor &) = delete;

    // Room for the set of processors the thread was allowed before.
    using Mask = std::array<unsigned char, 128>;

private:
    Mask m_allowed{};
    bool m_moved = false;
};

// Numbered tasks that the calling thread shares with the threads of Qt's
// global pool: each thread takes the next task not yet taken until none is
// left. A pool thread that starts late, or not at all, only leaves more
// tasks to the others, and the calling thread never waits for one to start.
class SharedTasks
{
public:
    explicit SharedTasks(std::size_t count)
        : m_count(count), m_done(std::make_unique<std::atomic<int>[]>(count))
    {}

    std::size_t count() const { return m_count; }

    // Runs task(k) for the next task k not yet taken, and marks it done;
    // false when every task was taken.
    template <typename Task> bool runNext(Task &&task)
    {
        const std::size_t k = m_next++;
        if (k >= m_count)
            return false;
        task(k);
        m_done[k].store(1, std::memory_order_release);
        m_done[k].notify_all();
        return true;
    }

    // Whether task k is done; when it is, what it did is seen by the caller.
    bool isDone(std::size_t k) const { return m_done[k].load(std::memory_order_acquire) != 0; }

    // Returns once task k is done; what it did is then seen by the caller.
    void waitFor(std::size_t k) const { m_done[k].wait(0, std::memory_order_acquire); }

    // Starts as many pool threads on help as there are other processors,
    // and tasks for them: help must keep alive whatever the tasks touch, as
    // a pool thread may start after every task was taken.
    template <typename Help> void startHelpers(const Help &help) const
    {
        const std::size_t helpers =
            std::min(std::size_t(std::max(QThread::idealThreadCount() - 1, 0)),
                     m_count > 0 ? m_count - 1 : 0);
        // The system may wake a helper on the calling thread's own
        // processor while another idles (seen on virtual machines whose
        // processors share no cache); the helper then takes that processor
        // from the calling thread, and the two read one after the other.
        // Such a helper leaves the processor for its tasks.
        const auto helpElsewhere = [help, processor = currentProcessor()] {
            const OffProcessor away(processor);
            help();
        };
        for (std::size_t i = 0; i < helpers; ++i) {
            // tryStart: a pool with no thread free gets no task to wait for.
            if (!QThreadPool::globalInstance()->tryStart(helpElsewhere))
                break;
        }
    }

private:
    std::size_t m_count;
    std::unique_ptr<std::atomic<int>[]> m_done;
    std::atomic<std::size_t> m_next = 0;
};

} // namespace glowline
