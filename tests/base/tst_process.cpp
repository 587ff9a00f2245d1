#include "base/appconfiguration.h"
#include "base/log.h"
#include "base/settingsstore.h"

#include <cmath>
#include <limits>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QUuid>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QRegularExpression linePattern(u"^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}  (.*)$"_s);

// Enough lines that the log's writer is still busy with them when the application object goes.
constexpr int orderlyLines = 2000;

QString messageOf(const QByteArray &line)
{
    return linePattern.match(QString::fromUtf8(line)).captured(1);
}

// Every type, with the edge cases that an untyped INI file gets wrong.
QList<std::pair<QString, SettingsValue>> sampleValues()
{
    return {
        {u"flag.off"_s, SettingsValue(false)},
        {u"negative"_s, SettingsValue(qint64(-9'000'000'000LL))},
        {u"tenth"_s, SettingsValue(0.1)},
        {u"whole.double"_s, SettingsValue(2.0)},
        {u"infinite"_s, SettingsValue(std::numeric_limits<double>::infinity())},
        {u"largest"_s, SettingsValue(std::numeric_limits<double>::max())},
        {u"text"_s, SettingsValue(u"Woonkamer, boven; \"quoted\" = @x http://h/a?b=c#d"_s)},
        {u"empty.text"_s, SettingsValue(QString())},
        {u"number.text"_s, SettingsValue(u"12"_s)},
        {u"tagged.text"_s, SettingsValue(u"i:5"_s)},
        {u"multi.line"_s, SettingsValue(u"een\ntwee\tdrie ü"_s)},
        {u"empty.list"_s, SettingsValue(QStringList{})},
        {u"one.item"_s, SettingsValue(QStringList{u"alleen"_s})},
        {u"list.with.empty"_s, SettingsValue(QStringList{QString(), u"a,b"_s})},
        {u"weights"_s, SettingsValue(QMap<QString, double>{{u"lamp"_s, 0.1}, {u"dim.level"_s, -3.0}})},
        {u"slash/in key"_s, SettingsValue(qint64(1))},
        {u"back\\slash%25"_s, SettingsValue(qint64(2))},
    };
}

// The encoded form is a stable text of type and value, so two processes can be compared as text.
QString describeAll(const SettingsStore &store)
{
    QString text;
    for (const auto &[key, value] : sampleValues()) {
        const auto read = store.value(key);
        text += key + u": "_s + (read ? SettingsStore::encode(*read) : u"absent"_s) + u'\n';
    }
    return text;
}

QString expectedDescription()
{
    QString text;
    for (const auto &[key, value] : sampleValues())
        text += key + u": "_s + SettingsStore::encode(value) + u'\n';
    return text;
}

QString runChild(const QString &suite, const QString &mode)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--settings-child"_s, suite, mode});
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return u"child failed: "_s + QString::fromUtf8(child.readAllStandardError());
    return QString::fromUtf8(child.readAllStandardOutput());
}

// The threads of this process other than the caller that may still run code. A thread that has been
// joined may stay listed for a moment, while the kernel takes it down, when the machine is busy: it has
// begun to exit by then (the kernel's PF_EXITING flag, set before a joiner can return), and runs nothing
// of ours again.
qsizetype threadsStillRunning()
{
    constexpr quint64 exiting = 0x4;
    const QString self = QString::number(::gettid());
    const QDir tasks(u"/proc/self/task"_s);
    qsizetype running = 0;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (task == self)
            continue;
        QFile stat(tasks.filePath(task + u"/stat"_s));
        const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
        if (line.isEmpty())
            continue; // gone meanwhile
        // After the name, which may hold blanks and parentheses: state, ppid, pgrp, session, tty, tpgid,
        // flags.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (!(fields.value(6).toULongLong() & exiting))
            ++running;
    }
    return running;
}

// Wrapped so that QTest's column registration does not look for ordering operators.
struct Stored {
    std::optional<SettingsValue> value;
};

} // namespace

// What the process keeps outside itself: its log file, its settings, and the flags it was started with.
class TestProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneLinePerMessage_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain, UTF-8") << u"!! Lampje € 🙂"_s << u"!! Lampje € 🙂"_s;
        QTest::newRow("line feed") << u"Lamp\n!! nep"_s << u"Lamp\\n!! nep"_s;
        QTest::newRow("CR, tab") << u"a\r\tb"_s << u"a\\r\\tb"_s;
        QTest::newRow("other C0, NUL") << u"a"_s + QChar(0x1b) + QChar(0) + u"b"_s << u"a\\x1b\\x00b"_s;
        QTest::newRow("DEL and C1") << u"a"_s + QChar(0x7f) + QChar(0x85) << u"a\\x7f\\x85"_s;
        QTest::newRow("line separator") << u"a"_s + QChar(0x2028) + u"b"_s << u"a\\u2028b"_s;
        QTest::newRow("backslash as is") << u"C:\\pad"_s << u"C:\\pad"_s;
    }
    void oneLinePerMessage()
    {
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quorvane.log"_s);
        Log log(path);
        log.write(message);
        log.flush();
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.count('\n'), 1);
        QVERIFY(bytes.endsWith('\n'));
        QTEST(messageOf(bytes.chopped(1)), "written");
    }

    void startDeletesOnlyAnOversizedFile_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("kept");
        QTest::newRow("exactly the limit") << qint64(1'000'000) << true;
        QTest::newRow("one byte more") << qint64(1'000'001) << false;
    }
    void startDeletesOnlyAnOversizedFile()
    {
        QFETCH(qint64, size);
        QFETCH(bool, kept);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quorvane.log"_s);
        const QByteArray old(size, 'x');
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == size);
        file.close();
        Log log(path);
        log.write(u"nieuw"_s);
        log.flush();
        const QByteArray now = readAll(path);
        QCOMPARE(now.startsWith(old), kept);
        QCOMPARE(now.size(), (kept ? size : 0) + 31);
    }

    void missingFolderAndFileAreMade()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"state/Quorvane/deeper/quorvane.log"_s);
        Log log(path);
        log.write(u"een"_s);
        log.flush();
        QVERIFY(QFile::remove(path));
        log.write(u"twee"_s);
        log.flush();
        QVERIFY(readAll(path).endsWith("  twee\n"));
        QCOMPARE(readAll(path).count('\n'), 1);
    }

    void placesThatTakeNoLinesLoseThemWithoutWaiting()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString fifo = dir.filePath(u"fifo.log"_s);
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        for (const QString &path : {dir.filePath(u"blocker/Quorvane/quorvane.log"_s), fifo,
                                    u"/proc/quorvane-none/quorvane.log"_s}) {
            Log log(path);
            log.write(u"weg"_s);
            log.flush(); // a FIFO without a reader would hold this forever
        }
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QCOMPARE(QFileInfo(blocker).size(), 0);
    }

    void flushWaitsForABurstFromSeveralThreads()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"quorvane.log"_s);
        Log log(path);
        constexpr int threads = 4;
        constexpr int perThread = 400;
        std::vector<std::thread> writers;
        for (int t = 0; t < threads; ++t) {
            writers.emplace_back([&log, t] {
                for (int i = 0; i < perThread; ++i)
                    log.write(u"t%1 %2"_s.arg(t).arg(i));
            });
        }
        for (auto &w : writers)
            w.join();
        log.flush();
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), threads * perThread + 1);
        int next[threads] = {};
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QStringList parts = messageOf(lines[i]).split(u' ');
            const int t = parts.value(0).mid(1).toInt();
            QCOMPARE(parts.value(1).toInt(), next[t]++);
        }
    }

    void sharedLogPicksItsFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("withStateHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << QStringList{} << true << u"state/Quorvane/quorvane.log"_s;
        QTest::newRow("isolated") << QStringList{u"--onboarding-test"_s, u"--test-id"_s, u"abc-1"_s} << true
                                  << u"state/Quorvane/onboarding-abc-1.log"_s;
        QTest::newRow("no XDG_STATE_HOME")
            << QStringList{} << false << u"home/.local/state/Quorvane/quorvane.log"_s;
    }
    void sharedLogPicksItsFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, withStateHome);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, dir.filePath(u"home"_s));
        if (withStateHome)
            env.insert(u"XDG_STATE_HOME"_s, dir.filePath(u"state"_s));
        else
            env.remove(u"XDG_STATE_HOME"_s);
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    QStringList{u"--write-shared-log"_s} + arguments);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), dir.filePath(expected));
        const QByteArray bytes = readAll(dir.filePath(expected));
        QVERIFY(bytes.endsWith("  gestart\n"));
        QCOMPARE(child.readAllStandardError(), bytes);
    }

    // The log's and the settings' threads stop with the application object, their last lines and writes
    // out first; what comes after is written on the caller's thread, in order.
    void workerThreadsStopWithTheApplication()
    {
        QTemporaryDir dir;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_STATE_HOME"_s, dir.filePath(u"state"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, dir.filePath(u"config"_s));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {u"--stop-with-application"_s});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("0"));

        const QList<QByteArray> lines = readAll(dir.filePath(u"state/Quorvane/quorvane.log"_s)).split('\n');
        QCOMPARE(lines.size(), orderlyLines + 2);
        for (int i = 0; i < orderlyLines; ++i)
            QCOMPARE(messageOf(lines.at(i)), u"regel "_s + QString::number(i));
        QCOMPARE(messageOf(lines.at(orderlyLines)), u"na de applicatie"_s);
        const QSettings written(dir.filePath(u"config/Quorvane/orderly.conf"_s), QSettings::IniFormat);
        QVERIFY(written.value(u"laatste"_s).toString().endsWith(u"%1"_s.arg(orderlyLines)));
    }

    void initTestCase()
    {
        // The test home outlives a run: start from no settings at all.
        QDir(QFileInfo(SettingsStore::standard().filePath()).absolutePath()).removeRecursively();
        QCOMPARE(SettingsStore::standard().filePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Quorvane/quorvane.conf"_s);
    }

    void valuesCrossProcessesUnchanged()
    {
        SettingsStore here(u"written-here"_s);
        for (const auto &[key, value] : sampleValues())
            here.setValue(key, value);
        QCOMPARE(runChild(here.suite(), u"read"_s), expectedDescription());

        SettingsStore there(u"written-there"_s);
        QCOMPARE(there.value(u"text"_s), std::nullopt); // read as absent before the child writes
        QCOMPARE(runChild(there.suite(), u"write"_s), QString());
        QCOMPARE(describeAll(there), expectedDescription());
        for (const auto &[key, value] : sampleValues())
            QCOMPARE(there.value(key), std::optional(value));
        there.setValue(u"nan"_s, std::numeric_limits<double>::quiet_NaN());
        QVERIFY(std::isnan(there.doubleValue(u"nan"_s).value_or(0)));
    }

    void storesOfOneSuiteShareWritesAndRemovals()
    {
        SettingsStore a(u"shared"_s);
        SettingsStore b(u"shared"_s);
        a.setValue(u"hotkey.keyCode"_s, qint64(49));
        QCOMPARE(b.integerValue(u"hotkey.keyCode"_s), std::optional<qint64>(49));
        QCOMPARE(b.doubleValue(u"hotkey.keyCode"_s), std::nullopt);
        QCOMPARE(b.stringValue(u"hotkey.keyCode"_s), std::nullopt);
        b.remove(u"hotkey.keyCode"_s);
        QVERIFY(!a.contains(u"hotkey.keyCode"_s));
        // A key and a longer key that starts with it stay two separate entries.
        a.setValue(u"notify"_s, true);
        a.setValue(u"notify.enabled"_s, QStringList{u"x"_s});
        QCOMPARE(b.boolValue(u"notify"_s), std::optional(true));
        QCOMPARE(b.stringListValue(u"notify.enabled"_s), std::optional(QStringList{u"x"_s}));
        QCOMPARE(b.stringValue(u"notify.enabled"_s), std::nullopt);
    }

    // Lists are stored as the JSON writer writes them, whatever their texts hold.
    void listsAreStoredAsJson_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::newRow("none") << QStringList{};
        QTest::newRow("ids") << QStringList{u"5f0c8a52-1c1e-4d43-9a7b-2e0c1a7f3b11"_s, u"n-2"_s};
        QTest::newRow("empty text") << QStringList{QString(), u"a"_s};
        QTest::newRow("quote and backslash") << QStringList{u"say \"hi\""_s, u"c:\\x"_s};
        QTest::newRow("control and tab") << QStringList{u"a\tb\n\x01"_s};
        QTest::newRow("beyond ASCII") << QStringList{u"café"_s, u"\x7f"_s, u"😀"_s};
    }
    void listsAreStoredAsJson()
    {
        QFETCH(QStringList, list);
        QCOMPARE(SettingsStore::encode(list),
                 u"l:"_s +
                     QString::fromUtf8(
                         QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact)));
        QCOMPARE(SettingsStore::decode(SettingsStore::encode(list)), std::optional(SettingsValue(list)));
    }

    void lenientReadings_data()
    {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<qint64>("asInteger");
        using V = Stored;
        QTest::newRow("absent") << V{} << false << qint64(0);
        QTest::newRow("true") << V{true} << true << qint64(1);
        QTest::newRow("integer") << V{qint64(-7)} << true << qint64(-7);
        QTest::newRow("integer zero") << V{qint64(0)} << false << qint64(0);
        QTest::newRow("negative double") << V{-2.9} << true << qint64(-2);
        QTest::newRow("small double") << V{0.4} << true << qint64(0);
        QTest::newRow("huge double") << V{1e300} << true << std::numeric_limits<qint64>::max();
        QTest::newRow("text Yes") << V{u"Yes"_s} << true << qint64(0);
        QTest::newRow("text no") << V{u"no"_s} << false << qint64(0);
        QTest::newRow("text fraction") << V{u"-3.7"_s} << true << qint64(-3);
        QTest::newRow("text large") << V{u"9000000000000000001"_s} << true << qint64(9000000000000000001LL);
        QTest::newRow("text nan") << V{u"nan"_s} << false << qint64(0);
        QTest::newRow("list") << V{QStringList{u"1"_s}} << false << qint64(0);
    }
    void lenientReadings()
    {
        QFETCH(Stored, stored);
        SettingsStore store(u"readings"_s);
        if (stored.value)
            store.setValue(u"k"_s, *stored.value);
        else
            store.remove(u"k"_s);
        QTEST(store.boolReading(u"k"_s), "asBool");
        QTEST(store.integerReading(u"k"_s), "asInteger");
    }

    void foreignEntriesNeverBreakReading()
    {
        SettingsStore store(u"foreign"_s);
        QDir().mkpath(QFileInfo(store.filePath()).absolutePath());
        QFile file(store.filePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[General]\nplain=hallo\nlist=a, b\nbadint=i:twaalf\nbadlist=l:[1\nbadmap=\"m:{\\\"a\\\":1}\"\n");
        file.close();
        QCOMPARE(store.value(u"plain"_s), std::optional(SettingsValue(u"hallo"_s)));
        QCOMPARE(store.value(u"list"_s), std::optional(SettingsValue(QStringList{u"a"_s, u"b"_s})));
        QCOMPARE(store.value(u"badint"_s), std::nullopt);
        QCOMPARE(store.value(u"badlist"_s), std::nullopt);
        QCOMPARE(store.value(u"badmap"_s), std::nullopt);
    }

    void aFifoInPlaceOfTheFileIsLeftAlone()
    {
        SettingsStore store(u"fifo"_s);
        QDir().mkpath(QFileInfo(store.filePath()).absolutePath());
        QVERIFY(::mkfifo(QFile::encodeName(store.filePath()).constData(), 0600) == 0);
        // Opening it would wait for a writer forever.
        QCOMPARE(store.value(u"k"_s), std::nullopt);
        store.setValue(u"k"_s, true);
        store.remove(u"k"_s);
        QVERIFY(!QFileInfo(store.filePath()).isFile());
        QVERIFY(QFile::remove(store.filePath()));
    }

    void argumentsAreReadExactly_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("isolated");
        QTest::addColumn<QString>("testID"); // empty: a fresh UUID
        QTest::newRow("nothing") << QStringList{} << false << QString();
        QTest::newRow("isolated, plain id")
            << QStringList{u"--onboarding-test"_s, u"--test-id"_s, u"abc-1"_s} << true << u"abc-1"_s;
        QTest::newRow("isolated with a value") << QStringList{u"--onboarding-test=1"_s} << false << QString();
        QTest::newRow("other case") << QStringList{u"--Onboarding-Test"_s} << false << QString();
        QTest::newRow("non-ASCII letters") << QStringList{u"--test-id"_s, u"één-2"_s} << false << u"één-2"_s;
        QTest::newRow("flag last") << QStringList{u"--test-id"_s} << false << QString();
        QTest::newRow("empty") << QStringList{u"--test-id"_s, QString()} << false << QString();
        QTest::newRow("underscore") << QStringList{u"--test-id"_s, u"abc_1"_s} << false << QString();
        QTest::newRow("path") << QStringList{u"--test-id"_s, u"../x"_s} << false << QString();
        QTest::newRow("first flag counts")
            << QStringList{u"--test-id"_s, u"bad!"_s, u"--test-id"_s, u"good"_s} << false << QString();
    }
    void argumentsAreReadExactly()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, testID);
        arguments.prepend(u"quorvane"_s);
        QTEST(AppConfiguration::isolatedFrom(arguments), "isolated");
        const QString id = AppConfiguration::testIDFrom(arguments);
        if (!testID.isEmpty()) {
            QCOMPARE(id, testID);
            return;
        }
        QVERIFY(!QUuid::fromString(id).isNull());
        QVERIFY(AppConfiguration::testIDFrom(arguments) != id);
    }

    void processValuesAreWorkedOutOnce()
    {
        QCOMPARE(AppConfiguration::isolated(), false);
        const QString id = AppConfiguration::testID();
        QVERIFY(!QUuid::fromString(id).isNull());
        QCOMPARE(AppConfiguration::testID(), id);
    }

    void valuesAreReadBeforeTheApplicationExists()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--probe-early"_s, u"--onboarding-test"_s, u"--test-id"_s, u"vroeg-7"_s});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("true vroeg-7"));
    }
};

// The test program doubles as the child processes some tests start.
int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--probe-early") == 0) {
        // No application object yet: the values come from the kernel's copy of the command line.
        const bool isolated = AppConfiguration::isolated();
        const QString id = AppConfiguration::testID();
        QCoreApplication app(argc, argv);
        QTextStream(stdout) << (isolated ? u"true "_s : u"false "_s) << id;
        return 0;
    }
    if (argc > 1 && qstrcmp(argv[1], "--stop-with-application") == 0) {
        {
            QCoreApplication app(argc, argv);
            SettingsStore settings(u"orderly"_s);
            // From the event loop, so the settings wait to be written behind, as in the program.
            QTimer::singleShot(0, &app, [&] {
                for (int i = 0; i < orderlyLines; ++i)
                    log(u"regel "_s + QString::number(i));
                settings.setValue(u"laatste"_s, QString::number(orderlyLines));
                QCoreApplication::quit();
            });
            app.exec();
        }
        // Only this thread runs once the application object has gone.
        const qsizetype others = threadsStillRunning();
        log(u"na de applicatie"_s);
        QTextStream(stdout) << others;
        return 0;
    }
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(u"--write-shared-log"_s)) {
        log(u"gestart"_s);
        Log::shared().flush();
        QTextStream(stdout) << Log::fileURL();
        return 0;
    }
    if (app.arguments().value(1) == u"--settings-child"_s) {
        SettingsStore store(app.arguments().value(2));
        if (app.arguments().value(3) == u"write"_s) {
            for (const auto &[key, value] : sampleValues())
                store.setValue(key, value);
        } else {
            QTextStream(stdout) << describeAll(store);
        }
        return 0;
    }
    TestProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_process.moc"
