#pragma once

#include "app/probes/probeoutputs.h"

#include <chrono>
#include <optional>
#include <QCoroTask>
#include <QPointer>
#include <QString>
#include <QStringList>

class AppDelegate;
class HomeStore;
class PanelController;

// What one run of the probe chain shares: the application (whose store changes with every boot, so it is
// read anew each time), the switches, the outputs and the clock. A probe checks app() after every wait:
// the application may be gone.
class ProbeContext {
public:
    ProbeContext(AppDelegate *app, QStringList arguments, ProbeOutputs outputs);

    AppDelegate *app() const;
    // The application's current store and panel; nullptr once the application is gone.
    HomeStore *store() const;
    PanelController *panel() const;
    const QStringList &arguments() const { return m_arguments; }
    bool has(const QString &flag) const { return m_arguments.contains(flag); }
    std::optional<QString> value(const QString &of) const;

    void print(const QString &line) const;
    // Ends the run with this status; the chain stops here (also where the end is only recorded, in tests).
    void exit(int status);
    bool ended() const { return m_ended; }
    // "--keep-open" absent: the reporting probes end the run with their verdict.
    bool endsAfterReport() const;

    // False when the application went away meanwhile.
    QCoro::Task<bool> sleep(std::chrono::milliseconds duration) const;
    // The collections of the store a probe waits for.
    enum class Collection { devices, zones, notifications };
    // Looks up to `checks` times whether the store's collection holds anything, sleeping 0.1 s after each
    // look that finds it empty; goes on after the last look either way. False when the application went
    // away meanwhile.
    QCoro::Task<bool> waitFor(Collection collection, int checks) const;

private:
    QPointer<AppDelegate> m_app;
    QStringList m_arguments;
    ProbeOutputs m_outputs;
    bool m_ended = false;
};
