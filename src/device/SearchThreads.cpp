#include "DeviceSearch.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace searchthreads {
namespace {

struct Counter {
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;
};

// Never destroyed: a detached search may still be finishing while the
// process runs its static destructors.
Counter& counter()
{
    static Counter* c = new Counter;
    return *c;
}

}  // namespace

void start(std::function<void()> work)
{
    Counter& c = counter();
    {
        std::lock_guard<std::mutex> lock(c.mutex);
        ++c.running;
    }
    std::thread([work = std::move(work)] {
        struct Done {
            ~Done()
            {
                Counter& c = counter();
                std::lock_guard<std::mutex> lock(c.mutex);
                --c.running;
                c.finished.notify_all();
            }
        } done;
        work();
    }).detach();
}

int running()
{
    Counter& c = counter();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.running;
}

bool waitForAll(int timeoutMs)
{
    Counter& c = counter();
    std::unique_lock<std::mutex> lock(c.mutex);
    const auto none = [&c] { return c.running == 0; };
    if (timeoutMs < 0) {
        c.finished.wait(lock, none);
        return true;
    }
    return c.finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), none);
}

}  // namespace searchthreads
