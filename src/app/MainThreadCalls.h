#pragma once
// Calls handed from a worker thread to the main thread. They go through a
// queue under a mutex of the standard library, which ThreadSanitizer
// follows, and the main thread is woken by a queued call that carries
// nothing: a functor queued to Qt would hand its captures over through Qt's
// own synchronisation, which ThreadSanitizer cannot see.

#include <QObject>

#include <functional>

// Runs call on the main thread, after the events already queued there.
void callOnMainThread(std::function<void()> call);

namespace mainthread {
// The main thread's end of the queue: one object, made on first use.
class Runner : public QObject {
    Q_OBJECT
public slots:
    void runWaiting();
};
}  // namespace mainthread
