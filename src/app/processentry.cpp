#include "app/processentry.h"

#include "app/appinfo.h"
#include "app/boot.h"
#include "app/signalwatcher.h"
#include "app/singleinstance.h"
#include "app/usage.h"
#include "base/appconfiguration.h"
#include "base/log.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <QCoreApplication>
#include <QFileInfo>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace ProcessEntry {

namespace {

bool wantsHelp(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

// Shows the other copy's panel. Returns the exit status of this copy.
int handOver(qint32 pid)
{
    const QString pidText = QString::number(pid);
    // Logged before sending, so it stands in the log also when sending fails.
    log(u"er draait al een Quorvane (pid "_s + pidText + u"). SIGUSR1 gestuurd om het paneel te tonen."_s);
    if (::kill(pid, SIGUSR1) != 0) {
        const int error = errno;
        log(u"!! SIGUSR1 naar pid "_s + pidText + u" mislukt (errno "_s + QString::number(error) + u")."_s);
        Log::shared().flush();
        return 1;
    }
    Log::shared().flush();
    return 0;
}

} // namespace

QString snapshotPath()
{
    const QString name = AppConfiguration::isolated()
                             ? u"onboarding-"_s + AppConfiguration::testID() + u".png"_s
                             : u"panel.png"_s;
    return QFileInfo(Log::fileURL()).absolutePath() + u"/"_s + name;
}

int run(int argc, char **argv)
{
    // Before anything can start a thread (the log starts one): every thread must have them blocked.
    SignalWatcher::blockWatchedSignals();

    if (wantsHelp(argc, argv)) {
        // No lock, no log: only the pid file's folder appears, because the text names the file.
        const QByteArray text =
            Usage::text(AppInfo::version(), SingleInstance::pidFileURL(), Log::fileURL()).toUtf8() + '\n';
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        std::fflush(stdout);
        return 0;
    }

    QCoreApplication app(argc, argv);
    const QString pid = QString::number(qint64(::getpid()));

    if (!Boot::isTestInstance()) {
        const SingleInstance::Outcome outcome = SingleInstance::acquire();
        if (!outcome.isPrimary())
            return handOver(*outcome.runningPid);
    } else {
        log(u"testmodus: geen hotkey, geen lock, geen statusitem. De app van de gebruiker blijft ongemoeid. "
            u"Toon dit paneel met `kill -USR1 "_s +
            pid + u"`, fotografeer het met `kill -USR2 "_s + pid + u"`."_s);
    }

    // The panel connects to panelRequested and snapshotRequested once it exists.
    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::quitRequested, &app, &QCoreApplication::quit);
    log(u"SIGUSR1-handler actief: `kill -USR1 "_s + pid + u"` opent het paneel"_s);
    log(u"SIGUSR2-handler actief: `kill -USR2 "_s + pid + u"` schrijft "_s + snapshotPath());

    const int status = app.exec();
    log(u"Quorvane stopt."_s);
    Log::shared().flush();
    return status;
}

} // namespace ProcessEntry
