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

class Runner : public QObject {
    Q_OBJECT
public slots:
    void runWaiting()
    {
        std::deque<std::function<void()>> now;
        {
            std::lock_guard<std::mutex> lock(calls().mutex);
            now.swap(calls().waiting);
        }
        for (const std::function<void()>& call : now)
            call();
    }
};

Runner* runner()
{
    static Runner* const made = [] {
        auto* r = new Runner;
        r->moveToThread(QCoreApplication::instance()->thread());
        return r;
    }();
    return made;
}

}  // namespace

void callOnMainThread(std::function<void()> call)
{
    {
        std::lock_guard<std::mutex> lock(calls().mutex);
        calls().waiting.push_back(std::move(call));
    }
    QMetaObject::invokeMethod(runner(), "runWaiting", Qt::QueuedConnection);
}

#include "MainThreadCalls.moc"
