#include "homey/rest/cpusampler.h"
#include "homey/rest/homeyreads.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray js(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

QStringList fields(const auto &values, auto member)
{
    QStringList result;
    for (const auto &value : values)
        result.append(value.*member);
    return result;
}

RawSystem::CPU cpu(qint64 user, qint64 idle)
{
    return {{user, 0, 0, idle, 0}};
}

} // namespace

class TestHomeyReads : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void plainNameOrder()
    {
        // "e" + combining acute is the same name as "é" once composed; capitals sort first; equal names
        // keep their collected order.
        const auto zones = HomeyReads::zones(HomeyReads::collection<RawZone>(
            js("{'1':{'id':'1','name':'b'},'2':{'id':'2','name':'B'},'3':{'id':'3','name':'e\\u0301'},"
               "'4':{'id':'4','name':'\\u00e9a'},'5':{'id':'5','name':'a'},'6':{'id':'6','name':'b'}}"),
            u"manager/zones/zone/"_s));
        QCOMPARE(fields(zones, &Zone::id), (QStringList{u"2"_s, u"5"_s, u"1"_s, u"6"_s, u"3"_s, u"4"_s}));
    }

    void collectionFailures()
    {
        QVERIFY(HomeyReads::collection<RawZone>("{}", u"p/"_s).isEmpty());
        QVERIFY(HomeyReads::collection<RawZone>(js("{'a':null,'b':{'id':'b'}}"), u"p/"_s).isEmpty());
        const auto failure = [](auto decode) {
            try {
                decode();
            } catch (const HomeyError &error) {
                return error.text();
            }
            return u"decoded"_s;
        };
        QCOMPARE(failure([] { HomeyReads::document<RawSystem>(js("{'totalmem':5}"), u"manager/system/"_s); }),
                 u"manager/system/: freemem: missing"_s);
    }

    void flows()
    {
        const QList<RawFlow> standard{
            {u"s1"_s, u"banaan"_s, u"f"_s, std::nullopt, std::nullopt, true},
            {u"s2"_s, u"Appel"_s, std::nullopt, true, true, true},            // broken
            {u"s3"_s, u"citroen"_s, std::nullopt, true, false, std::nullopt}, // not triggerable
            {u"s4"_s, u"Banaan"_s, std::nullopt, false, false, true},         // disabled
            {u"s5"_s, u"Ëlan"_s, std::nullopt, true, false, true},
            {u"s6"_s, u"appel"_s, std::nullopt, true, false, true},
        };
        const QList<RawFlow> advanced{
            {u"a1"_s, u"APPEL"_s, std::nullopt, true, false, true},
            {u"a2"_s, u"Zebra"_s, std::nullopt, true, false, true},
        };
        const QList<Flow> flows = HomeyReads::flows(standard, advanced);
        // Case-insensitive Dutch order; equal names keep standard before advanced.
        QCOMPARE(fields(flows, &Flow::id), (QStringList{u"s6"_s, u"a1"_s, u"s1"_s, u"s5"_s, u"a2"_s}));
        QVERIFY(flows[1].isAdvanced && !flows[0].isAdvanced);
        QCOMPARE(flows[2].folderID, u"f"_s);
    }

    void energy()
    {
        const auto energy = [](const char *json) {
            return HomeyReads::energy(HomeyReads::document<RawEnergyLive>(js(json), u"e"_s));
        };
        // Halves round away from zero; without a grid meter the consumption is the hub's own total.
        QCOMPARE(
            energy("{'totalConsumed':{'W':45.5},'totalGenerated':{'W':2.5},'totalCumulative':{'W':-2.5}}"),
            (EnergyState{46, 3, -3}));
        QCOMPARE(
            energy("{'totalConsumed':{'W':999},'totalGenerated':{'W':120.4},'totalCumulative':{'W':-30.5},"
                   "'items':[{},{'type':'cumulative'}]}"),
            (EnergyState{90, 120, -31}));
        QCOMPARE(energy("{'totalConsumed':{'W':10},'items':[{'type':'Cumulative'}]}"),
                 (EnergyState{10, 0, 0}));
    }

    void memoryShare()
    {
        const auto memory = [](qint64 total, qint64 free) {
            return HomeyReads::system({std::nullopt, total, free, std::nullopt, std::nullopt}, std::nullopt)
                .memoryPercent;
        };
        QCOMPARE(memory(0, 0), std::nullopt);
        QCOMPARE(memory(200, 50), 75.0);
        QCOMPARE(memory(100, 150), -50.0); // not clamped
    }

    void notificationsNewestFirst()
    {
        const auto notes = HomeyReads::notifications(HomeyReads::collection<RawTimelineItem>(
            js("{'a':{'id':'a'},'b':{'id':'b','dateCreated':'2024-05-01T10:00:00.000Z'},"
               "'c':{'id':'c','dateCreated':'2024-05-02T10:00:00.000Z'},'d':{'id':'d','dateCreated':'nooit'}"
               "}"),
            u"n"_s));
        const QStringList ids = fields(notes, &RawNotification::id);
        QCOMPARE(ids.mid(0, 2), (QStringList{u"c"_s, u"b"_s}));
        QCOMPARE(QSet<QString>(ids.begin() + 2, ids.end()), (QSet<QString>{u"a"_s, u"d"_s}));
    }

    void cpuSampler()
    {
        CPUSampler sampler;
        QCOMPARE(sampler.percent({cpu(100, 100), cpu(100, 100)}), std::nullopt);
        QCOMPARE(sampler.percent({cpu(130, 170), cpu(110, 190)}), 20.0);         // busy 40 of 200
        QCOMPARE(sampler.percent({cpu(130, 170), cpu(110, 190)}), std::nullopt); // no time passed
        QCOMPARE(sampler.percent({cpu(1, 1)}), std::nullopt);                    // CPU count changed
        QCOMPARE(sampler.percent({cpu(11, 1)}), 100.0);
        QCOMPARE(sampler.percent({}), std::nullopt);
        // Counters that ran backwards, or absurd ones, never escape 0...100 or overflow.
        QCOMPARE(sampler.percent({cpu(std::numeric_limits<qint64>::max(), 0)}), std::nullopt);
        const auto wrapped = sampler.percent({cpu(std::numeric_limits<qint64>::min(), 5)});
        QVERIFY(!wrapped || (*wrapped >= 0 && *wrapped <= 100));
        sampler.percent({cpu(0, 10)});
        QCOMPARE(sampler.percent({cpu(0, 20)}), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestHomeyReads)
#include "tst_homeyreads.moc"
