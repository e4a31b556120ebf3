#pragma once
// The thread that exchanges the window's reports with the device, kept for
// the window's life: starting a thread for every operation costs the window a
// tenth of a millisecond, which on a 20 ms read is half of what it may add.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class OperationThread {
public:
    OperationThread();
    ~OperationThread();  // waits for the work that runs
    OperationThread(const OperationThread&) = delete;
    OperationThread& operator=(const OperationThread&) = delete;

    // Hands work to the thread, once the work given before has ended.
    void start(std::function<void()> work);

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_work;  // guarded by m_mutex; empty when idle
    bool m_stop = false;           // guarded by m_mutex
    std::thread m_thread;
};
