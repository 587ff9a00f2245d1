#include "gallerystrips.h"

#include "awaittask.h"
#include "controls/controldevices.h"
#include "controls/recordingwriter.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "store/home/homestore.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace ControlDevices;

namespace {

Device renamed(Device device, const QString &id)
{
    device.id = id;
    device.name = id;
    return device;
}

Device darkColourLamp()
{
    Device lamp = renamed(colourLamp(), u"kleurlamp-uit"_s);
    lamp.capabilities[u"dim"_s].value = CapabilityValue::fromNumber(0);
    return lamp;
}

Device busySwitch()
{
    Device both = twoChannelSwitch();
    both.capabilities[u"onoff.output1"_s].value = CapabilityValue::fromBool(true);
    return both;
}

Device offlineLamp()
{
    Device lamp = renamed(plainLamp(), u"lamp-weg"_s);
    lamp.available = false;
    return lamp;
}

Device garageDoor()
{
    Device door =
        device(u"garage"_s, u"garagedoor"_s, {u"button"_s}, {boolean(u"garagedoor_closed"_s, true)});
    door.uiQuickAction = u"garagedoor_closed"_s;
    return door;
}

// Rows that cannot act: the writer declines its on/off and blinds, and the volume's range is empty.
Device blinds()
{
    return device(u"rolluik"_s, u"blinds"_s, {u"toggle"_s, u"slider"_s},
                  {boolean(u"onoff"_s, true), number(u"windowcoverings_set"_s, 0.7, 0, 1),
                   number(u"volume_set"_s, 10, 10, 10)});
}

} // namespace

GalleryStrips::GalleryStrips()
{
    qputenv("XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toLocal8Bit());
    qputenv("XDG_STATE_HOME", m_home.filePath(u"state"_s).toLocal8Bit());
    m_clock = std::make_shared<ManualClock>();
    auto rest = std::make_shared<FakeRestClient>(m_clock);
    rest->home.zones = {Zone{.id = u"woonkamer"_s, .name = u"Woonkamer"_s}};
    rest->home.devices = {plainLamp(), colourLamp(), darkColourLamp(), thermostat(), speaker(), busySwitch(),
                          lock(),      alarm(),      offlineLamp(),    garageDoor(), blinds()};
    m_realtime = std::make_shared<FakeRealtime>();
    m_store = std::make_unique<HomeStore>(rest, m_realtime, nullptr, SettingsStore(u"gallery"_s),
                                          HomeStore::Options{m_clock});
    awaitTask(m_store->start());
    m_clock->advance(0ms);
    m_writer = std::make_shared<RecordingWriter>(m_clock);
    m_coalescer = std::make_unique<LevelCoalescer>(m_writer, m_clock);
    auto declining = std::make_shared<RecordingWriter>(m_clock);
    declining->declined = {u"onoff"_s, u"windowcoverings_set"_s};

    open(u"strip-lamp"_s, u"lamp"_s, 0, m_writer);
    open(u"strip-colourlamp"_s, u"kleurlamp"_s, 1, m_writer);
    open(u"strip-colourlamp-dark"_s, u"kleurlamp-uit"_s, 1, m_writer);
    open(u"strip-thermostat"_s, u"thermostaat"_s, 0, m_writer);
    open(u"strip-speaker"_s, u"speaker"_s, -1, m_writer);
    open(u"strip-twochannel"_s, u"schakelaar"_s, 1, m_writer);
    open(u"strip-lock"_s, u"voordeur"_s, 0, m_writer);
    // The first press of unlocking only arms the gate: the button asks to be pressed again.
    open(u"strip-lock-armed"_s, u"voordeur"_s, 0, m_writer)->activate(0);
    open(u"strip-alarm"_s, u"alarm"_s, 0, m_writer);
    open(u"strip-alarm-armed"_s, u"alarm"_s, 0, m_writer)->chooseMode(0, u"disarmed"_s);
    open(u"strip-action"_s, u"garage"_s, 0, m_writer);
    open(u"strip-readonly"_s, u"rolluik"_s, 2, declining);
    open(u"strip-offline"_s, u"lamp-weg"_s, -1, m_writer);
}

GalleryStrips::~GalleryStrips()
{
    m_strips.clear();
    m_models.clear();
    m_coalescer.reset();
    m_gates.clear();
    awaitTask(m_store->stop());
}

ControlStripModel *GalleryStrips::open(const QString &name, const QString &deviceID, int focusedRow,
                                       const std::shared_ptr<RecordingWriter> &writer)
{
    auto gate = std::make_shared<GuardGate>(m_clock);
    auto model =
        std::make_shared<ControlStripModel>(m_store.get(), deviceID, writer, gate.get(), m_coalescer.get());
    model->setFocusedRow(focusedRow);
    m_gates << gate;
    m_models << model;
    m_strips << std::pair(name, model.get());
    return model.get();
}
