#include "base/settingsstore.h"

#include <cmath>
#include <limits>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Every type, with the edge cases that an untyped INI file gets wrong.
QList<std::pair<QString, SettingsValue>> sampleValues()
{
    return {
        {u"flag.on"_s, SettingsValue(true)},
        {u"flag.off"_s, SettingsValue(false)},
        {u"count"_s, SettingsValue(qint64(42))},
        {u"negative"_s, SettingsValue(qint64(-9'000'000'000LL))},
        {u"zero"_s, SettingsValue(qint64(0))},
        {u"tenth"_s, SettingsValue(0.1)},
        {u"whole.double"_s, SettingsValue(2.0)},
        {u"tiny"_s, SettingsValue(-1.5e-300)},
        {u"text"_s, SettingsValue(u"Woonkamer, boven; \"quoted\" = @x"_s)},
        {u"empty.text"_s, SettingsValue(QString())},
        {u"number.text"_s, SettingsValue(u"12"_s)},
        {u"bool.text"_s, SettingsValue(u"true"_s)},
        {u"tagged.text"_s, SettingsValue(u"i:5"_s)},
        {u"multi.line"_s, SettingsValue(u"een\ntwee\tdrie ü"_s)},
        {u"notify.p2000.regions"_s, SettingsValue(QStringList{u"Utrecht"_s, u"Gooi en Vechtstreek"_s})},
        {u"empty.list"_s, SettingsValue(QStringList{})},
        {u"one.item"_s, SettingsValue(QStringList{u"alleen"_s})},
        {u"list.with.empty"_s, SettingsValue(QStringList{QString(), u"a,b"_s})},
        {u"weights"_s, SettingsValue(QMap<QString, double>{{u"lamp"_s, 0.1}, {u"dim.level"_s, -3.0}})},
        {u"empty.map"_s, SettingsValue(QMap<QString, double>{})},
        {u"ai.velkor.quorvane.baseURL"_s, SettingsValue(u"http://192.168.1.5"_s)},
        {u"slash/in key"_s, SettingsValue(qint64(1))},
        {u"back\\slash%25"_s, SettingsValue(qint64(2))},
    };
}

// A stable description of type and value, so two processes can be compared as text.
QString describe(const std::optional<SettingsValue> &v)
{
    if (!v)
        return u"absent"_s;
    if (auto b = std::get_if<bool>(&*v))
        return u"bool "_s + (*b ? u"true"_s : u"false"_s);
    if (auto i = std::get_if<qint64>(&*v))
        return u"int "_s + QString::number(*i);
    if (auto d = std::get_if<double>(&*v))
        return u"double "_s + QString::number(*d, 'g', 17);
    if (auto s = std::get_if<QString>(&*v))
        return u"text ["_s + *s + u"]"_s;
    if (auto l = std::get_if<QStringList>(&*v))
        return u"list "_s + QString::number(l->size()) + u" ["_s + l->join(u"]["_s) + u"]"_s;
    QString out = u"map"_s;
    const auto &map = std::get<QMap<QString, double>>(*v);
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        out += u" "_s + it.key() + u"="_s + QString::number(it.value(), 'g', 17);
    return out;
}

QStringList sampleKeys()
{
    QStringList keys;
    for (const auto &[key, value] : sampleValues())
        keys << key;
    return keys << u"never.written"_s;
}

int childMain(const QStringList &arguments)
{
    // quorvane-settings-child <suite> write|read
    SettingsStore store(arguments.value(2));
    if (arguments.value(3) == u"write"_s) {
        for (const auto &[key, value] : sampleValues())
            store.setValue(key, value);
        return 0;
    }
    QTextStream out(stdout);
    for (const QString &key : sampleKeys())
        out << key << u": "_s << describe(store.value(key)) << u'\n';
    return 0;
}

QString describeAll(const SettingsStore &store)
{
    QString text;
    for (const QString &key : sampleKeys())
        text += key + u": "_s + describe(store.value(key)) + u'\n';
    return text;
}

QString expectedDescription()
{
    QString text;
    for (const auto &[key, value] : sampleValues())
        text += key + u": "_s + describe(value) + u'\n';
    return text + u"never.written: absent\n"_s;
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
    }

    void fileLivesUnderTheConfigFolder()
    {
        QCOMPARE(SettingsStore::standard().suite(), u"quorvane"_s);
        QCOMPARE(SettingsStore::standard().filePath(),
                 qEnvironmentVariable("XDG_CONFIG_HOME") + u"/Quorvane/quorvane.conf"_s);
    }

    void anotherProcessReadsWhatWeWrote()
    {
        SettingsStore store(u"written-here"_s);
        for (const auto &[key, value] : sampleValues())
            store.setValue(key, value);
        QCOMPARE(runChild(store.suite(), u"read"_s), expectedDescription());
    }

    void weReadWhatAnotherProcessWrote()
    {
        SettingsStore store(u"written-there"_s);
        QCOMPARE(store.value(u"count"_s), std::nullopt); // cached as absent before the child writes
        QCOMPARE(runChild(store.suite(), u"write"_s), QString());
        QCOMPARE(describeAll(store), expectedDescription());
        for (const auto &[key, value] : sampleValues())
            QCOMPARE(store.value(key), std::optional(value));
    }

    void storesOfOneSuiteShareWritesAndRemovals()
    {
        SettingsStore a(u"shared"_s);
        SettingsStore b(u"shared"_s);
        a.setValue(u"hotkey.keyCode"_s, qint64(49));
        QCOMPARE(b.integerValue(u"hotkey.keyCode"_s), std::optional<qint64>(49));
        b.setValue(u"hotkey.keyCode"_s, u"spatie"_s);
        QCOMPARE(a.stringValue(u"hotkey.keyCode"_s), std::optional(u"spatie"_s));
        QVERIFY(a.contains(u"hotkey.keyCode"_s));
        b.remove(u"hotkey.keyCode"_s);
        QVERIFY(!a.contains(u"hotkey.keyCode"_s));
        QCOMPARE(a.value(u"hotkey.keyCode"_s), std::nullopt);
        // A key and a longer key that starts with it stay two separate entries.
        a.setValue(u"notify"_s, true);
        a.setValue(u"notify.enabled"_s, false);
        QCOMPARE(b.boolValue(u"notify"_s), std::optional(true));
        QCOMPARE(b.boolValue(u"notify.enabled"_s), std::optional(false));
    }

    void typedGettersGiveOnlyTheirOwnType()
    {
        SettingsStore store(u"typed"_s);
        store.setValue(u"n"_s, qint64(3));
        QCOMPARE(store.integerValue(u"n"_s), std::optional<qint64>(3));
        QCOMPARE(store.doubleValue(u"n"_s), std::nullopt);
        QCOMPARE(store.boolValue(u"n"_s), std::nullopt);
        QCOMPARE(store.stringValue(u"n"_s), std::nullopt);
        store.setValue(u"l"_s, QStringList{u"x"_s});
        QCOMPARE(store.stringValue(u"l"_s), std::nullopt);
        QCOMPARE(store.stringListValue(u"l"_s), std::optional(QStringList{u"x"_s}));
        QCOMPARE(store.doubleMapValue(u"l"_s), std::nullopt);
    }

    void lenientReadings_data()
    {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<qint64>("asInteger");
        using V = Stored;
        QTest::newRow("absent") << V{} << false << qint64(0);
        QTest::newRow("true") << V{true} << true << qint64(1);
        QTest::newRow("false") << V{false} << false << qint64(0);
        QTest::newRow("integer") << V{qint64(-7)} << true << qint64(-7);
        QTest::newRow("integer zero") << V{qint64(0)} << false << qint64(0);
        QTest::newRow("double") << V{2.9} << true << qint64(2);
        QTest::newRow("negative double") << V{-2.9} << true << qint64(-2);
        QTest::newRow("small double") << V{0.4} << true << qint64(0);
        QTest::newRow("huge double") << V{1e300} << true << std::numeric_limits<qint64>::max();
        QTest::newRow("text TRUE") << V{u"TRUE"_s} << true << qint64(0);
        QTest::newRow("text Yes") << V{u"Yes"_s} << true << qint64(0);
        QTest::newRow("text no") << V{u"no"_s} << false << qint64(0);
        QTest::newRow("text number") << V{u"12"_s} << true << qint64(12);
        QTest::newRow("text fraction") << V{u"-3.7"_s} << true << qint64(-3);
        QTest::newRow("text zero") << V{u"0"_s} << false << qint64(0);
        QTest::newRow("text large") << V{u"9000000000000000001"_s} << true << qint64(9000000000000000001LL);
        QTest::newRow("text nan") << V{u"nan"_s} << false << qint64(0);
        QTest::newRow("empty text") << V{QString()} << false << qint64(0);
        QTest::newRow("list") << V{QStringList{u"1"_s}} << false << qint64(0);
        QTest::newRow("map") << V{QMap<QString, double>{{u"a"_s, 1}}} << false << qint64(0);
    }
    void lenientReadings()
    {
        QFETCH(Stored, stored);
        QFETCH(bool, asBool);
        QFETCH(qint64, asInteger);
        SettingsStore store(u"readings"_s);
        if (stored.value)
            store.setValue(u"k"_s, *stored.value);
        else
            store.remove(u"k"_s);
        QCOMPARE(store.boolReading(u"k"_s), asBool);
        QCOMPARE(store.integerReading(u"k"_s), asInteger);
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
        QCOMPARE(store.integerReading(u"badint"_s), qint64(0));
    }

    void specialDoublesSurvive()
    {
        SettingsStore store(u"doubles"_s);
        store.setValue(u"inf"_s, std::numeric_limits<double>::infinity());
        store.setValue(u"max"_s, std::numeric_limits<double>::max());
        store.setValue(u"nan"_s, std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(store.doubleValue(u"inf"_s), std::optional(std::numeric_limits<double>::infinity()));
        QCOMPARE(store.doubleValue(u"max"_s), std::optional(std::numeric_limits<double>::max()));
        const auto nan = store.doubleValue(u"nan"_s);
        QVERIFY(nan && std::isnan(*nan));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == u"--settings-child"_s)
        return childMain(app.arguments());
    TstSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsstore.moc"
