#include "base/settingsfile.h"
#include "base/settingsstore.h"

#include <atomic>
#include <csignal>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What another process would read from the file now.
QVariant onDisk(const SettingsStore &store, const QString &key)
{
    return QSettings(store.filePath(), QSettings::IniFormat).value(key);
}

// Runs body inside an event loop, as the program's own writes run.
void inEventLoop(const std::function<void()> &body)
{
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        body();
        loop.quit();
    });
    loop.exec();
}

QProcess *startChild(const QString &mode, const QString &config)
{
    auto *child = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, config);
    child->setProcessEnvironment(environment);
    child->start(QCoreApplication::applicationFilePath(), {u"--child"_s, mode});
    return child;
}

} // namespace

// Writes of the settings leave the main thread: gathered, written on a worker, never torn, never lost at
// the end of the run.
class TestSettingsFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    void aBurstOfWritesIsOneWriteOfTheFile()
    {
        SettingsStore store(u"burst"_s);
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QDir().mkpath(QFileInfo(store.filePath()).absolutePath());
        inotify_add_watch(watch, QFile::encodeName(m_config.path() + u"/Quorvane"_s).constData(),
                          IN_MOVED_TO | IN_CREATE);
        inEventLoop([&] {
            for (int i = 0; i < 100; ++i)
                store.setValue(u"shown"_s, QStringList(i + 1, u"id"_s));
        });
        // Every reader sees the last write at once; the disk a moment later, in one go.
        QCOMPARE(SettingsStore(u"burst"_s).stringListValue(u"shown"_s)->size(), 100);
        QVERIFY(!onDisk(store, u"shown"_s).isValid());
        QTRY_VERIFY(onDisk(store, u"shown"_s).isValid());
        // Each write puts a new file in the old one's place (or creates the first).
        int replaced = 0;
        alignas(inotify_event) char events[4096];
        for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(events + at);
                replaced += event->len > 0 && qstrcmp(event->name, "burst.conf") == 0;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        ::close(watch);
        QCOMPARE(replaced, 1);
    }

    // A value given for later is made once, when read or written, from the state of that moment; a
    // plain write of the key after it wins, as does a later value after a plain write.
    void aLaterValueIsMadeWhenNeeded()
    {
        SettingsStore store(u"later"_s);
        int made = 0;
        QStringList ids;
        const auto later = [&] {
            return [&] {
                ++made;
                return SettingsValue(ids);
            };
        };
        inEventLoop([&] {
            for (int i = 0; i < 50; ++i) {
                ids << u"id%1"_s.arg(i);
                store.setValueLater(u"shown"_s, later());
            }
            store.setValueLater(u"gone"_s, later());
            store.remove(u"gone"_s);
        });
        QCOMPARE(made, 0);
        QCOMPARE(SettingsStore(u"later"_s).stringListValue(u"shown"_s), ids);
        QCOMPARE(made, 1);
        QVERIFY(!store.contains(u"gone"_s));

        inEventLoop([&] {
            ids << u"last"_s;
            store.setValueLater(u"shown"_s, later());
            store.setValueLater(u"other"_s, later());
            store.setValue(u"other"_s, u"plain"_s);
        });
        store.flush();
        QCOMPARE(made, 2);
        const QVariant written = onDisk(store, u"shown"_s);
        QCOMPARE(SettingsStore::decode(written.toString()), std::optional(SettingsValue(ids)));
        QCOMPARE(onDisk(store, u"other"_s), QVariant(u"s:plain"_s));
        QVERIFY(!onDisk(store, u"gone"_s).isValid());

        // Without an event loop the value is made and written at once.
        store.setValueLater(u"shown"_s, later());
        QCOMPARE(made, 3);
        QVERIFY(onDisk(store, u"shown"_s).isValid());
    }

    // Made for a write the timer started, on the worker: a long list costs the main thread nothing.
    void aLaterValueIsMadeOffTheMainThread()
    {
        SettingsStore store(u"worker"_s);
        const QStringList ids{u"a"_s, u"b"_s};
        std::atomic<QThread *> madeOn = nullptr;
        inEventLoop([&] {
            store.setValueLater(u"shown"_s, [&] {
                madeOn = QThread::currentThread();
                return SettingsValue(ids);
            });
        });
        QTRY_VERIFY(onDisk(store, u"shown"_s).isValid());
        QVERIFY(madeOn.load() != nullptr);
        QVERIFY(madeOn.load() != QThread::currentThread());
        QCOMPARE(SettingsStore(u"worker"_s).stringListValue(u"shown"_s), ids);
    }

    // Changes that keep coming (the seen ids of a burst of notifications, a dragged panel) reach the disk
    // while they come: a kill in the middle of them loses no more than the delay.
    void aSteadyStreamStillReachesTheDisk()
    {
        SettingsStore store(u"stream"_s);
        const QString path = store.filePath();
        qint64 sent = 0;
        std::optional<qint64> seen;
        QElapsedTimer running;
        running.start();
        QEventLoop loop;
        QTimer changes;
        changes.setTimerType(Qt::PreciseTimer);
        changes.setInterval(SettingsFile::delay / 20);
        QObject::connect(&changes, &QTimer::timeout, &loop, [&] {
            store.setValue(u"position"_s, ++sent);
            const QVariant written = QFile::exists(path) ? onDisk(store, u"position"_s) : QVariant();
            if (written.isValid()) {
                const auto value = SettingsStore::decode(written.toString());
                const qint64 *number = value ? std::get_if<qint64>(&*value) : nullptr;
                seen = number ? *number : -1;
            }
            // A bound for a machine that stalls, far beyond the delay: the stream has gone on long enough.
            if (seen || running.hasExpired(30000))
                loop.quit();
        });
        changes.start();
        loop.exec();
        changes.stop();
        QVERIFY2(seen, "nothing on disk while the changes kept coming");
        QVERIFY2(*seen >= 1 && *seen < sent, qPrintable(u"on disk %1 of %2"_s.arg(*seen).arg(sent)));
    }

    void aWriteJustBeforeTheEndIsOnDisk()
    {
        std::unique_ptr<QProcess> child(startChild(u"write-and-quit"_s, m_config.path()));
        QVERIFY(child->waitForFinished(30000));
        QCOMPARE(child->exitCode(), 0);
        QCOMPARE(onDisk(SettingsStore(u"quit"_s), u"last"_s), QVariant(u"i:1"_s));
    }

    // Killed at any moment, the writer leaves the file of one round or of the next, never a mix.
    void aKilledWriterLeavesAWholeFile()
    {
        const SettingsStore store(u"churn"_s);
        for (int run = 0; run < 5; ++run) {
            std::unique_ptr<QProcess> child(startChild(u"churn"_s, m_config.path()));
            QVERIFY(child->waitForReadyRead(30000));
            QTest::qWait(20 + 97 * run);
            ::kill(pid_t(child->processId()), SIGKILL);
            QVERIFY(child->waitForFinished(30000));
            const QSettings settings(store.filePath(), QSettings::IniFormat);
            QCOMPARE(settings.status(), QSettings::NoError);
            const QVariant first = settings.value(u"k0"_s);
            QVERIFY(first.isValid());
            for (int k = 1; k < 20; ++k)
                QCOMPARE(settings.value(u"k%1"_s.arg(k)), first);
        }
    }

private:
    QTemporaryDir m_config;
};

// The test program doubles as the child processes some tests start.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString mode = app.arguments().value(1) == u"--child"_s ? app.arguments().value(2) : QString();
    if (mode == u"write-and-quit"_s) {
        QTimer::singleShot(0, &app, [] {
            SettingsStore(u"quit"_s).setValue(u"last"_s, qint64(1));
            QCoreApplication::quit();
        });
        return app.exec();
    }
    if (mode == u"churn"_s) {
        SettingsStore store(u"churn"_s);
        const QString filler(2000, u'x');
        int round = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++round;
            for (int k = 0; k < 20; ++k)
                store.setValue(u"k%1"_s.arg(k), filler + QString::number(round));
            if (round == 1) {
                store.flush();
                std::fputs("ready\n", stdout);
                std::fflush(stdout);
            }
        });
        timer.start(1);
        return app.exec();
    }
    TestSettingsFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsfile.moc"
