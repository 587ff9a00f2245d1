#include "base/settingsworker.h"

#include "base/workerthreads.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <pthread.h>
#include <QCoreApplication>
#include <QHash>
#include <QSettings>
#include <thread>

namespace {

struct Worker {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> jobs;
    // A thread of our own rather than a QThread: QThread::wait() returns before the thread has ended,
    // and one still ending while the process takes Qt down can crash it at exit. This one is joined.
    std::thread thread;
    bool stopped = false;
    // Touched on the worker only.
    QHash<QString, QSettings *> open;
};

// Leaked on purpose: a write posted while the process ends must still find out whether it can go.
Worker &worker()
{
    static Worker *const instance = new Worker;
    return *instance;
}

thread_local bool onWorker = false;

void run(Worker &w)
{
    onWorker = true;
    std::unique_lock lock(w.mutex);
    for (;;) {
        w.posted.wait(lock, [&] { return w.stopped || !w.jobs.empty(); });
        if (w.jobs.empty())
            break; // stopped, and every job posted before has run
        std::function<void()> job = std::move(w.jobs.front());
        w.jobs.pop_front();
        lock.unlock();
        job();
        // What the open files posted to themselves (QSettings asks itself for a later sync): there is no
        // event loop here to take it, and it would pile up.
        QCoreApplication::sendPostedEvents();
        lock.lock();
    }
    lock.unlock();
    qDeleteAll(std::exchange(w.open, {}));
}

} // namespace

namespace SettingsWorker {

bool post(std::function<void()> job)
{
    Worker &w = worker();
    {
        std::lock_guard lock(w.mutex);
        // Without an application object the callers write for themselves: nothing would stop the
        // worker before the process takes down what it uses.
        if (w.stopped || !QCoreApplication::instance())
            return false;
        if (!w.thread.joinable()) {
            w.thread = std::thread([&w] { run(w); });
            pthread_setname_np(w.thread.native_handle(), "settings");
            WorkerThreads::stopWithApplication();
        }
        w.jobs.push_back(std::move(job));
    }
    w.posted.notify_one();
    return true;
}

void stop()
{
    Worker &w = worker();
    std::thread thread;
    {
        std::lock_guard lock(w.mutex);
        if (w.stopped)
            return;
        w.stopped = true;
        thread = std::move(w.thread);
    }
    w.posted.notify_one();
    // The jobs posted so far run first.
    if (thread.joinable())
        thread.join();
}

QSettings &settings(const QString &path)
{
    Worker &w = worker();
    Q_ASSERT(onWorker);
    QSettings *&settings = w.open[path];
    if (!settings)
        settings = new QSettings(path, QSettings::IniFormat);
    return *settings;
}

} // namespace SettingsWorker
