#include "base/settingsworker.h"

#include "base/workerthreads.h"

#include <mutex>
#include <QCoreApplication>
#include <QHash>
#include <QMetaObject>
#include <QSettings>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

struct Worker {
    std::mutex mutex;
    QThread *thread = nullptr;
    QObject *context = nullptr;
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

} // namespace

namespace SettingsWorker {

bool post(std::function<void()> job)
{
    Worker &w = worker();
    std::lock_guard lock(w.mutex);
    // Without an application object no event reaches the worker: the job would wait for ever.
    if (w.stopped || !QCoreApplication::instance())
        return false;
    if (!w.thread) {
        w.thread = new QThread;
        w.thread->setObjectName(u"settings"_s);
        w.context = new QObject;
        w.context->moveToThread(w.thread);
        w.thread->start();
        WorkerThreads::stopWithApplication();
    }
    QMetaObject::invokeMethod(w.context, std::move(job), Qt::QueuedConnection);
    return true;
}

void stop()
{
    Worker &w = worker();
    QThread *thread = nullptr;
    {
        std::lock_guard lock(w.mutex);
        if (w.stopped)
            return;
        w.stopped = true;
        thread = std::exchange(w.thread, nullptr);
        if (!thread)
            return;
        if (!QCoreApplication::instance()) {
            // No event reaches the worker once the application object has gone: it is told to end
            // directly. What it was given ran while the application lived, which stops it first.
            thread->quit();
        } else {
            // Queued behind every job posted so far, so those run first.
            QMetaObject::invokeMethod(
                w.context,
                [&w] {
                    qDeleteAll(std::exchange(w.open, {}));
                    std::exchange(w.context, nullptr)->deleteLater();
                    QThread::currentThread()->quit();
                },
                Qt::QueuedConnection);
        }
    }
    thread->wait();
    delete thread;
}

QSettings &settings(const QString &path)
{
    Worker &w = worker();
    Q_ASSERT(w.context && QThread::currentThread() == w.context->thread());
    QSettings *&settings = w.open[path];
    if (!settings)
        settings = new QSettings(path, QSettings::IniFormat);
    return *settings;
}

} // namespace SettingsWorker
