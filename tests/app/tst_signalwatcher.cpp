#include "app/signalwatcher.h"
#include "logcapture.h"

#include <csignal>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The blocked-signal mask in a /proc/<pid>/status text.
QByteArray blockedIn(const QByteArray &status)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith("SigBlk:"))
            return line.mid(7).trimmed();
    }
    return {};
}

QByteArray ownStartMask;

} // namespace

// The signals as the program meets them: blocked before anything else, read once the watcher exists.
class TstSignalWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void signalsBeforeTheWatcherWaitForIt()
    {
        LogCapture log;
        // Sent before anything reads them: with the default action they would end this process.
        for (const int number : {SIGUSR1, SIGUSR2, SIGTERM})
            QCOMPARE(::kill(::getpid(), number), 0);
        SignalWatcher watcher;
        QVERIFY(watcher.isWatching());
        QSignalSpy panel(&watcher, &SignalWatcher::panelRequested);
        QSignalSpy snapshot(&watcher, &SignalWatcher::snapshotRequested);
        QSignalSpy quit(&watcher, &SignalWatcher::quitRequested);
        QTRY_COMPARE(quit.count(), 1);
        QCOMPARE(panel.count(), 1);
        QCOMPARE(snapshot.count(), 1);
        QCOMPARE(log.lines(), (QStringList{u"SIGUSR1 ontvangen: paneel tonen"_s,
                                           u"SIGUSR2 ontvangen: paneel tonen en fotograferen"_s}));
    }

    void programsWeStartAreNotBlocked()
    {
        QTemporaryDir folder;
        const QString copy = folder.filePath(u"status"_s);
        QVERIFY(QProcess::startDetached(u"cp"_s, {u"/proc/self/status"_s, copy}));
        QTRY_VERIFY(QFile(copy).size() > 0);
        QFile status(copy);
        QVERIFY(status.open(QIODevice::ReadOnly));
        QCOMPARE(blockedIn(status.readAll()), ownStartMask);
    }
};

int main(int argc, char **argv)
{
    QFile status(u"/proc/self/status"_s);
    if (status.open(QIODevice::ReadOnly))
        ownStartMask = blockedIn(status.readAll());
    // As the program does: first thing, before the test's watchdog thread exists.
    SignalWatcher::blockWatchedSignals();
    QCoreApplication app(argc, argv);
    TstSignalWatcher test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_signalwatcher.moc"
