#include "app/singleinstance.h"

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int patience = 30000;
volatile sig_atomic_t usr1Received = 0;

void noteUsr1(int)
{
    usr1Received = 1;
}

} // namespace

// Runs the real program with its home and XDG folders in a fresh temporary folder per test.
class TstProcessEntry : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    std::vector<std::unique_ptr<QProcess>> m_processes;

    QString pidFile() const { return m_home->path() + u"/data/Quorvane/quorvane.pid"_s; }
    QString logFile() const { return m_home->path() + u"/state/Quorvane/quorvane.log"_s; }

    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString logText() const { return QString::fromUtf8(contentOf(logFile())); }
    QByteArray pidFileText() const { return contentOf(pidFile()); }

    QProcess *start(const QStringList &arguments, const QMap<QString, QString> &extra = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString home = m_home->path();
        environment.insert(u"HOME"_s, home);
        for (const QString &name : {u"STATE"_s, u"DATA"_s, u"CONFIG"_s, u"CACHE"_s})
            environment.insert(u"XDG_"_s + name + u"_HOME"_s, home + u"/"_s + name.toLower());
        for (auto it = extra.begin(); it != extra.end(); ++it)
            environment.insert(it.key(), it.value());
        process->setProcessEnvironment(environment);
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(QStringLiteral(QUORVANE_BINARY), arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // The last line a copy logs as it starts: its signals are read from then on.
    static QString readyLine(QProcess *process)
    {
        return u"SIGUSR2-handler actief: `kill -USR2 "_s + QString::number(process->processId()) + u"`"_s;
    }

    static bool endsCleanly(QProcess *process)
    {
        ::kill(pid_t(process->processId()), SIGTERM);
        return process->waitForFinished(patience) && process->exitStatus() == QProcess::NormalExit &&
               process->exitCode() == 0;
    }

    // Locks the pid file the way another program could, with the given content.
    static int lockForeign(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return -1;
        if (::ftruncate(fd, 0) != 0 ||
            ::write(fd, content.constData(), size_t(content.size())) != content.size())
            return -1;
        return fd;
    }

    // The pid of a process that has ended.
    static qint64 deadPid()
    {
        QProcess gone;
        gone.start(u"true"_s, QStringList());
        if (!gone.waitForStarted())
            return -1;
        const qint64 pid = gone.processId();
        gone.waitForFinished();
        return pid;
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
    }

    void cleanup()
    {
        for (const auto &process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(patience);
            }
        }
        m_processes.clear();
        m_home.reset();
    }

    void helpPrintsUsageEvenBesideARunningCopy()
    {
        // Without the hub the copy logs nothing more once it has started.
        QProcess *primary = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(u"opstarten klaar."_s), patience);
        const QString logBefore = logText();

        const QString home = m_home->path();
        const QString expected =
            u"Quorvane "_s + QStringLiteral(QUORVANE_VERSION_TEXT) +
            u"\n\n"
            u"  quorvane             start de app (systeemvak-icoon + sneltoets)\n"
            u"  quorvane --show      start en toon het paneel meteen; draait er al één, dan\n"
            u"                       toont die zijn paneel (via SIGUSR1) en stopt deze\n"
            u"  quorvane --live      verbind meteen met de Homey (dat doet elke start al)\n"
            u"  quorvane --no-homey  start zonder ook maar één netwerkcall (alleen de schil)\n"
            u"  quorvane --query X   zet X meteen in het zoekveld (screenshots, UI-tests)\n"
            u"  quorvane --room X    zoom meteen in op kamer X, bij elk tonen opnieuw (testhaak:\n"
            u"                       zo vindt een script of foto de kamer op naam, waar haar\n"
            u"                       tegel in het overzicht ook staat)\n"
            u"  quorvane --dim 30    zet de kamer uit --room meteen op 30% (testhaak)\n"
            u"  quorvane --keep-open verberg het paneel niet als het de focus verliest (testhaak)\n"
            u"  quorvane --help      deze tekst\n"
            u"\n"
            u"Zelftests en testhaken. Elk maakt er een testrun van (geen lock, geen sneltoets,\n"
            u"geen systeemvak-icoon; de app van de gebruiker blijft ongemoeid), op --test-id\n"
            u"en --onboarding-probe na. Zonder --keep-open stoppen --search, --type en --keys\n"
            u"na hun verslag; een zelftest die niet kan lopen zegt dat en stopt met status 2.\n"
            u"  --search Q           druk af wat zoekopdracht Q vindt\n"
            u"  --type T             tik T in het paneel en controleer elke toetsaanslag\n"
            u"  --runs N             --type zo vaak (standaard 1)\n"
            u"  --tempo MS           pauze na elke toets van --type en --keys (standaard 75)\n"
            u"  --delay MS           wachttijd voor elke run van --type (standaard 250)\n"
            u"  --freeze MS          per run van --type houden overzicht, kamer en zoeklijst zo\n"
            u"                       lang stil na eigen schakel- of dimacties, en volgen daarna\n"
            u"                       in één keer (0: uit)\n"
            u"  --hover              --type beweegt ook de muis over de lijst\n"
            u"  --offscreen          het paneel buiten beeld, zonder de toetsen te pakken\n"
            u"  --keys A,B           druk deze toetsen in het paneel: tab, enter, return, space,\n"
            u"                       esc, escape, up, down, left, right, backspace\n"
            u"  --shot NAAM          schrijf na --keys een foto NAAM.png naast het logboek (zonder\n"
            u"                       NAAM: panel.png)\n"
            u"  --notifications      open het paneel op de meldingenlijst\n"
            u"  --settings           open meteen het instellingenvenster\n"
            u"  --dry-run            log wat naar de Homey geschreven zou worden, verstuur niets\n"
            u"  --debug-energy       log hoe de energietotalen ontstaan\n"
            u"  --onboarding-test    koppelen met een eigen sleutel en eigen instellingen\n"
            u"  --test-id ID         de naam daarvan: letters, cijfers en -\n"
            u"  --onboarding-probe S speel koppelscenario S met --onboarding-test: valid,\n"
            u"                       invalid, replace, retry of forget\n"
            u"  --mock               alleen een testrun, verder niets; zo ook --notify-test en\n"
            u"                       --guard-audit\n"
            u"\n"
            u"Geen sneltoets onder Wayland? Koppel `quorvane` aan een sneltoets van je\n"
            u"bureaublad: een tweede start toont het paneel van de eerste.\n"
            u"\n"
            u"Draait de app al? `kill -USR1 <pid>` opent het paneel. Het pid-bestand staat in\n"_s +
            home + u"/data/Quorvane/quorvane.pid en het logboek in "_s + home +
            u"/state/Quorvane/quorvane.log.\n"_s;

        for (const QStringList &arguments : {QStringList{u"--help"_s}, QStringList{u"--show"_s, u"-h"_s}}) {
            QProcess *help = start(arguments);
            QVERIFY(help->waitForFinished(patience));
            QCOMPARE(help->exitCode(), 0);
            QCOMPARE(QString::fromUtf8(help->readAllStandardOutput()), expected);
        }
        QVERIFY(primary->state() == QProcess::Running);
        QCOMPARE(logText(), logBefore);
        QCOMPARE(pidFileText(), QByteArray::number(primary->processId()) + '\n');
    }

    void secondCopyShowsTheFirstOnesPanel()
    {
        QProcess *primary = start({});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(primary)), patience);

        QProcess *second = start({u"--show"_s});
        QVERIFY(second->waitForFinished(patience));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(logText().contains(u"er draait al een Quorvane (pid "_s +
                                   QString::number(primary->processId()) +
                                   u"). SIGUSR1 gestuurd om het paneel te tonen."_s));
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(u"SIGUSR1 ontvangen: paneel tonen"_s), patience);

        // A test instance leaves the running copy alone and runs beside it.
        QProcess *test = start({u"--query"_s, u"lamp"_s});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(test)), patience);
        QVERIFY(
            logText().contains(u"testmodus: geen hotkey, geen lock, geen statusitem. De app van de gebruiker "
                               u"blijft ongemoeid. Toon dit paneel met `kill -USR1 "_s +
                               QString::number(test->processId()) + u"`, fotografeer het met `kill -USR2 "_s +
                               QString::number(test->processId()) + u"`."_s));
        QCOMPARE(logText().count(u"SIGUSR1 ontvangen"_s), 1);
        QVERIFY(endsCleanly(test));
        QVERIFY(endsCleanly(primary));
        QVERIFY(logText().endsWith(u"Quorvane stopt.\n"_s));
    }

    // Qt that cannot reach the desktop ends the run with a line in the log and status 1, as a missing
    // display does, instead of aborting without a word in the log.
    void desktopOutOfReachEndsWithALine_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("line");
        QTest::newRow("no such plugin")
            << u"nosuch"_s << u"!! geen beeldscherm: Qt heeft geen plugin voor \"nosuch\"."_s;
        QTest::newRow("no compositor")
            << u"wayland"_s
            << u"!! geen beeldscherm: Qt kon de desktop niet bereiken (geprobeerd: "
               u"\"wayland\"). Start Quorvane in een grafische sessie."_s;
    }
    void desktopOutOfReachEndsWithALine()
    {
        QFETCH(QString, platform);
        QFETCH(QString, line);
        QProcess *process = start({}, {{u"QT_QPA_PLATFORM"_s, platform},
                                       {u"WAYLAND_DISPLAY"_s, m_home->filePath(u"no-compositor"_s)}});
        QVERIFY(process->waitForFinished(patience));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 1);
        QVERIFY2(logText().contains(line), qPrintable(logText()));
    }

    void fiftyCopiesAtOnceLeaveOne()
    {
        std::vector<QProcess *> copies;
        for (int i = 0; i < 50; ++i)
            copies.push_back(start({}));
        const auto running = [&] {
            return std::count_if(copies.begin(), copies.end(),
                                 [](QProcess *p) { return p->state() != QProcess::NotRunning; });
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 120000);
        QProcess *primary = nullptr;
        for (QProcess *copy : copies) {
            if (copy->state() != QProcess::NotRunning) {
                primary = copy;
                continue;
            }
            QCOMPARE(copy->exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy->exitCode(), 0);
        }
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(primary)), patience);
        QCOMPARE(pidFileText(), QByteArray::number(primary->processId()) + '\n');
        // One copy came as far as its launch; the warnings here are about the desktop this test lacks.
        QTRY_COMPARE_WITH_TIMEOUT(logText().count(u"opstarten klaar."_s), 1, patience);
        QVERIFY(!logText().contains(u"!! single-instance"_s));
        QVERIFY(!logText().contains(u"!! SIGUSR1"_s));
        QVERIFY(endsCleanly(primary));
    }

    void signalTheMomentTheLockIsTakenShowsThePanel()
    {
        // What a second copy does at the earliest possible moment: signal the holder the kernel names.
        QProcess *copy = start({});
        QVERIFY(copy->waitForStarted(patience));
        const QByteArray path = QFile::encodeName(pidFile());
        QDeadlineTimer deadline(patience);
        pid_t holder = 0;
        while (holder != pid_t(copy->processId()) && !deadline.hasExpired()) {
            const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            struct flock record = {};
            record.l_type = F_WRLCK;
            if (::fcntl(fd, F_GETLK, &record) == 0 && record.l_type != F_UNLCK)
                holder = record.l_pid;
            ::close(fd);
        }
        QCOMPARE(holder, pid_t(copy->processId()));
        QCOMPARE(::kill(holder, SIGUSR1), 0);
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(u"SIGUSR1 ontvangen: paneel tonen"_s), patience);
        QVERIFY(endsCleanly(copy));
    }

    void lockedFileWithoutAPidLeavesUsPrimary_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("letters") << QByteArray("abc\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("zero") << QByteArray("0\n");
        QTest::newRow("negative") << QByteArray("-5\n");
    }
    void lockedFileWithoutAPidLeavesUsPrimary()
    {
        QFETCH(QByteArray, content);
        const int fd = lockForeign(pidFile(), content);
        QVERIFY(fd >= 0);
        QProcess *copy = start({});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(copy)), patience);
        QVERIFY(logText().contains(
            u"!! single-instance: lock bezet maar geen leesbare pid. Ga door als primair."_s));
        QCOMPARE(pidFileText(), content); // not ours to rewrite
        QVERIFY(endsCleanly(copy));
        ::close(fd);
    }

    void lockedFileNamingARunningCopyGetsTheSignal_data()
    {
        QTest::addColumn<int>("writeAfter"); // ms after the start; -1: before it
        QTest::newRow("named before") << -1;
        // The holder may be between emptying the file and writing its pid: the copy waits for it.
        QTest::newRow("named while the copy waits") << 50;
    }
    void lockedFileNamingARunningCopyGetsTheSignal()
    {
        QFETCH(int, writeAfter);
        struct sigaction action = {};
        action.sa_handler = noteUsr1;
        struct sigaction previous = {};
        QCOMPARE(::sigaction(SIGUSR1, &action, &previous), 0);
        usr1Received = 0;
        const QByteArray ownPid = " "_ba + QByteArray::number(::getpid()) + '\n';
        const int fd = lockForeign(pidFile(), writeAfter < 0 ? ownPid : QByteArray());
        QVERIFY(fd >= 0);

        QProcess *copy = start({});
        if (writeAfter >= 0) {
            QVERIFY(copy->waitForStarted(patience));
            QTest::qWait(writeAfter);
            QCOMPARE(::pwrite(fd, ownPid.constData(), size_t(ownPid.size()), 0), ownPid.size());
        }
        QVERIFY(copy->waitForFinished(patience));
        QCOMPARE(copy->exitCode(), 0);
        QTRY_VERIFY(usr1Received == 1);
        QVERIFY(!logText().contains(u"lock bezet"_s));
        ::close(fd);
        ::sigaction(SIGUSR1, &previous, nullptr);
    }

    void signalThatCannotBeSentEndsWithOne()
    {
        const qint64 dead = deadPid();
        QVERIFY(dead > 0);
        const int fd = lockForeign(pidFile(), QByteArray::number(dead) + '\n');
        QVERIFY(fd >= 0);
        QProcess *copy = start({});
        QVERIFY(copy->waitForFinished(patience));
        QCOMPARE(copy->exitCode(), 1);
        QVERIFY(
            logText().contains(u"!! SIGUSR1 naar pid "_s + QString::number(dead) + u" mislukt (errno 3)."_s));
        ::close(fd);
    }

    void unopenablePidFileLeavesUsPrimary()
    {
        QVERIFY(QDir().mkpath(pidFile())); // a folder in its place
        QProcess *copy = start({});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(copy)), patience);
        QVERIFY(logText().contains(u"!! single-instance: kan "_s + pidFile() +
                                   u" niet openen (errno 21). Ga door als primair."_s));
        QVERIFY(endsCleanly(copy));
    }

    void isolatedRunKeepsToItsOwnFiles()
    {
        QProcess *copy = start({u"--onboarding-test"_s, u"--test-id"_s, u"eigen-1"_s});
        const QString log = m_home->path() + u"/state/Quorvane/onboarding-eigen-1.log"_s;
        QTRY_VERIFY_WITH_TIMEOUT(QString::fromUtf8(contentOf(log)).contains(readyLine(copy)), patience);
        QVERIFY(endsCleanly(copy));
        // No lock, no standard log, and the launch count in the run's own settings suite.
        QVERIFY(!QFile::exists(pidFile()));
        QVERIFY(!QFile::exists(logFile()));
        const QDir settings(m_home->path() + u"/config/Quorvane"_s);
        QCOMPARE(settings.entryList(QDir::Files),
                 QStringList{u"ai.velkor.quorvane.onboarding-test.eigen-1.conf"_s});
        const QByteArray own = contentOf(settings.filePath(settings.entryList(QDir::Files).constFirst()));
        QVERIFY(own.contains("app.launchCount=i:1"));
    }

    // A program we start (the file manager of "Toon logboek") may run on after we quit: it must not keep
    // the lock, or every later start would take itself for a second copy and end.
    void aProgramWeStartedDoesNotKeepTheLock()
    {
        const QString path = m_home->path() + u"/started.pid"_s;
        int report[2];
        QCOMPARE(::pipe2(report, O_CLOEXEC), 0);
        // The copy that runs: takes the lock, starts a program as the desktop opener is started, quits.
        const pid_t copy = ::fork();
        QVERIFY(copy >= 0);
        if (copy == 0) {
            ::close(report[0]);
            qint64 started = 0;
            if (SingleInstance::acquire(path).isPrimary()) {
                QProcess program;
                program.setProgram(u"sleep"_s);
                program.setArguments({u"300"_s});
                program.setStandardOutputFile(QProcess::nullDevice());
                program.setStandardErrorFile(QProcess::nullDevice());
                program.startDetached(&started);
            }
            const bool told = ::write(report[1], &started, sizeof started) == sizeof started;
            ::_exit(told ? 0 : 1);
        }
        ::close(report[1]);
        qint64 started = 0;
        const bool told = ::read(report[0], &started, sizeof started) == sizeof started;
        ::close(report[0]);
        const auto endProgram = qScopeGuard([started] {
            if (started > 0)
                ::kill(pid_t(started), SIGKILL);
        });
        int status = 0;
        QCOMPARE(::waitpid(copy, &status, 0), copy);
        QVERIFY(told && started > 0);
        QCOMPARE(::kill(pid_t(started), 0), 0);

        const SingleInstance::Outcome next = SingleInstance::acquire(path);
        QVERIFY2(next.isPrimary(),
                 qPrintable(u"the lock is held by pid "_s + QString::number(next.runningPid.value_or(0)) +
                            u", the program started was "_s + QString::number(started)));
        QCOMPARE(::kill(pid_t(started), 0), 0);
    }

    void stalePidFileIsTakenOver()
    {
        const qint64 dead = deadPid();
        QVERIFY(dead > 0);
        QDir().mkpath(QFileInfo(pidFile()).absolutePath());
        QFile stale(pidFile());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(dead) + "\n");
        stale.close();

        QProcess *copy = start({});
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(readyLine(copy)), patience);
        QCOMPARE(pidFileText(), QByteArray::number(copy->processId()) + '\n');
        QVERIFY(!logText().contains(u"er draait al"_s));
        QVERIFY(endsCleanly(copy));
    }
};

QTEST_GUILESS_MAIN(TstProcessEntry)
#include "tst_processentry.moc"
