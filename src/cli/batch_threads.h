#pragma once

#include <QThread>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Tasks waiting for a thread. Bounded, so that memory does not grow with the length of the list.
template <typename Task>
class BoundedQueue
{
public:
    explicit BoundedQueue(std::size_t capacity)
        : m_capacity(std::max<std::size_t>(capacity, 1))
    {}
    void push(Task task)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [this] { return m_tasks.size() < m_capacity; });
        m_tasks.push_back(std::move(task));
        m_notEmpty.notify_one();
    }
    // False once the queue is closed and empty.
    bool pop(Task &task)
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [this] { return !m_tasks.empty() || m_closed; });
        if (m_tasks.empty())
            return false;
        task = std::move(m_tasks.front());
        m_tasks.pop_front();
        m_notFull.notify_one();
        return true;
    }
    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

private:
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notEmpty;
    std::condition_variable m_notFull;
    std::deque<Task> m_tasks;
    bool m_closed = false;
};

// `count` threads that take tasks from a queue until it is closed and empty. With `tasksPerThread`,
// each slot's thread ends after that many tasks and a fresh one takes over: whatever a thread keeps
// for itself (the toolkit's font cache with every glyph drawn) then goes with it.
template <typename Task>
class QueueThreads
{
public:
    using Work = std::function<void(Task &)>;
    QueueThreads(int count, BoundedQueue<Task> &queue, Work work, int tasksPerThread = 0)
        : m_queue(queue)
        , m_work(std::move(work))
        , m_tasksPerThread(tasksPerThread)
    {
        for (int i = 0; i < count; ++i)
            m_slots.emplace_back([this] { serve(); });
    }
    QueueThreads(const QueueThreads &) = delete;
    QueueThreads &operator=(const QueueThreads &) = delete;
    ~QueueThreads() { join(); }

    void join()
    {
        for (std::thread &slot : m_slots) {
            if (slot.joinable())
                slot.join();
        }
    }

private:
    void serve()
    {
        if (m_tasksPerThread <= 0) {
            while (workSome()) {
            }
            return;
        }
        for (bool more = true; more;) {
            const std::unique_ptr<QThread> thread(QThread::create([this, &more] { more = workSome(); }));
            thread->start();
            thread->wait();
        }
    }
    // False once the queue is closed and empty.
    bool workSome()
    {
        Task task;
        for (int done = 0; m_tasksPerThread <= 0 || done < m_tasksPerThread; ++done) {
            if (!m_queue.pop(task))
                return false;
            m_work(task);
        }
        return true;
    }

    BoundedQueue<Task> &m_queue;
    Work m_work;
    int m_tasksPerThread;
    std::vector<std::thread> m_slots;
};
