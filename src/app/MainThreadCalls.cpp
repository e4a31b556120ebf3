#include "MainThreadCalls.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <deque>
#include <mutex>
#include <utility>

namespace {

struct Calls {
    std::mutex mutex;
    std::deque<std::function<void()>> waiting;  // guarded by mutex
};

// Made on first use and never destroyed: a search thread may hand over its
// result while the program ends.
Calls& calls()
{
    static Calls* const made = new Calls;
    return *made;
}

mainthread::Runner* runner()
{
    static mainthread::Runner* const made = [] {
        auto* r = new mainthread::Runner;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    return made;
}

}  // namespace

void mainthread::Runner::runWaiting()
{
    std::deque<std::function<void()>> now;
    {
        std::lock_guard<std::mutex> lock(calls().mutex);
        now.swap(calls().waiting);
    }
    for (const std::function<void()>& call : now)
        call();
}

void callOnMainThread(std::function<void()> call)
{
    {
        std::lock_guard<std::mutex> lock(calls().mutex);
        calls().waiting.push_back(std::move(call));
    }
    QMetaObject::invokeMethod(runner(), "runWaiting", Qt::QueuedConnection);
}
