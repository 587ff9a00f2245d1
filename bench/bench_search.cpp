// Search and overview costs on a large generated home: 1,000 devices, 100 zones, 200 flows, 50 moods.
#include "generatedhome.h"
#include "store/overview/restbuilder.h"
#include "store/overview/zonedevices.h"
#include "store/search/searchindex.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

using GeneratedHome::Home;
using GeneratedHome::home;

void searchFor(benchmark::State &state, const QString &query)
{
    const Home &h = home();
    const SearchIndex index(h.devices, h.zones, h.flows, h.moods);
    const RecentUses recent = {{u"device:device0"_s, QDateTime::currentDateTimeUtc().addDays(-2)}};
    for (auto _ : state) {
        auto result = index.search(query, h.devices, h.zones, recent, 30);
        benchmark::DoNotOptimize(result);
    }
}

void BM_SearchTwoWords(benchmark::State &state)
{
    searchFor(state, u"woonkamer lamp"_s);
}

void BM_SearchWithLevel(benchmark::State &state)
{
    searchFor(state, u"woonkamer lamp 40"_s);
}

void BM_IndexRebuild(benchmark::State &state)
{
    const Home &h = home();
    for (auto _ : state) {
        SearchIndex index(h.devices, h.zones, h.flows, h.moods);
        benchmark::DoNotOptimize(index);
    }
}

// A device renamed and back again, as the hub reports it: the index moves the entry and its title's rank.
void BM_IndexRename(benchmark::State &state)
{
    const Home &h = home();
    SearchIndex index(h.devices, h.zones, h.flows, h.moods);
    const QList<Device> devices = h.devices.values();
    qsizetype turn = 0;
    for (auto _ : state) {
        const Device &device = devices.at((turn * 13) % devices.size());
        Device renamed = device;
        renamed.name += u" bis"_s;
        index.updateDevice(device, renamed, h.zones);
        index.updateDevice(renamed, device, h.zones);
        ++turn;
    }
}

// A room renamed and back again, as the hub reports it: the room's entry moves, its devices' and moods'
// entries follow the name.
void BM_IndexZoneRename(benchmark::State &state)
{
    const Home &h = home();
    SearchIndex index(h.devices, h.zones, h.flows, h.moods);
    const Zone room = h.zones.value(u"room0"_s);
    Zone renamed = room;
    renamed.name = u"Zitkamer"_s;
    ZoneMap zones = h.zones;
    zones.insert(renamed.id, renamed);
    QList<Device> inRoom;
    for (const Device &device : h.devices) {
        if (device.zoneID == room.id)
            inRoom.append(device);
    }
    for (auto _ : state) {
        index.updateZone(room, renamed, inRoom, zones);
        index.updateZone(renamed, room, inRoom, h.zones);
    }
}

void BM_RestBuild(benchmark::State &state)
{
    const Home &h = home();
    for (auto _ : state) {
        RestState rest = RestBuilder::build(h.devices, h.zones, h.flows, h.moods, h.favorites);
        benchmark::DoNotOptimize(rest);
    }
}

// A lamp switched on or off, as the hub reports it while the overview shows: its room's tile, the headline
// and the modes follow.
void BM_RestLampToggle(benchmark::State &state)
{
    const Home &h = home();
    DeviceMap devices = h.devices;
    const QSet<QString> twins = HomeMaps::sceneTwinDeviceIDs(devices, h.flows, h.moods);
    RestState rest = RestBuilder::build(devices, h.zones, h.flows, h.moods, h.favorites);
    ZoneDevices rooms(devices);
    QStringList lamps;
    for (const Device &device : devices) {
        if (device.deviceClass == u"light" && device.capabilities.contains(u"onoff"_s))
            lamps.append(device.id);
    }
    qsizetype turn = 0;
    for (auto _ : state) {
        Device &lamp = devices[lamps.at((turn * 7) % lamps.size())];
        const Device before = lamp;
        Capability &onoff = lamp.capabilities.at(u"onoff"_s);
        onoff.value = CapabilityValue::fromBool(!before.isOn().value_or(false));
        if (!RestBuilder::update(rest, before, lamp, devices, h.zones, h.favorites, twins, &rooms))
            rest = RestBuilder::build(devices, h.zones, h.flows, h.moods, h.favorites);
        ++turn;
    }
}

} // namespace

BENCHMARK(BM_SearchTwoWords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchWithLevel)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexRebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexRename)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IndexZoneRename)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RestBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestLampToggle)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
