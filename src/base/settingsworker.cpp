#include "base/settingsworker.h"

#include <QHash>
#include <QMetaObject>
#include <QSettings>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// Leaked on purpose: a write posted while the process ends must still find its thread.
QObject *worker()
{
    static QObject *const context = [] {
        auto *thread = new QThread;
        thread->setObjectName(u"settings"_s);
        auto *object = new QObject;
        object->moveToThread(thread);
        thread->start();
        return object;
    }();
    return context;
}

} // namespace

namespace SettingsWorker {

void post(std::function<void()> job)
{
    QMetaObject::invokeMethod(worker(), std::move(job), Qt::QueuedConnection);
}

QSettings &settings(const QString &path)
{
    Q_ASSERT(QThread::currentThread() == worker()->thread());
    // Kept for the whole run, as the thread is: destroyed at exit it would drop the only handles to
    // settings still in use, while a late write may still need them.
    static auto *const open = new QHash<QString, QSettings *>;
    QSettings *&settings = (*open)[path];
    if (!settings)
        settings = new QSettings(path, QSettings::IniFormat);
    return *settings;
}

} // namespace SettingsWorker
