#include "base/workerthreads.h"

#include "base/log.h"
#include "base/settingsfile.h"
#include "base/settingsworker.h"

#include <cstdlib>
#include <mutex>
#include <QCoreApplication>

namespace WorkerThreads {

void stop()
{
    // In this order: writing the settings may still log.
    SettingsFile::flushAll();
    SettingsWorker::stop();
    if (Log *log = Log::sharedIfStarted())
        log->stop();
}

void stopWithApplication()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        qAddPostRoutine(&stop);
        std::atexit(&stop);
    });
}

} // namespace WorkerThreads
