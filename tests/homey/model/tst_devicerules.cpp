#include "homey/model/device.h"
#include "homey/model/zone.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CapabilityValue)
Q_DECLARE_METATYPE(std::optional<bool>)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

struct Cap {
    QString id;
    bool setable = true;
    std::optional<CapabilityValue> value = std::nullopt;
};

// order: the capability order; pass the ids to list there explicitly.
Device makeDevice(const QString &deviceClass, const QList<Cap> &caps, const QStringList &order)
{
    Device device{.id = u"dev"_s, .name = u"Apparaat"_s, .deviceClass = deviceClass, .available = true};
    for (const Cap &cap : caps)
        device.capabilities.emplace(cap.id,
                                    Capability{.id = cap.id, .setable = cap.setable, .value = cap.value});
    device.capabilityOrder = order;
    return device;
}

CapabilityValue flag(bool b)
{
    return CapabilityValue::fromBool(b);
}
CapabilityValue number(double d)
{
    return CapabilityValue::fromNumber(d);
}
CapabilityValue text(const QString &s)
{
    return CapabilityValue::fromString(s);
}

} // namespace

class TestDeviceRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void switchKeySelection()
    {
        // The exact "onoff" wins only when setable; otherwise the order decides among suffixed ids.
        auto device =
            makeDevice(u"socket"_s, {{u"onoff"_s, false}, {u"onoff.output2"_s}, {u"onoff.output1"_s}},
                       {u"onoff"_s, u"onoff.output2"_s, u"onoff.output1"_s});
        QCOMPARE(device.onoffKey(), u"onoff.output2"_s);

        device.capabilityOrder = {u"onoff"_s};
        QVERIFY(!device.onoffKey());

        device = makeDevice(u"light"_s, {{u"dim.zone1"_s}, {u"onoff"_s}}, {u"dim.zone1"_s});
        QCOMPARE(device.onoffKey(), u"onoff"_s);
        QCOMPARE(device.dimKey(), u"dim.zone1"_s);
        QVERIFY(device.isDimmable());

        // An id in the order without a capability entry is skipped, and the base must match exactly.
        device = makeDevice(u"light"_s, {{u"onoffx"_s}, {u"dim"_s, false}},
                            {u"onoff.gone"_s, u"onoffx"_s, u"dim"_s});
        QVERIFY(!device.onoffKey());
        QVERIFY(!device.isDimmable());
    }

    void readsStateOnlyFromItsOwnCase()
    {
        auto device =
            makeDevice(u"light"_s, {{u"onoff"_s, true, number(1)}, {u"dim"_s, true, number(1.4)}}, {});
        QVERIFY(!device.isOn());
        QCOMPARE(device.dimLevel(), 1.4); // unclamped
        QCOMPARE(device.symbol(), u"lightbulb"_s);

        device.capabilities.at(u"onoff"_s).value = flag(true);
        QCOMPARE(device.isOn(), true);
        QCOMPARE(device.symbol(), u"lightbulb.fill"_s);
        device.capabilities.at(u"dim"_s).value = text(u"0.4"_s);
        QVERIFY(!device.dimLevel());
    }

    void exactMeasurementIds()
    {
        const auto device = makeDevice(u"sensor"_s,
                                       {{u"measure_temperature.inside"_s, false, number(19)},
                                        {u"target_temperature"_s, true, number(21)},
                                        {u"measure_power"_s, false, number(-5)}},
                                       {});
        QVERIFY(!device.temperature());
        QCOMPARE(device.targetTemperature(), 21.0);
        QCOMPARE(device.measuredPowerW(), -5.0);
    }

    void colourAndControl()
    {
        auto device =
            makeDevice(u"light"_s, {{u"light_temperature"_s, false}, {u"measure_power"_s, true}}, {});
        QVERIFY(device.hasColor());
        QVERIFY(!device.isControllable());
        device.capabilities.at(u"light_temperature"_s).setable = true;
        QVERIFY(device.isControllable());
        QVERIFY(!makeDevice(u"light"_s, {{u"light_saturation"_s}}, {}).hasColor());
    }

    void primaryAction()
    {
        // Quick action first, when it exists and is setable.
        auto device = makeDevice(u"fan"_s, {{u"onoff"_s}, {u"fan_speed"_s}}, {u"fan_speed"_s, u"onoff"_s});
        device.uiQuickAction = u"fan_speed"_s;
        QCOMPARE(device.primaryAction(), u"fan_speed"_s);
        device.uiQuickAction = u"missing"_s;
        QCOMPARE(device.primaryAction(), u"onoff"_s);

        // Without on/off: the first controllable capability in order, suffixes included.
        device =
            makeDevice(u"blinds"_s, {{u"windowcoverings_set.2"_s}, {u"volume_set"_s, false}, {u"custom"_s}},
                       {u"custom"_s, u"volume_set"_s, u"windowcoverings_set.2"_s});
        QCOMPARE(device.primaryAction(), u"windowcoverings_set.2"_s);
        QVERIFY(!makeDevice(u"sensor"_s, {{u"measure_luminance"_s, false}}, {}).primaryAction());
    }

    void guardedLock()
    {
        auto lock =
            makeDevice(u"lock"_s, {{u"locked"_s, true, flag(true)}, {u"onoff"_s}}, {u"onoff"_s, u"locked"_s});
        QVERIFY(lock.isGuarded());
        QVERIFY(!lock.primaryAction());
        QCOMPARE(lock.lockKey(), u"locked"_s);
        QCOMPARE(lock.guardedState(), u"Op slot"_s);
        lock.capabilities.at(u"locked"_s).value = flag(false);
        QCOMPARE(lock.guardedState(), u"Ontgrendeld"_s);
        lock.capabilities.at(u"locked"_s).value = std::nullopt;
        QVERIFY(!lock.guardedState());

        // A setable guarded capability makes any class guarded; a read-only one does not.
        QVERIFY(makeDevice(u"other"_s, {{u"garagedoor_closed.1"_s}}, {}).isGuarded());
        QVERIFY(!makeDevice(u"other"_s, {{u"locked"_s, false, flag(true)}}, {}).isGuarded());
        QVERIFY(makeDevice(u"garagedoor"_s, {}, {}).isGuarded());
    }

    void emptyOrderFallsBackToSortedIds()
    {
        const auto device = makeDevice(
            u"lock"_s, {{u"locked.b"_s, true, flag(false)}, {u"locked.a"_s, true, flag(true)}}, {});
        QCOMPARE(device.lockKey(), u"locked.a"_s);
        QCOMPARE(device.guardedState(), u"Op slot"_s);
        // With an order, only the order counts.
        auto ordered = device;
        ordered.capabilityOrder = {u"locked.b"_s};
        QCOMPARE(ordered.lockKey(), u"locked.b"_s);
    }

    void alarmState_data()
    {
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<std::optional<bool>>("armed");
        QTest::addColumn<std::optional<QString>>("state");
        QTest::newRow("Disarmed") << text(u"Disarmed"_s) << std::optional(false)
                                  << std::optional(u"Uitgeschakeld"_s);
        QTest::newRow("OFF") << text(u"OFF"_s) << std::optional(false) << std::optional(u"Uitgeschakeld"_s);
        QTest::newRow("armed") << text(u"armed"_s) << std::optional(true) << std::optional(u"Ingeschakeld"_s);
        QTest::newRow("partially_armed")
            << text(u"partially_armed"_s) << std::optional(true) << std::optional(u"Ingeschakeld"_s);
        QTest::newRow("number") << number(0) << std::optional<bool>() << std::optional<QString>();
    }

    void alarmState()
    {
        QFETCH(CapabilityValue, value);
        QFETCH(std::optional<bool>, armed);
        QFETCH(std::optional<QString>, state);
        const auto alarm =
            makeDevice(u"homealarm"_s, {{u"homealarm_state"_s, true, value}}, {u"homealarm_state"_s});
        QCOMPARE(alarm.armingKey(), u"homealarm_state"_s);
        QCOMPARE(alarm.isArmed(), armed);
        QCOMPARE(alarm.guardedState(), state);
    }

    void lowersSecurity_data()
    {
        QTest::addColumn<QString>("capability");
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<bool>("lowers");
        QTest::newRow("unlock") << u"locked"_s << flag(false) << true;
        QTest::newRow("lock") << u"locked"_s << flag(true) << false;
        QTest::newRow("lock none") << u"locked"_s << CapabilityValue() << false;
        QTest::newRow("lock number 0") << u"locked.front"_s << number(0) << false;
        QTest::newRow("open garage") << u"garagedoor_closed.2"_s << flag(false) << true;
        QTest::newRow("lock_n_go") << u"button_lock_n_go"_s << flag(true) << true;
        QTest::newRow("unlatch none") << u"button_unlatch"_s << CapabilityValue() << true;
        QTest::newRow("alarm bool") << u"homealarm_state"_s << flag(false) << true;
        QTest::newRow("alarm armed") << u"homealarm_state"_s << text(u"armed"_s) << false;
        QTest::newRow("alarm Disarmed") << u"homealarm_state"_s << text(u"Disarmed"_s) << true;
        QTest::newRow("lock_mode OFF") << u"lock_mode"_s << text(u"OFF"_s) << true;
        QTest::newRow("arming cmd number") << u"CMD_SET_ARMING"_s << number(1) << true;
        QTest::newRow("onoff") << u"onoff"_s << flag(false) << false;
        QTest::newRow("case matters") << u"Locked"_s << flag(false) << false;
    }

    void lowersSecurity()
    {
        QFETCH(QString, capability);
        QFETCH(CapabilityValue, value);
        QFETCH(bool, lowers);
        QCOMPARE(Device::lowersSecurity(capability, value), lowers);
        QCOMPARE(makeDevice(u"light"_s, {}, {}).lowersSecurity(capability, value), lowers);
    }

    void protectedCapabilities()
    {
        QVERIFY(Device::isProtected(u"garagedoor_closed.2"_s));
        QVERIFY(Device::isProtected(u"CMD_SET_ARMING"_s));
        QVERIFY(Device::isProtected(u"button_unlatch"_s));
        QVERIFY(Device::isProtected(u"lock_mode.x"_s));
        QVERIFY(!Device::isProtected(u"onoff"_s));
        QVERIFY(!Device::isProtected(u"homealarm"_s));
        QCOMPARE(Device::baseCapability(u"a.b.c"_s), u"a"_s);
        QCOMPARE(Device::baseCapability(u".x"_s), QString());
        QCOMPARE(Device::controlBaseCapabilities().size(), 16);
    }

    void zoneSymbols_data()
    {
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("kitchen") << u"kitchen"_s << u"fork.knife"_s;
        QTest::newRow("stairs-up") << u"stairs-up"_s << u"figure.stairs"_s;
        QTest::newRow("stairs-down") << u"stairs-down"_s << u"figure.stairs"_s;
        QTest::newRow("home") << u"home"_s << u"house"_s;
        QTest::newRow("capital") << u"Kitchen"_s << u"square.split.bottomrightquarter"_s;
        QTest::newRow("padded") << u"garden "_s << u"square.split.bottomrightquarter"_s;
        QTest::newRow("empty") << QString() << u"square.split.bottomrightquarter"_s;
    }

    void zoneSymbols()
    {
        QFETCH(QString, icon);
        QFETCH(QString, symbol);
        QCOMPARE((Zone{.id = u"z"_s, .icon = icon}.symbol()), symbol);
    }

    void deviceSymbols_data()
    {
        QTest::addColumn<QString>("deviceClass");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("curtain") << u"curtain"_s << u"blinds.horizontal.closed"_s;
        QTest::newRow("windowcoverings") << u"windowcoverings"_s << u"blinds.horizontal.closed"_s;
        QTest::newRow("heater") << u"heater"_s << u"heater.vertical"_s;
        QTest::newRow("homealarm") << u"homealarm"_s << u"shield"_s;
        QTest::newRow("light, state unknown") << u"light"_s << u"lightbulb"_s;
        QTest::newRow("capital") << u"Socket"_s << u"square.grid.2x2"_s;
        QTest::newRow("garagedoor") << u"garagedoor"_s << u"square.grid.2x2"_s;
    }

    void deviceSymbols()
    {
        QFETCH(QString, deviceClass);
        QFETCH(QString, symbol);
        QCOMPARE(makeDevice(deviceClass, {}, {}).symbol(), symbol);
    }
};

QTEST_GUILESS_MAIN(TestDeviceRules)
#include "tst_devicerules.moc"
