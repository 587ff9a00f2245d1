#include "app/signalwatcher.h"
#include "logcapture.h"
#include "platform/desktopopener.h"

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

    // Whichever way a program is started, it gets the mask this process started with: neither the
    // watched signals blocked nor everything unblocked. bash keeps the mask it is given.
    void programsWeStartGetTheStartMask_data()
    {
        QTest::addColumn<bool>("detached");
        QTest::newRow("detached") << true;
        QTest::newRow("the desktop's opener") << false;
    }
    void programsWeStartGetTheStartMask()
    {
        QFETCH(bool, detached);
        QTemporaryDir folder;
        const QString copy = folder.filePath(u"status"_s);
        if (detached) {
            QVERIFY(QProcess::startDetached(u"cp"_s, {u"/proc/self/status"_s, copy}));
        } else {
            const QString script = folder.filePath(u"opener"_s);
            QFile file(script);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/bash\ncp /proc/self/status \"$1.part\" && mv \"$1.part\" \"$1\"\n");
            file.close();
            QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
            DesktopOpener::open(script, copy, {});
        }
        QTRY_VERIFY(QFile(copy).size() > 0);
        QFile status(copy);
        QVERIFY(status.open(QIODevice::ReadOnly));
        QCOMPARE(blockedIn(status.readAll()), ownStartMask);
    }
};

int main(int argc, char **argv)
{
    // A mask of its own to start with, as a launcher may leave: "the mask it started with" then differs
    // from "nothing blocked".
    sigset_t hangUp;
    sigemptyset(&hangUp);
    sigaddset(&hangUp, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &hangUp, nullptr);
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
