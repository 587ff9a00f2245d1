#include "storefixture.h"

#include <cmath>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

CapabilityValue number(double value)
{
    return CapabilityValue::fromNumber(value);
}

// The attic gets a dark dimmable lamp and a dark plain one.
DutchHome::Home homeWithDarkAttic()
{
    DutchHome::Home home = DutchHome::home();
    DutchHome::put(home.devices, DutchHome::dimLight(u"zdim"_s, u"Zolderspot"_s, u"zolder"_s, false, 0.2));
    DutchHome::put(home.devices, DutchHome::onoffLight(u"zplain"_s, u"Zolderlamp"_s, u"zolder"_s, false));
    Device unknown = DutchHome::device(u"raar"_s, u"Raar"_s, u"hal"_s, u"light"_s,
                                       {DutchHome::onoff({}), DutchHome::dim(0.5)});
    DutchHome::put(home.devices, unknown);
    Device thermostat = DutchHome::device(
        u"cv"_s, u"Thermostaat"_s, u"woonkamer"_s, u"thermostat"_s,
        {DutchHome::capability(u"target_temperature"_s, Capability::Kind::number, true, number(20))});
    thermostat.capabilities[u"target_temperature"_s].max = 30;
    thermostat.capabilities[u"target_temperature"_s].min = 5;
    DutchHome::put(home.devices, thermostat);
    return home;
}

} // namespace

class TestHomeStoreDimming : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void setDimSwitchesFirst_data()
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
    }
    void setDimSwitchesFirst()
    {
        QFETCH(QString, device);
        QFETCH(double, level);
        QFETCH(QStringList, writes);
        StoreFixture f(homeWithDarkAttic());
        f.rest->script(u"setCapability"_s, {100ms, std::nullopt});
        f.store->setDim(device, level);
        // The level waits for the switch's answer.
        QCOMPARE(f.rest->calls.count(u"setCapability"_s), 1);
        f.clock->advance(200ms);
        QCOMPARE(f.writes(), writes);
    }

    void setTargetKeepsToBounds_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("written");
        QTest::newRow("above max") << 35.0 << 30.0;
        QTest::newRow("below min") << 2.0 << 5.0;
        QTest::newRow("inside") << 21.5 << 21.5;
    }
    void setTargetKeepsToBounds()
    {
        QFETCH(double, value);
        QFETCH(double, written);
        StoreFixture f(homeWithDarkAttic());
        awaitTask(f.store->setTarget(u"cv"_s, value));
        QCOMPARE(f.rest->writes.size(), 1);
        QCOMPARE(f.rest->writes.first().value, number(written));
    }

    // Steps 50 ms apart show at once and go out as one write 0.12 s after the last one.
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
            if (i > 0)
                f.clock->advance(50ms);
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
        QCOMPARE(f.value(u"lees"_s, u"dim"_s), number(0.8));
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
        QTest::newRow("dark room up")
            << u"zolder"_s << 0.5
            << QStringList{u"zdim dim 0.5"_s, u"zdim onoff true"_s, u"zplain onoff true"_s};
        // A light is on: the plain lights are left alone.
        QTest::newRow("lit room up") << u"woonkamer"_s << 0.7
                                     << QStringList{u"lees dim 0.7"_s, u"lees onoff true"_s,
                                                    u"plafond dim 0.7"_s};
    }
    void roomDimmerSwitchesFromTheHubsState()
    {
        QFETCH(QString, zone);
        QFETCH(double, level);
        QFETCH(QStringList, writes);
        StoreFixture f(homeWithDarkAttic());
        f.store->enterScope(zone);
        f.store->scrubRoomDim(0.3);
        f.clock->advance(100ms);
        f.store->scrubRoomDim(level);
        for (const Device &light : f.store->devices(zone)) {
            if (light.dimKey() && level > 0)
                QCOMPARE(f.value(light.id, u"dim"_s), number(level));
        }
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
