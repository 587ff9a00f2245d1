#include "awaittask.h"
#include "fakehub/fakehub.h"
#include "homey/rest/homeyclient.h"
#include "store/home/homestore.h"

#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A kitchen of 13 dark lights, every third one dimmable, as the hub serves them.
QJsonObject kitchenOf13()
{
    QJsonObject home = QJsonDocument::fromJson(R"({"token": "secret", "me": {"id": "u"},
        "system": {"totalmem": 1000, "freemem": 500},
        "zones": {"huis": {"id": "huis", "name": "Huis"},
                  "keuken": {"id": "keuken", "name": "Keuken", "parent": "huis"}}})")
                           .object();
    QJsonObject devices;
    for (int i = 1; i <= 13; ++i) {
        const QString id = u"k"_s + QString::number(i);
        const QString dim = i % 3 == 0
                                ? u", \"dim\": {\"type\": \"number\", \"value\": 0.5, \"setable\": true}"_s
                                : QString();
        devices.insert(id, QJsonDocument::fromJson(
                               (u"{\"id\": \"%1\", \"name\": \"Spot %1\", \"zone\": \"keuken\", "
                                u"\"class\": \"light\", \"capabilitiesObj\": {\"onoff\": "
                                u"{\"type\": \"boolean\", \"value\": false, \"setable\": true}%2}}"_s)
                                   .arg(id, dim)
                                   .toUtf8())
                               .object());
    }
    home.insert(u"devices"_s, devices);
    return home;
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
                QJsonValue hubValue = served.value(id).toObject().value(u"value"_s);
                if (hubValue.isUndefined())
                    hubValue = QJsonValue::Null;
                if (hubValue != capability.value.value_or(CapabilityValue::none()).toJson())
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
        auto rest = std::make_shared<HomeyClient>(HomeyEndpoint{hub.baseURL(), u"hub"_s, std::nullopt},
                                                  u"secret"_s, nullptr);
        HomeStore store(rest, nullptr, nullptr, SettingsStore(u"homestorehub"_s));
        awaitTask(store.start());
        QCOMPARE(store.devices().size(), 13);
        hub.clearRequests();

        Hit kitchen{u"room:keuken"_s, Hit::Target::room(u"keuken"_s)};
        for (int round = 0; round < 10; ++round) {
            awaitTask(store.run(kitchen)); // a bare room toggles
            QCOMPARE(store.rest().lightsOnTotal, 13);
            QVERIFY(agree(hub, store));
            awaitTask(store.allOff(u"keuken"_s));
            QCOMPARE(store.rest().lightsOnTotal, 0);
            QVERIFY(agree(hub, store));
        }
        awaitTask(store.setAllDim(u"keuken"_s, 0.4));
        QVERIFY(agree(hub, store));
        QVERIFY(!store.lastError());

        // Each light: ten times on and off, once more on, and the dimmable ones their level.
        QHash<QString, int> puts;
        for (const FakeRequest &request : hub.requests()) {
            QCOMPARE(request.method, "PUT");
            puts[QString::fromLatin1(request.route()).section(u'/', 3, 3)] += 1;
        }
        for (int i = 1; i <= 13; ++i)
            QCOMPARE(puts.value(u"k"_s + QString::number(i)), i % 3 == 0 ? 22 : 21);
    }
};

QTEST_GUILESS_MAIN(TestHomeStoreHub)
#include "tst_homestorehub.moc"
