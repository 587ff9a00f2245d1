#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "homey/realtime/homeysocket.h"
#include "homey/rest/homeyclient.h"
#include "support/awaittask.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

RealtimeTiming fastTiming()
{
    RealtimeTiming timing = RealtimeTiming::standard();
    timing.handshakeTimeout = 300ms;
    timing.healthInterval = 200ms;
    timing.healthTimeout = 200ms;
    timing.subscribePoll = 5ms;
    timing.subscribeWindow = 150ms;
    timing.random = [] { return 0.5; };
    return timing;
}

QString describe(const HomeyEvent &event)
{
    if (const auto *c = event.as<HomeyEvent::Capability>())
        return u"capability %1 %2 %3 %4"_s.arg(
            c->deviceID, c->capabilityID,
            QString::fromUtf8(QJsonDocument(QJsonArray{c->value.toJson()}).toJson(QJsonDocument::Compact)),
            c->transactionID.value_or(u"-"_s));
    if (event.as<HomeyEvent::Connected>())
        return u"connected"_s;
    if (const auto *d = event.as<HomeyEvent::Disconnected>())
        return u"disconnected "_s + d->reason;
    return u"other %1"_s.arg(int(event.kind()));
}

QString next(const std::shared_ptr<HomeySocket::Channel> &channel)
{
    std::optional<HomeyEvent> event = awaitTask(channel->next(), 5s);
    return event ? describe(*event) : u"end"_s;
}

QJsonObject lampHome()
{
    const QJsonObject capabilities{{u"onoff"_s, QJsonObject{{u"id"_s, u"onoff"_s}, {u"value"_s, false}}},
                                   {u"dim"_s, QJsonObject{{u"id"_s, u"dim"_s}, {u"value"_s, 0.5}}}};
    const QJsonObject lamp{{u"id"_s, u"lamp"_s},
                           {u"name"_s, u"Lamp"_s},
                           {u"capabilities"_s, QJsonArray{u"onoff"_s, u"dim"_s}},
                           {u"capabilitiesObj"_s, capabilities}};
    return QJsonObject{{u"token"_s, u"tok"_s}, {u"devices"_s, QJsonObject{{u"lamp"_s, lamp}}}};
}

} // namespace

// A write of our own, through the REST client, against the fake hub that echoes it over the realtime link.
class TestOwnWriteEcho : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;

    QJsonValue lampValue(const QString &capabilityID) const
    {
        return m_hub->device(u"lamp"_s)
            .value(u"capabilitiesObj"_s)
            .toObject()
            .value(capabilityID)
            .toObject()
            .value(u"value"_s);
    }

private Q_SLOTS:
    void init()
    {
        m_hub = std::make_unique<FakeHub>();
        m_hub->setHome(lampHome());
        QVERIFY(m_hub->listen());
        m_realtime = new FakeRealtime(m_hub.get());
    }

    void cleanup()
    {
        m_hub.reset();
        QTest::qWait(5); // let deferred deletions run
    }

    void echoDroppedForeignChangesKept()
    {
        const HomeyEndpoint endpoint{m_hub->baseURL(), u"homey-1"_s, std::nullopt};
        auto socket = std::make_shared<HomeySocket>(endpoint, u"tok"_s, fastTiming());
        HomeyClient client(endpoint, u"tok"_s, socket);

        // The ids the hub echoes, as it received them with the writes.
        QStringList echoed;
        QObject::connect(m_hub.get(), &FakeHub::capabilityChanged, this,
                         [&](const QString &, const QString &, const QJsonValue &,
                             const QString &transactionID) { echoed << transactionID; });

        auto channel = awaitTask(socket->connect({u"lamp"_s}), 5s);
        QCOMPARE(next(channel), u"connected"_s);

        // The echo goes out before the write is answered, so it precedes the marker on the link.
        awaitTask(client.setCapability(u"lamp"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        QCOMPARE(lampValue(u"onoff"_s), QJsonValue(true));
        QCOMPARE(echoed.size(), 1);
        QVERIFY(echoed[0].startsWith(u"quorvane-"_s));
        m_realtime->pushCapability(u"lamp"_s, u"dim"_s, 0.25);
        QCOMPARE(next(channel), u"capability lamp dim [0.25] -"_s);

        // Someone else switching the same lamp comes through, with or without an id of its own.
        m_realtime->pushCapability(u"lamp"_s, u"onoff"_s, false);
        m_realtime->pushCapability(u"lamp"_s, u"onoff"_s, true, u"app-7"_s);
        QCOMPARE(next(channel), u"capability lamp onoff [false] -"_s);
        QCOMPARE(next(channel), u"capability lamp onoff [true] app-7"_s);

        // The same value written again is a new write with a new id, and its echo is dropped too.
        awaitTask(client.setCapability(u"lamp"_s, u"onoff"_s, CapabilityValue::fromBool(true)));
        QCOMPARE(echoed.size(), 2);
        QVERIFY(echoed[1].startsWith(u"quorvane-"_s));
        QVERIFY(echoed[1] != echoed[0]);
        m_realtime->pushCapability(u"lamp"_s, u"dim"_s, 0.75);
        QCOMPARE(next(channel), u"capability lamp dim [0.75] -"_s);

        // A change from elsewhere through the hub itself carries no id and is reported.
        QVERIFY(m_hub->setCapabilityValue(u"lamp"_s, u"onoff"_s, false));
        QCOMPARE(next(channel), u"capability lamp onoff [false] -"_s);
        QCOMPARE(channel->size(), std::size_t(0));

        awaitTask(socket->disconnect());
    }
};

QTEST_GUILESS_MAIN(TestOwnWriteEcho)
#include "tst_ownwriteecho.moc"
