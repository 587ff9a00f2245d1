#include "app/signalwatcher.h"

#include "base/childsignalmask.h"
#include "base/log.h"

#include <cerrno>
#include <csignal>
#include <QSocketNotifier>
#include <sys/signalfd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

sigset_t watchedSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGUSR2);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

void SignalWatcher::blockWatchedSignals()
{
    ChildSignalMask::blockInProcess(watchedSignals());
}

SignalWatcher::SignalWatcher(QObject *parent) : QObject(parent)
{
    const sigset_t set = watchedSignals();
    m_fd = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0) {
        log(u"!! signalen: kan ze niet lezen (errno "_s + QString::number(errno) + u")."_s);
        return;
    }
    m_notifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::readPending);
}

SignalWatcher::~SignalWatcher()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

void SignalWatcher::readPending()
{
    signalfd_siginfo info;
    for (;;) {
        const ssize_t n = ::read(m_fd, &info, sizeof info);
        if (n < 0 && errno == EINTR)
            continue;
        if (n != ssize_t(sizeof info))
            return;
        switch (info.ssi_signo) {
        case SIGUSR1:
            log(u"SIGUSR1 ontvangen: paneel tonen"_s);
            Q_EMIT panelRequested();
            break;
        case SIGUSR2:
            log(u"SIGUSR2 ontvangen: paneel tonen en fotograferen"_s);
            Q_EMIT snapshotRequested();
            break;
        default:
            Q_EMIT quitRequested();
            break;
        }
    }
}
