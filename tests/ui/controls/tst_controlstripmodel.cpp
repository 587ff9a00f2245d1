#include "awaittask.h"
#include "controldevices.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "recordingwriter.h"
#include "store/home/homestore.h"
#include "ui/controls/armmodechiplook.h"
#include "ui/controls/controlrowlook.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/fmt.h"

#include <cmath>
#include <QAbstractItemModelTester>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace ControlDevices;

namespace {

Device gateWithQuickAction()
{
    Device made = device(u"poort"_s, u"garagedoor"_s, {u"button"_s}, {boolean(u"garagedoor_closed"_s, true)});
    made.uiQuickAction = u"garagedoor_closed"_s;
    return made;
}

// Everything a hub can get wrong at once.
Device oddDevice()
{
    Capability blinds = number(u"windowcoverings_set"_s, 40);
    Capability volume = number(u"volume_set"_s, 0.5, 10, 10);
    Capability hue = number(u"light_hue"_s, std::nan(""));
    hue.min = std::nan("");
    Capability target = number(u"target_temperature"_s, std::nan(""), 5, 30);
    Capability level = number(u"dim"_s, 1.7, 0, 1);
    level.units = u"°"_s;
    level.decimals = -3;
    return device(u"vreemd"_s, u"other"_s, {u"slider"_s, u"color"_s, u"thermostat"_s, u"picker"_s},
                  {level, blinds, volume, hue, target,
                   modes(u"homealarm_state"_s, u"weird"_s, {u"armed"_s, u"disarmed"_s})});
}

} // namespace

class TestControlStripModel : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<FakeRealtime> m_realtime;
    std::unique_ptr<HomeStore> m_store;
    std::shared_ptr<RecordingWriter> m_writer;
    std::unique_ptr<GuardGate> m_gate;
    std::unique_ptr<LevelCoalescer> m_coalescer;

    std::unique_ptr<ControlStripModel> open(const QString &deviceID)
    {
        return std::make_unique<ControlStripModel>(m_store.get(), deviceID, m_writer, m_gate.get(),
                                                   m_coalescer.get());
    }
    // The row as the strip's QML reads it.
    static ControlRowLook look(const ControlStripModel &model, int row)
    {
        return model.data(model.index(row), ControlStripModel::LookRole).value<ControlRowLook>();
    }
    void realtime(HomeyEvent event)
    {
        m_realtime->push(std::move(event));
        m_clock->advance(0ms);
    }

private Q_SLOTS:
    void init()
    {
        m_clock = std::make_shared<ManualClock>();
        auto rest = std::make_shared<FakeRestClient>(m_clock);
        rest->home.zones = {Zone{.id = u"woonkamer"_s, .name = u"Woonkamer"_s}};
        rest->home.devices = {colourLamp(), lock(), twoChannelSwitch(), gateWithQuickAction(), oddDevice(),
                              thermostat(), alarm()};
        m_realtime = std::make_shared<FakeRealtime>();
        m_store = std::make_unique<HomeStore>(rest, m_realtime, nullptr, SettingsStore(u"controlstrip"_s),
                                              HomeStore::Options{m_clock});
        awaitTask(m_store->start());
        m_clock->advance(0ms);
        m_writer = std::make_shared<RecordingWriter>(m_clock);
        m_gate = std::make_unique<GuardGate>(m_clock);
        m_coalescer = std::make_unique<LevelCoalescer>(m_writer, m_clock);
    }
    void cleanup()
    {
        m_coalescer.reset();
        m_gate.reset();
        awaitTask(m_store->stop());
        m_store.reset();
    }

    void realtimeChangesTouchOneRow()
    {
        auto model = open(u"kleurlamp"_s);
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 5);
        QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model.get(), &QAbstractItemModel::modelReset);

        realtime(HomeyEvent::Capability{u"kleurlamp"_s, u"dim"_s, CapabilityValue::fromNumber(0.8)});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), 1);
        QCOMPARE(look(*model, 1).readout, u"80%"_s);

        realtime(HomeyEvent::Capability{u"voordeur"_s, u"locked"_s, CapabilityValue::fromBool(false)});
        QCOMPARE(changed.size(), 1);

        // A drag shows where the pointer is before the store has the value.
        model->scrub(1, 0.3);
        model->scrub(1, 0.6);
        QCOMPARE(look(*model, 1).bar.value, 0.6);
        QCOMPARE(m_writer->writes.size(), 1);

        Device fewer = colourLamp();
        fewer.capabilities.erase(u"light_saturation"_s);
        QSignalSpy removed(model.get(), &QAbstractItemModel::rowsRemoved);
        realtime(HomeyEvent::DeviceUpdated{fewer});
        QCOMPARE(removed.size(), 1);
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(reset.size(), 0);
    }

    void lockAsksForASecondPress()
    {
        auto model = open(u"voordeur"_s);
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(look(*model, 0).buttonText, u"Ontgrendelen"_s);

        model->activate(0);
        QVERIFY(m_writer->writes.isEmpty());
        QVERIFY(look(*model, 0).armed);
        QCOMPARE(look(*model, 0).buttonText, u"Zeker weten? Nogmaals"_s);
        QCOMPARE(look(*model, 0).accessibleName, u"Bevestig: Ontgrendelen"_s);
        model->activate(0);
        QCOMPARE(m_writer->writes.size(), 1);
        QCOMPARE(m_writer->writes[0].value, CapabilityValue::fromBool(false));

        // The unlatch button drops back to its normal look when the window ends.
        model->activate(1);
        QVERIFY(look(*model, 1).armed);
        m_clock->advance(GuardGate::window);
        QVERIFY(!look(*model, 1).armed);
        QCOMPARE(m_writer->writes.size(), 1);

        // Once unlocked, locking goes out on one press.
        realtime(HomeyEvent::Capability{u"voordeur"_s, u"locked"_s, CapabilityValue::fromBool(false)});
        QCOMPARE(look(*model, 0).buttonText, u"Op slot doen"_s);
        model->activate(0);
        QCOMPARE(m_writer->writes.size(), 2);
    }

    void anActionButtonThatOpensAsksToo()
    {
        auto model = open(u"poort"_s);
        QCOMPARE(look(*model, 0).kind, ControlRow::Kind::Action);
        model->activate(0);
        QVERIFY(m_writer->writes.isEmpty());
        QVERIFY(look(*model, 0).armed);
        model->activate(0);
        QCOMPARE(m_writer->writes.size(), 1);
    }

    void eachChannelWritesItsOwnCapability()
    {
        auto model = open(u"schakelaar"_s);
        model->activate(0);
        model->activate(1);
        QCOMPARE(m_writer->writes.size(), 2);
        QCOMPARE(m_writer->writes[0].capabilityID, u"onoff.output1"_s);
        QCOMPARE(m_writer->writes[1].capabilityID, u"onoff.output2"_s);
    }

    // The thermostat's buttons and a bar's accessibility steps.
    void stepsStayInsideTheRange_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("row");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("written");
        const double keep = std::nan("");
        QTest::newRow("warmer") << u"thermostaat"_s << 0 << keep << 1 << u"target_temperature 21.5"_s;
        QTest::newRow("colder") << u"thermostaat"_s << 0 << keep << -7 << u"target_temperature 20.5"_s;
        QTest::newRow("warmer at the top")
            << u"thermostaat"_s << 0 << 30.0 << 1 << u"target_temperature 30"_s;
        QTest::newRow("no target steps from 20")
            << u"vreemd"_s << 4 << keep << 1 << u"target_temperature 20.5"_s;
        QTest::newRow("dim") << u"kleurlamp"_s << 1 << keep << 1 << u"dim 0.45"_s;
        QTest::newRow("hue") << u"kleurlamp"_s << 3 << keep << -1 << u"light_hue 0.58"_s;
        QTest::newRow("beyond the range counts as the top")
            << u"vreemd"_s << 1 << keep << -1 << u"windowcoverings_set 0.95"_s;
        QTest::newRow("an empty range takes no step") << u"vreemd"_s << 2 << keep << 1 << QString();
        QTest::newRow("no direction") << u"thermostaat"_s << 0 << keep << 0 << QString();
    }
    void stepsStayInsideTheRange()
    {
        QFETCH(QString, device);
        QFETCH(int, row);
        QFETCH(double, value);
        QFETCH(int, direction);
        QFETCH(QString, written);
        auto model = open(device);
        if (!std::isnan(value)) {
            const QString id = model->rows().at(row).capability();
            realtime(HomeyEvent::Capability{device, id, CapabilityValue::fromNumber(value)});
        }
        model->adjust(row, direction);
        QStringList writes;
        for (const RecordingWriter::Write &write : m_writer->writes)
            writes << write.capabilityID + u' ' + QString::number(*write.value.numberValue());
        QCOMPARE(writes.join(u", "_s), written);
    }

    void stepsOfTheAlarmMoveItsCursorOnly()
    {
        auto model = open(u"alarm"_s);
        const Device alarm = *m_store->device(u"alarm"_s);
        model->adjust(0, 1);
        model->adjust(0, 1);
        QCOMPARE(m_gate->cursor(alarm, u"homealarm_state"_s), u"disarmed"_s);
        QVERIFY(!m_gate->hasArmed());
        QVERIFY(m_writer->writes.isEmpty());
    }

    void badValuesDrawSaneRowsAndWriteNothing()
    {
        auto model = open(u"vreemd"_s);
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        realtime(HomeyEvent::Capability{u"vreemd"_s, u"dim"_s, CapabilityValue::fromNumber(-4)});
        realtime(HomeyEvent::Capability{u"vreemd"_s, u"light_hue"_s, CapabilityValue::fromNumber(INFINITY)});

        QList<ControlRow::Kind> kinds;
        for (int row = 0; row < model->rowCount(); ++row) {
            const ControlRowLook shown = look(*model, row);
            kinds.append(shown.kind);
            QVERIFY2(std::isfinite(shown.bar.value),
                     QMetaEnum::fromType<ControlRow::Kind>().valueToKey(int(kinds.last())));
            if (shown.hasBar)
                QVERIFY(shown.bar.value >= 0 && shown.bar.value <= 1);
            for (const QString &text : {shown.readout, shown.accessibleDescription}) {
                QVERIFY2(!text.toLower().contains(u"nan"_s) && !text.toLower().contains(u"inf"_s),
                         qPrintable(text));
            }
        }
        using Kind = ControlRow::Kind;
        QCOMPARE(kinds, (QList<Kind>{Kind::Slider, Kind::Slider, Kind::Slider, Kind::Hue, Kind::Thermostat,
                                     Kind::ArmMode}));
        QCOMPARE(look(*model, 0).readout, u"-4 °"_s);
        QCOMPARE(look(*model, 1).bar.value, 1.0);
        QCOMPARE(look(*model, 4).readout, Fmt::celsius(20.0));
        const QVariantList chips = look(*model, 5).chips;
        QCOMPARE(chips.size(), 2);
        for (const QVariant &chip : chips)
            QVERIFY(!chip.value<ArmModeChipLook>().accessibleDescription.contains(u"huidige stand"_s));

        // A bar whose range is empty takes no drag; a position that is no number is no position.
        QVERIFY(!look(*model, 2).enabled);
        model->scrub(2, 0.5);
        model->scrub(0, std::nan(""));
        model->release(0, INFINITY);
        m_clock->advance(1s);
        QVERIFY(m_writer->writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestControlStripModel)
#include "tst_controlstripmodel.moc"
