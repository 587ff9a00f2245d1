#include "app/processentry.h"

#include "app/appdelegate.h"
#include "app/appinfo.h"
#include "app/boot.h"
#include "app/platformstart.h"
#include "app/rendererchoice.h"
#include "app/signalwatcher.h"
#include "app/singleinstance.h"
#include "app/startwarmup.h"
#include "app/switchcheck.h"
#include "app/usage.h"
#include "base/appconfiguration.h"
#include "base/log.h"
#include "base/workerthreads.h"
#include "ui/symbolcatalog.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <QApplication>
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

// The variable that names the display Qt will need, when it is empty. Platforms without a display (the
// offscreen one of tests) need none.
std::optional<QString> missingDisplay()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM").section(u';', 0, 0);
    const bool noX11 = qEnvironmentVariableIsEmpty("DISPLAY");
    const bool noWayland = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platform.isEmpty() && noX11 && noWayland)
        return u"DISPLAY"_s;
    if (platform.startsWith(u"xcb"_s) && noX11)
        return u"DISPLAY"_s;
    if (platform.startsWith(u"wayland"_s) && noWayland)
        return u"WAYLAND_DISPLAY"_s;
    return std::nullopt;
}

int runUntilQuit(int argc, char **argv)
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

    // Said before anything starts: a second copy that only hands over says it too.
    bool runnable = true;
    for (const SwitchCheck::Problem &problem : SwitchCheck::problems(AppConfiguration::arguments())) {
        log(problem.line);
        runnable = runnable && !problem.endsRun;
    }
    if (!runnable) {
        Log::shared().flush();
        return SwitchCheck::unusableStatus;
    }

    const QString pid = QString::number(qint64(::getpid()));
    if (!Boot::isTestInstance()) {
        // Before the application object: a second copy hands over without touching the display.
        const SingleInstance::Outcome outcome = SingleInstance::acquire();
        if (!outcome.isPrimary())
            return handOver(*outcome.runningPid);
    } else {
        log(u"testmodus: geen hotkey, geen lock, geen statusitem. De app van de gebruiker blijft ongemoeid. "
            u"Toon dit paneel met `kill -USR1 "_s +
            pid + u"`, fotografeer het met `kill -USR2 "_s + pid + u"`."_s);
    }

    if (const std::optional<QString> missing = missingDisplay()) {
        log(u"!! geen beeldscherm: "_s + *missing + u" is leeg. Start Quorvane in een grafische sessie."_s);
        Log::shared().flush();
        return 1;
    }

    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    StartWarmup warmup(StartWarmup::librariesFor(environment));
    // Widgets for the tray icon's menu and its notices; everything else is Qt Quick.
    const RendererChoice::Choice renderer = RendererChoice::choose(environment);
    RendererChoice::apply(renderer);
    PlatformStart::watch();
    QApplication app(argc, argv);
    PlatformStart::started(QGuiApplication::platformName());
    // Hiding the panel or closing the settings window must not end the run.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setDesktopFileName(AppConfiguration::standardService);
    warmup.awaitFonts();
    if (!SymbolCatalog::loadFont())
        log(u"!! paneel: het icoonlettertype ontbreekt, symbolen worden vierkantjes"_s);

    AppDelegate delegate(AppDelegate::standardOptions(AppConfiguration::arguments().contains(u"--show"_s)));
    QObject::connect(&delegate, &AppDelegate::quitRequested, &app, &QCoreApplication::quit);
    delegate.applicationDidFinishLaunching();
    log(renderer.line);
    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}

} // namespace

int run(int argc, char **argv)
{
    const int status = runUntilQuit(argc, argv);
    // The application object stopped them as it went; a run that never made one stops them here.
    WorkerThreads::stop();
    return status;
}

} // namespace ProcessEntry
