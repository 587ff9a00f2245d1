#include "base/log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QRegularExpression linePattern(u"^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}  (.*)$"_s);

QString messageOf(const QByteArray &line)
{
    return linePattern.match(QString::fromUtf8(line)).captured(1);
}

} // namespace

class TstLog : public QObject {
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
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().contains(u"--write-shared-log"_s)) {
        log(u"gestart"_s);
        Log::shared().flush();
        QTextStream(stdout) << Log::fileURL();
        return 0;
    }
    TstLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_log.moc"
