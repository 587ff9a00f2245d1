#include "storefixture.h"

#include <cmath>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestHomeStoreDimming : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Absolute levels and targets are clamped; an off lamp is switched on, a lit one off, before its level.
    void setsAbsoluteLevels_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<double>("level");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("off lamp up") << u"lees"_s << 0.3
                                     << QStringList{u"lees onoff true"_s, u"lees dim 0.3"_s};
        QTest::newRow("lit lamp to 0")
            << u"plafond"_s << 0.0 << QStringList{u"plafond onoff false"_s, u"plafond dim 0"_s};
        QTest::newRow("unknown state") << u"raar"_s << 0.6 << QStringList{u"raar dim 0.6"_s};
        QTest::newRow("above 1") << u"plafond"_s << 1.7 << QStringList{u"plafond dim 1"_s};
        QTest::newRow("not a number")
            << u"plafond"_s << std::nan("") << QStringList{u"plafond onoff false"_s, u"plafond dim 0"_s};
        QTest::newRow("above max") << u"cv"_s << 35.0 << QStringList{u"cv target_temperature 30"_s};
        QTest::newRow("below min") << u"cv"_s << 2.0 << QStringList{u"cv target_temperature 5"_s};
    }
    void setsAbsoluteLevels()
    {
        QFETCH(QString, device);
        QFETCH(double, level);
        QFETCH(QStringList, writes);
        StoreFixture f;
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        if (device == u"cv")
            f.store->setTarget(device, level);
        else
            f.store->setDim(device, level);
        QCOMPARE(f.rest->calls.count(u"setCapability"_s), 1); // a level waits for the switch's answer
        f.clock->advance(200ms);
        QCOMPARE(f.writes(), writes);
    }

    // Steps 50 ms apart show at once and go out as one level 0.12 s after the last one.
    void nudgesCoalesce_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QList<double>>("steps");
        QTest::addColumn<double>("shown");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("two up") << u"plafond"_s << QList<double>{0.1, 0.1} << 0.6
                                << QStringList{u"plafond dim 0.6"_s};
        QTest::newRow("off lamp up") << u"lees"_s << QList<double>{0.1} << 0.9
                                     << QStringList{u"lees onoff true"_s, u"lees dim 0.9"_s};
        QTest::newRow("down past 0") << u"nacht"_s << QList<double>{-0.2} << 0.0
                                     << QStringList{u"nacht onoff false"_s, u"nacht dim 0"_s};
        QTest::newRow("off lamp up and back")
            << u"lees"_s << QList<double>{0.1, -1.0} << 0.0 << QStringList{u"lees dim 0"_s};
    }
    void nudgesCoalesce()
    {
        QFETCH(QString, device);
        QFETCH(QList<double>, steps);
        QFETCH(double, shown);
        QFETCH(QStringList, writes);
        StoreFixture f;
        for (qsizetype i = 0; i < steps.size(); ++i) {
            f.clock->advance(i > 0 ? 50ms : 0ms);
            f.store->nudgeDim(device, steps[i]);
        }
        QVERIFY(std::abs(*f.value(device, u"dim"_s)->numberValue() - shown) < 1e-9);
        f.clock->advance(119ms);
        QVERIFY(f.rest->writes.isEmpty());
        f.clock->advance(1ms);
        QCOMPARE(f.writes(), writes);
        QCOMPARE(f.value(device, u"onoff"_s), CapabilityValue::fromBool(shown > 0));
    }

    // The hub never had the lamp on: a refused write puts back what the hub has, not the preview.
    void refusedNudgeRestoresTheHubsState()
    {
        StoreFixture f;
        f.rest->fail(u"setCapability"_s, HomeyError::offline());
        f.store->nudgeDim(u"lees"_s, 0.1);
        f.clock->advance(120ms);
        QCOMPARE(f.value(u"lees"_s, u"onoff"_s), CapabilityValue::fromBool(false));
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), CapabilityValue::fromNumber(0.8));
        QCOMPARE(f.store->lastError(), HomeyError::offline());
    }

    // The room dimmer decides its switching from the lights as they were before its own preview.
    void roomDimmerSwitchesFromTheHubsState_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<double>("level");
        QTest::addColumn<QStringList>("writes");
        QTest::newRow("lit room to 0")
            << u"woonkamer"_s << 0.0 << QStringList{u"plafond onoff false"_s, u"staande onoff false"_s};
        // A light is on: the plain ones are left alone.
        QTest::newRow("lit room up") << u"woonkamer"_s << 0.7
                                     << QStringList{u"lees dim 0.7"_s, u"lees onoff true"_s,
                                                    u"plafond dim 0.7"_s};
        QStringList dark;
        for (int i = 1; i <= 13; ++i) {
            if (i % 3 == 0)
                dark.append(u"z"_s + QString::number(i) + u" dim 0.6"_s);
            dark.append(u"z"_s + QString::number(i) + u" onoff true"_s);
        }
        dark.sort();
        QTest::newRow("dark room up") << u"zolder"_s << 0.6 << dark;
    }
    void roomDimmerSwitchesFromTheHubsState()
    {
        QFETCH(QString, zone);
        QFETCH(double, level);
        QFETCH(QStringList, writes);
        StoreFixture f;
        f.store->enterScope(zone);
        f.store->scrubRoomDim(0.3);
        f.clock->advance(100ms);
        f.store->scrubRoomDim(level);
        if (level > 0)
            QCOMPARE(f.value(zone == u"zolder" ? u"z3"_s : u"lees"_s, u"dim"_s),
                     CapabilityValue::fromNumber(level));
        f.clock->advance(139ms);
        QVERIFY(f.rest->writes.isEmpty());
        f.clock->advance(1ms);
        QStringList sent = f.writes();
        sent.sort();
        QCOMPARE(sent, writes);
    }

    // A room level still waiting goes out when the room is left or the panel hides.
    void waitingRoomLevelIsSentOnLeaving_data()
    {
        QTest::addColumn<bool>("hide");
        QTest::newRow("leave room") << false;
        QTest::newRow("hide panel") << true;
    }
    void waitingRoomLevelIsSentOnLeaving()
    {
        QFETCH(bool, hide);
        StoreFixture f;
        f.store->enterScope(u"keuken"_s);
        f.store->scrubRoomDim(0.25);
        if (hide)
            f.store->panelDidDisappear();
        else
            f.store->exitScope();
        f.clock->advance(0ms);
        QCOMPARE(f.writes(), (QStringList{u"keukenlamp onoff true"_s, u"keukenlamp dim 0.25"_s}));
        f.clock->advance(1s);
        QCOMPARE(f.rest->writes.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreDimming)
#include "tst_homestoredimming.moc"
