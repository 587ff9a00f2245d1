#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "homey/rest/homeyclient.h"
#include "store/home/homestore.h"

#include <QJsonArray>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One kitchen of 13 dark lights, every third one dimmable, as the hub serves them.
QJsonObject kitchenOf13()
{
    QJsonObject devices;
    for (int i = 1; i <= 13; ++i) {
        const QString id = u"k"_s + QString::number(i);
        QJsonArray order{u"onoff"_s};
        QJsonObject capabilities{
            {u"onoff"_s, QJsonObject{{u"type"_s, u"boolean"_s}, {u"value"_s, false}, {u"setable"_s, true}}}};
        if (i % 3 == 0) {
            order.append(u"dim"_s);
            capabilities.insert(
                u"dim"_s, QJsonObject{{u"type"_s, u"number"_s}, {u"value"_s, 0.5}, {u"setable"_s, true}});
        }
        devices.insert(id, QJsonObject{{u"id"_s, id},
                                       {u"name"_s, u"Spot "_s + QString::number(i)},
                                       {u"zone"_s, u"keuken"_s},
                                       {u"class"_s, u"light"_s},
                                       {u"capabilities"_s, order},
                                       {u"capabilitiesObj"_s, capabilities}});
    }
    return QJsonObject{
        {u"token"_s, u"secret"_s},
        {u"me"_s, QJsonObject{{u"id"_s, u"u"_s}}},
        {u"system"_s, QJsonObject{{u"totalmem"_s, 1000}, {u"freemem"_s, 500}}},
        {u"zones"_s, QJsonObject{{u"huis"_s, QJsonObject{{u"id"_s, u"huis"_s}, {u"name"_s, u"Huis"_s}}},
                                 {u"keuken"_s, QJsonObject{{u"id"_s, u"keuken"_s},
                                                           {u"name"_s, u"Keuken"_s},
                                                           {u"parent"_s, u"huis"_s}}}}},
        {u"devices"_s, devices}};
}

} // namespace

// The store's commands over HTTP against the fake hub, on the real clock.
class TestHomeStoreHub : public QObject {
    Q_OBJECT

    // Every capability of every light reads the same in the hub and in the store.
    static bool agree(const FakeHub &hub, const HomeStore &store)
    {
        for (const Device &device : store.devices()) {
            const QJsonObject served = hub.device(device.id).value(u"capabilitiesObj"_s).toObject();
            for (const auto &[id, capability] : device.capabilities) {
                if (CapabilityValue::fromJson(served.value(id).toObject().value(u"value"_s)) !=
                    capability.value)
                    return false;
            }
        }
        return true;
    }

private Q_SLOTS:
    void roomOnAndOffTenTimes()
    {
        FakeHub hub;
        QVERIFY(hub.listen());
        hub.setHome(kitchenOf13());
        HomeyClient::setDryRunForTesting(false);
        auto rest = std::make_shared<HomeyClient>(HomeyEndpoint{hub.baseURL(), u"hub"_s, std::nullopt},
                                                  u"secret"_s, nullptr);
        SettingsStore defaults(u"homestorehub"_s);
        HomeStore store(rest, nullptr, nullptr, defaults);
        awaitTask(store.start());
        QVERIFY2(!store.lastError(),
                 qPrintable(store.lastError() ? store.lastError()->errorDescription() : QString()));
        QCOMPARE(store.devices().size(), 13);
        hub.clearRequests();

        for (int round = 0; round < 10; ++round) {
            store.setQuery(u"keuken aan"_s);
            const auto room = std::find_if(store.hits().begin(), store.hits().end(), [](const Hit &hit) {
                return hit.target == Hit::Target::room(u"keuken"_s);
            });
            QVERIFY(room != store.hits().end());
            awaitTask(store.run(*room));
            QCOMPARE(store.rest().lightsOnTotal, 13);
            QVERIFY(agree(hub, store));
            awaitTask(store.allOff(u"keuken"_s));
            QCOMPARE(store.rest().lightsOnTotal, 0);
            QVERIFY(agree(hub, store));
        }
        awaitTask(store.setAllDim(u"keuken"_s, 0.4));
        QVERIFY(agree(hub, store));
        QVERIFY(!store.lastError());

        // Each light: ten times on and off, once more on; dimmable ones also once their level.
        QHash<QString, int> puts;
        for (const FakeRequest &request : hub.requests()) {
            QCOMPARE(request.method, "PUT");
            puts[QString::fromLatin1(request.route()).section(u'/', 3, 3)] += 1;
        }
        for (int i = 1; i <= 13; ++i)
            QCOMPARE(puts.value(u"k"_s + QString::number(i)), i % 3 == 0 ? 22 : 21);
        HomeyClient::setDryRunForTesting(std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreHub)
#include "tst_homestorehub.moc"
