// Decoding the hub's device collection: JSON parse, lenient member decoding and conversion into the
// home model. Two homes of 1,000 devices: a heavy one with eight large capabilities each, and the demo
// home's devices repeated, keys in the order the hub writes them.
#include "homey/rest/homeyreads.h"

#include <benchmark/benchmark.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <simdjson.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QJsonObject capability(const QString &id, const QString &type, const QJsonValue &value, int index)
{
    QJsonObject object{
        {u"id"_s, id},
        {u"type"_s, type},
        {u"title"_s, u"Capability "_s + id},
        {u"getable"_s, true},
        {u"setable"_s, type != u"number"},
        {u"units"_s, type == u"number" ? u"W"_s : QString()},
        {u"decimals"_s, 2},
        {u"min"_s, 0},
        {u"max"_s, 100},
        {u"step"_s, 0.5},
        {u"value"_s, value},
        {u"lastUpdated"_s, u"2024-05-01T10:%1:%2.123Z"_s.arg(index % 60, 2, 10, QChar(u'0'))
                               .arg(index % 59, 2, 10, QChar(u'0'))},
        {u"chartType"_s, u"spline"_s},
        {u"iconObj"_s, QJsonObject{{u"id"_s, u"icon-"_s + id}, {u"url"_s, u"/icon/"_s + id + u".svg"_s}}},
        {u"options"_s, QJsonObject{{u"preventInsights"_s, false}}},
    };
    if (type == u"enum") {
        object[u"values"_s] = QJsonArray{QJsonObject{{u"id"_s, u"home"_s}, {u"title"_s, u"Thuis"_s}},
                                         QJsonObject{{u"id"_s, u"away"_s}, {u"title"_s, u"Weg"_s}},
                                         QJsonObject{{u"id"_s, u"night"_s}, {u"title"_s, u"Nacht"_s}}};
    }
    return object;
}

QString deviceID(int i)
{
    return u"%1-0000-4000-8000-%2"_s.arg(i, 8, 16, QChar(u'0')).arg(i, 12, 16, QChar(u'0'));
}

QByteArray devicesDocument(int count)
{
    const QList<std::tuple<QString, QString, QJsonValue>> kinds{
        {u"onoff"_s, u"boolean"_s, true},
        {u"dim"_s, u"number"_s, 0.42},
        {u"measure_power"_s, u"number"_s, 12.5},
        {u"meter_power"_s, u"number"_s, 1234.56},
        {u"measure_temperature"_s, u"number"_s, 21.3},
        {u"light_hue"_s, u"number"_s, 0.1},
        {u"thermostat_mode"_s, u"enum"_s, u"home"_s},
        {u"alarm_battery"_s, u"boolean"_s, false},
    };
    QJsonObject devices;
    for (int i = 0; i < count; ++i) {
        const QString id = deviceID(i);
        QJsonObject capabilitiesObj;
        QJsonArray order;
        for (qsizetype k = 0; k < kinds.size(); ++k) {
            const auto &[capabilityID, type, value] = kinds[k];
            capabilitiesObj[capabilityID] = capability(capabilityID, type, value, i + int(k));
            order.append(capabilityID);
        }
        devices[id] = QJsonObject{
            {u"id"_s, id},
            {u"name"_s, u"Apparaat %1 in de woonkamer"_s.arg(i)},
            {u"zone"_s, u"zone-%1"_s.arg(i % 20)},
            {u"class"_s, u"light"_s},
            {u"virtualClass"_s, QJsonValue()},
            {u"available"_s, true},
            {u"ready"_s, true},
            {u"unavailableMessage"_s, QJsonValue()},
            {u"capabilities"_s, order},
            {u"capabilitiesObj"_s, capabilitiesObj},
            {u"ui"_s, QJsonObject{{u"quickAction"_s, u"onoff"_s},
                                  {u"components"_s,
                                   QJsonArray{QJsonObject{{u"id"_s, u"toggle"_s},
                                                          {u"capabilities"_s, QJsonArray{u"onoff"_s}}},
                                              QJsonObject{{u"id"_s, u"slider"_s},
                                                          {u"capabilities"_s, QJsonArray{u"dim"_s}}}}}}},
            {u"energyObj"_s, QJsonObject{{u"W"_s, 8.5}, {u"cumulative"_s, false}, {u"generator"_s, false}}},
            {u"color"_s, u"#ffcc00"_s},
            {u"driverId"_s, u"homey:app:com.example:bulb"_s},
            {u"settings"_s, QJsonObject{{u"zb_product_id"_s, u"LCT015"_s}, {u"energy_value"_s, 8.5}}},
            {u"flags"_s, QJsonArray{u"zigbee"_s}},
            {u"note"_s, u"Een apparaat met een iets langere beschrijving voor de omvang"_s},
        };
    }
    return QJsonDocument(devices).toJson(QJsonDocument::Compact);
}

// The demo home's devices, written back as they stand in its file, repeated to count with fresh ids.
QByteArray demoDevicesDocument(int count)
{
    QFile file(QStringLiteral(QUORVANE_DEMO_HOME));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("bench_decode: cannot read the demo home");
    const QByteArray home = file.readAll();
    simdjson::dom::parser parser;
    simdjson::dom::object devices;
    if (parser.parse(home.constData(), size_t(home.size()))["devices"].get(devices))
        throw std::runtime_error("bench_decode: the demo home has no devices");
    QList<QPair<QByteArray, QByteArray>> demo; // id, device
    for (const auto field : devices) {
        std::string_view id;
        if (field.value["id"].get(id))
            throw std::runtime_error("bench_decode: a demo device without id");
        demo.append({QByteArray(id.data(), qsizetype(id.size())),
                     QByteArray::fromStdString(simdjson::minify(field.value))});
    }
    QByteArray document = "{";
    for (int i = 0; i < count; ++i) {
        const auto &[id, device] = demo[i % demo.size()];
        const QByteArray fresh = deviceID(i).toLatin1();
        if (i > 0)
            document += ',';
        document += '"' + fresh +
                    "\":" + QByteArray(device).replace("\"id\":\"" + id + '"', "\"id\":\"" + fresh + '"');
    }
    return document + '}';
}

void readDevices(benchmark::State &state, const QByteArray &document)
{
    state.counters["bytes"] = double(document.size());
    for (auto _ : state) {
        const QList<Device> devices =
            HomeyReads::devices(HomeyReads::collection<RawDevice>(document, u"manager/devices/device/"_s));
        benchmark::DoNotOptimize(devices.size());
    }
}

void decodeDevices(benchmark::State &state)
{
    readDevices(state, devicesDocument(1000));
}

void decodeDemoDevices(benchmark::State &state)
{
    readDevices(state, demoDevicesDocument(1000));
}

// The phases apart, to see where the time goes.
void parseOnly(benchmark::State &state)
{
    const QByteArray document = devicesDocument(1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(JsonReader::parse(document));
}

void decodeOnly(benchmark::State &state)
{
    const JsonReader parsed = JsonReader::parse(devicesDocument(1000));
    for (auto _ : state) {
        const auto members = parsed.as<std::map<QString, Lenient<RawDevice>>>();
        benchmark::DoNotOptimize(members.size());
    }
}

void convertOnly(benchmark::State &state)
{
    const QList<RawDevice> records =
        HomeyReads::collection<RawDevice>(devicesDocument(1000), u"manager/devices/device/"_s);
    for (auto _ : state)
        benchmark::DoNotOptimize(HomeyReads::devices(records).size());
}

} // namespace

BENCHMARK(parseOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(convertOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeDemoDevices)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
