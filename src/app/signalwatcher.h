#pragma once

#include <QObject>

class QSocketNotifier;

// The process signals, read on the main thread. blockWatchedSignals() must run first thing in main(), before
// any thread exists: blocked signals never run a default action (a SIGUSR1 from a second copy can no
// longer end this one, however early it arrives) and wait until the watcher reads them.
class SignalWatcher : public QObject {
    Q_OBJECT

public:
    // Blocks SIGUSR1, SIGUSR2, SIGTERM and SIGINT in the calling thread and every thread it starts later.
    // The programs it starts get the mask the process started with back (ChildSignalMask); libdbus's
    // autolaunch of a session bus sets the block again in its child, which keeps it.
    static void blockWatchedSignals();

    explicit SignalWatcher(QObject *parent = nullptr);
    ~SignalWatcher() override;

    bool isWatching() const { return m_fd >= 0; }

Q_SIGNALS:
    // SIGUSR1: show the panel. Nothing is shown until the panel exists and connects here.
    void panelRequested();
    // SIGUSR2: show the panel and write a snapshot of it.
    void snapshotRequested();
    // SIGTERM or SIGINT.
    void quitRequested();

private:
    void readPending();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};
