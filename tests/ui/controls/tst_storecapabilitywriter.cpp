#include "awaittask.h"
#include "controldevices.h"
#include "ui/controls/storecapabilitywriter.h"

#include <cmath>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ControlDevices;

namespace {

// Records which store command each write became.
class FakeStoreCommands final : public StoreCommands {
public:
    QHash<QString, Device> devices;
    QStringList calls;

    std::optional<Device> device(const QString &deviceID) const override
    {
        const auto found = devices.constFind(deviceID);
        return found == devices.constEnd() ? std::nullopt : std::optional(*found);
    }
    QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value) override
    {
        const auto number = value.numberValue();
        const QString shown = number ? QString::number(*number)
                                     : (value.boolValue() ? (*value.boolValue() ? u"true"_s : u"false"_s)
                                                          : value.stringValue().value_or(u"none"_s));
        calls.append(u"write %1 %2 %3"_s.arg(deviceID, capabilityID, shown));
        co_return;
    }
    QCoro::Task<> toggle(QString deviceID) override
    {
        calls.append(u"toggle "_s + deviceID);
        co_return;
    }
    QCoro::Task<> setDim(QString deviceID, double level) override
    {
        calls.append(u"dim %1 %2"_s.arg(deviceID).arg(level));
        co_return;
    }
    QCoro::Task<> setTarget(QString deviceID, double temperature) override
    {
        calls.append(u"target %1 %2"_s.arg(deviceID).arg(temperature));
        co_return;
    }
};

Device dimmable(std::optional<bool> on)
{
    return device(u"lamp"_s, u"light"_s, {},
                  {boolean(u"onoff"_s, on), number(u"dim"_s, 0.5, 0, 1), number(u"dim.zone1"_s, 0.5, 0, 1),
                   boolean(u"onoff.output2"_s, false)});
}

} // namespace

Q_DECLARE_METATYPE(CapabilityValue)

class TestStoreCapabilityWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void routes_data()
    {
        QTest::addColumn<QString>("deviceID");
        QTest::addColumn<QString>("capabilityID");
        QTest::addColumn<CapabilityValue>("value");
        QTest::addColumn<QStringList>("calls");
        const auto n = CapabilityValue::fromNumber;
        const auto b = CapabilityValue::fromBool;

        QTest::newRow("dim above 1") << u"lamp"_s << u"dim"_s << n(1.4) << QStringList{u"dim lamp 1"_s};
        QTest::newRow("dim below 0") << u"lamp"_s << u"dim"_s << n(-0.2) << QStringList{u"dim lamp 0"_s};
        QTest::newRow("second dim zone, exact id")
            << u"lamp"_s << u"dim.zone1"_s << n(0.7) << QStringList{u"write lamp dim.zone1 0.7"_s};
        QTest::newRow("dim on a guarded device, unclamped")
            << u"deur"_s << u"dim"_s << n(1.4) << QStringList{u"write deur dim 1.4"_s};
        QTest::newRow("on when already on") << u"lamp"_s << u"onoff"_s << b(true) << QStringList();
        QTest::newRow("off when on") << u"lamp"_s << u"onoff"_s << b(false) << QStringList{u"toggle lamp"_s};
        QTest::newRow("off when the state is unknown")
            << u"onbekend"_s << u"onoff"_s << b(false) << QStringList{u"write onbekend onoff false"_s};
        QTest::newRow("second channel, exact id")
            << u"lamp"_s << u"onoff.output2"_s << b(true) << QStringList{u"write lamp onoff.output2 true"_s};
        QTest::newRow("target") << u"thermostaat"_s << u"target_temperature"_s << n(35)
                                << QStringList{u"target thermostaat 35"_s};
        QTest::newRow("unlocking a lock")
            << u"deur"_s << u"locked"_s << b(false) << QStringList{u"write deur locked false"_s};
        QTest::newRow("a device the store does not hold")
            << u"weg"_s << u"onoff"_s << b(true) << QStringList{u"write weg onoff true"_s};
        QTest::newRow("not a number") << u"lamp"_s << u"dim.zone1"_s << n(std::nan("")) << QStringList();
    }
    void routes()
    {
        QFETCH(QString, deviceID);
        QFETCH(QString, capabilityID);
        QFETCH(CapabilityValue, value);
        QFETCH(QStringList, calls);
        auto commands = std::make_shared<FakeStoreCommands>();
        commands->devices.insert(u"lamp"_s, dimmable(true));
        commands->devices.insert(u"onbekend"_s, dimmable(std::nullopt));
        Device door = lock();
        door.id = u"deur"_s;
        door.capabilities.emplace(u"dim"_s, number(u"dim"_s, 0.5, 0, 1));
        commands->devices.insert(door.id, door);
        Device heating = thermostat();
        commands->devices.insert(heating.id, heating);

        StoreCapabilityWriter writer(commands);
        awaitTask(writer.write(deviceID, capabilityID, value));
        QCOMPARE(commands->calls, calls);
    }
};

QTEST_GUILESS_MAIN(TestStoreCapabilityWriter)
#include "tst_storecapabilitywriter.moc"
