#include "OperationThread.h"

OperationThread::OperationThread() : m_thread([this] { run(); })
{
}

OperationThread::~OperationThread()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_work; });
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void OperationThread::start(std::function<void()> work)
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_work; });
        m_work = std::move(work);
    }
    m_changed.notify_all();
}

void OperationThread::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || m_work; });
        if (m_stop)
            return;
        const std::function<void()> work = m_work;
        lock.unlock();
        work();
        lock.lock();
        m_work = nullptr;
        m_changed.notify_all();
    }
}
