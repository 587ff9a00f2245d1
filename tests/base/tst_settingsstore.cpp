#include "base/settingsstore.h"

#include <cmath>
#include <limits>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextStream>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

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

// Wrapped so that QTest's column registration does not look for ordering operators.
struct Stored {
    std::optional<SettingsValue> value;
};

} // namespace

class TstSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
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
    TstSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
