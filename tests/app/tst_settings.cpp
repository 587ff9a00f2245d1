#include "app/settings.h"

#include <limits>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Stores a value given in its stored text form ("i:12", "s:abc"); the empty text stores nothing.
void put(SettingsStore &store, const QString &key, const QString &stored)
{
    if (!stored.isEmpty())
        store.setValue(key, *SettingsStore::decode(stored));
}

} // namespace

class TstSettings : public QObject {
    Q_OBJECT

    SettingsStore store{u"settings-test"_s};

private Q_SLOTS:
    void init() { QFile::remove(store.filePath()); }

    void hotKeyFallsBackToTheStandard_data()
    {
        QTest::addColumn<QString>("keyCode");
        QTest::addColumn<QString>("modifiers");
        QTest::addColumn<HotKeyCombo>("expected");
        const HotKeyCombo standard = HotKeyCombo::standard();
        QTest::newRow("nothing stored") << QString() << QString() << standard;
        QTest::newRow("key code 0 counts") << u"i:0"_s << u"i:256"_s << HotKeyCombo{0, 0x100};
        QTest::newRow("no modifiers stored") << u"i:0"_s << QString() << standard;
        QTest::newRow("mask 0") << u"i:12"_s << u"i:0"_s << standard;
        QTest::newRow("key code as text") << u"s:abc"_s << u"i:256"_s << standard;
        QTest::newRow("negative key code") << u"i:-1"_s << u"i:256"_s << standard;
        QTest::newRow("key code above 32 bits") << u"i:4294967296"_s << u"i:256"_s << standard;
        QTest::newRow("modifiers as text") << u"i:12"_s << u"s:256"_s << standard;
    }
    void hotKeyFallsBackToTheStandard()
    {
        QFETCH(QString, keyCode);
        QFETCH(QString, modifiers);
        QFETCH(HotKeyCombo, expected);
        put(store, Settings::hotKeyCodeKey, keyCode);
        put(store, Settings::hotKeyModifiersKey, modifiers);
        QCOMPARE(Settings::hotKey(store), expected);
    }

    void hotKeyRoundTrips()
    {
        const HotKeyCombo combo{200, 0x1B00};
        Settings::setHotKey(combo, store);
        QCOMPARE(Settings::hotKey(store), combo);
    }

    void panelFrameNeedsShapeAndSize_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<std::optional<QRectF>>("expected");
        QTest::newRow("too narrow") << u"s:{{100, 200}, {619, 800}}"_s << std::optional<QRectF>();
        QTest::newRow("minimum") << u"s:{{100, 200}, {620, 420}}"_s
                                 << std::optional(QRectF(100, 200, 620, 420));
        QTest::newRow("spacing and fractions")
            << u"s:{{-10.5,2},{ 700.25 , 500 }}"_s << std::optional(QRectF(-10.5, 2, 700.25, 500));
        QTest::newRow("infinite") << u"s:{{0, 0}, {1e999, 500}}"_s << std::optional<QRectF>();
        QTest::newRow("trailing text") << u"s:{{0, 0}, {700, 500}}x"_s << std::optional<QRectF>();
        QTest::newRow("not text") << u"i:700"_s << std::optional<QRectF>();
    }
    void panelFrameNeedsShapeAndSize()
    {
        QFETCH(QString, stored);
        QFETCH(std::optional<QRectF>, expected);
        put(store, Settings::panelFrameKey, stored);
        QCOMPARE(Settings::panelFrame(store), expected);
        QCOMPARE(store.value(Settings::panelFrameKey), SettingsStore::decode(stored)); // left as it was
    }

    void panelFrameRoundTripsAndRemoves()
    {
        const QRectF frame(-1920.5, 0.1, 640, 1e6);
        Settings::setPanelFrame(frame, store);
        QCOMPARE(store.stringValue(Settings::panelFrameKey),
                 std::optional(u"{{-1920.5, 0.1}, {640, 1000000}}"_s));
        QCOMPARE(Settings::panelFrame(store), std::optional(frame));
        Settings::setPanelFrame(std::nullopt, store);
        QVERIFY(!store.contains(Settings::panelFrameKey));
        QCOMPARE(Settings::panelFrame(store), std::optional<QRectF>());
    }

    void launchCountGrows_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<qint64>("first");
        const qint64 top = std::numeric_limits<qint64>::max();
        QTest::newRow("nothing") << QString() << qint64(1);
        QTest::newRow("text") << u"s:abc"_s << qint64(1);
        QTest::newRow("negative") << u"i:-7"_s << qint64(1);
        QTest::newRow("at the top") << u"i:"_s + QString::number(top) << top;
    }
    void launchCountGrows()
    {
        QFETCH(QString, stored);
        QFETCH(qint64, first);
        put(store, Settings::launchCountKey, stored);
        QCOMPARE(Settings::bumpLaunchCount(store), first);
        QCOMPARE(Settings::bumpLaunchCount(store),
                 first == std::numeric_limits<qint64>::max() ? first : first + 1);
    }
};

QTEST_GUILESS_MAIN(TstSettings)
#include "tst_settings.moc"
