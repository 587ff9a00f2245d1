#include "eventtext.h"
#include "homey/model/homeyerror.h"
#include "homey/realtime/owntransactions.h"
#include "homey/realtime/realtimeframes.h"
#include "homey/realtime/realtimetiming.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace RealtimeFrames;

class TestRealtimeFrames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reader_data()
    {
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QString>(
            "read"); // type, namespace, ack id or "-", data; "none" when nothing is read
        QTest::newRow("empty") << u""_s << u"none"_s;
        QTest::newRow("not a digit") << u"x1"_s << u"none"_s;
        QTest::newRow("connect") << u"0"_s << u"0 / - "_s;
        QTest::newRow("namespaced connect") << u"0/abc,{}"_s << u"0 /abc - {}"_s;
        QTest::newRow("namespace without comma") << u"2/ns"_s << u"2 /ns - "_s;
        QTest::newRow("ack") << u"3/n,17[null]"_s << u"3 /n 17 [null]"_s;
        QTest::newRow("ack too long") << u"399999999999999999999[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("other script digits") << u"3١٢[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("fraction") << u"31½[1]"_s << u"3 / - [1]"_s;
        QTest::newRow("supplementary digit") << u"3\U0001D7D9[1]"_s << u"3 / - [1]"_s;
    }
    void reader()
    {
        QFETCH(QString, packet);
        QFETCH(QString, read);
        const std::optional<SocketIOPacket> p = readSocketIO(packet);
        const QString ackID = p && p->ackID ? QString::number(*p->ackID) : u"-"_s;
        QCOMPARE(p ? u"%1 %2 %3 %4"_s.arg(p->type).arg(p->nameSpace, ackID, QString::fromUtf8(p->data))
                   : u"none"_s,
                 read);
    }

    void subscriptionAnswers_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("null") << QByteArray("[null]") << true;
        QTest::newRow("empty") << QByteArray("[]") << true;
        QTest::newRow("unparseable") << QByteArray("[nu") << true;
        QTest::newRow("object") << QByteArray("{\"a\":1}") << true;
        QTest::newRow("text") << QByteArray("[\"error\"]") << false;
        QTest::newRow("first an object") << QByteArray("[{},null]") << false;
    }
    void subscriptionAnswers()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, accepted);
        QCOMPARE(subscriptionAccepted(payload), accepted);
    }

    void handshake_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("result"); // a namespace, "unauthorized", or "!" + socket text
        QTest::newRow("ok") << QByteArray(R"([null,{"success":true,"namespace":"/x"}])") << u"/x"_s;
        QTest::newRow("success not bool")
            << QByteArray(R"([null,{"success":"no","namespace":"n"}])") << u"n"_s;
        QTest::newRow("not json") << QByteArray("[null,") << u"!onleesbaar antwoord op de handshake"_s;
        QTest::newRow("object") << QByteArray("{}") << u"!onleesbaar antwoord op de handshake"_s;
        QTest::newRow("empty") << QByteArray("[]") << u"!de handshake gaf geen namespace terug"_s;
        QTest::newRow("no object") << QByteArray("[null]") << u"!de handshake gaf geen namespace terug"_s;
        QTest::newRow("empty namespace")
            << QByteArray(R"([null,{"namespace":""}])") << u"!de handshake gaf geen namespace terug"_s;
        QTest::newRow("numeric namespace")
            << QByteArray(R"([null,{"namespace":3}])") << u"!de handshake gaf geen namespace terug"_s;
        QTest::newRow("success false")
            << QByteArray(R"([null,{"success":false,"namespace":"/x"}])") << u"unauthorized"_s;
        QTest::newRow("invalid token") << QByteArray(R"(["Invalid Token"])") << u"unauthorized"_s;
        QTest::newRow("auth object") << QByteArray(R"([{"code":"AUTH_FAILED"}])") << u"unauthorized"_s;
        QTest::newRow("other error") << QByteArray(R"(["Kapot"])") << u"!Kapot"_s;
        QTest::newRow("numeric error") << QByteArray("[42]") << u"!42"_s;
    }
    void handshake()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, result);
        QString got;
        try {
            got = parseHandshake(payload);
        } catch (const HomeyError &error) {
            got = error.kind() == HomeyError::Kind::unauthorized ? u"unauthorized"_s : u"!"_s + error.text();
        }
        QCOMPARE(got, result);
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("event");
        QTest::newRow("capability")
            << QByteArray(R"(["homey:device:abc","capability",{"capabilityId":"onoff","value":true}])")
            << u"capability abc onoff [true] -"_s;
        QTest::newRow("capability null")
            << QByteArray(
                   R"(["homey:device:abc","capability",{"capabilityId":"dim","value":null,"transactionId":"t"}])")
            << u"capability abc dim [null] t"_s;
        QTest::newRow("capability missing value")
            << QByteArray(R"(["homey:device:abc","capability",{"capabilityId":"dim"}])")
            << u"capability abc dim [null] -"_s;
        QTest::newRow("capability without id")
            << QByteArray(R"(["homey:device:abc","capability",{"value":1}])") << u"none"_s;
        QTest::newRow("device capability two elements")
            << QByteArray(R"(["homey:device:abc","capability"])") << u"none"_s;
        QTest::newRow("other device event") << QByteArray(R"(["homey:device:abc","update",{}])") << u"none"_s;
        QTest::newRow("device update")
            << QByteArray(R"(["homey:manager:devices","device.update",{"id":"d","name":"L"}])")
            << u"device d"_s;
        QTest::newRow("delete text") << QByteArray(R"(["homey:manager:devices","device.delete","abc"])")
                                     << u"deleted abc"_s;
        QTest::newRow("delete object")
            << QByteArray(R"(["homey:manager:devices","device.delete",{"id":"abc"}])") << u"deleted abc"_s;
        QTest::newRow("delete numeric")
            << QByteArray(R"(["homey:manager:devices","device.delete",{"id":1}])") << u"none"_s;
        QTest::newRow("delete bare") << QByteArray(R"(["homey:manager:devices","device.delete"])")
                                     << u"none"_s;
        QTest::newRow("zone") << QByteArray(R"(["homey:manager:zones","zone.create",{"id":"z","name":"K"}])")
                              << u"zone z"_s;
        QTest::newRow("zone delete") << QByteArray(R"(["homey:manager:zones","zone.delete",{"id":"z"}])")
                                     << u"none"_s;
        QTest::newRow("flow") << QByteArray(R"(["homey:manager:flow","flow.updated"])") << u"flows"_s;
        QTest::newRow("advanced flow")
            << QByteArray(R"(["homey:manager:flow","advancedflow.deleted",{}])") << u"flows"_s;
        QTest::newRow("flow folder") << QByteArray(R"(["homey:manager:flow","flowfolder.update"])")
                                     << u"none"_s;
        QTest::newRow("notification")
            << QByteArray(R"(["homey:manager:notifications","notification.create",{"id":"n"}])")
            << u"notification n"_s;
        QTest::newRow("case matters") << QByteArray(R"(["homey:manager:Flow","flow.updated"])") << u"none"_s;
        QTest::newRow("uri only") << QByteArray(R"(["homey:manager:flow"])") << u"none"_s;
        QTest::newRow("empty") << QByteArray() << u"none"_s;
        QTest::newRow("numeric uri") << QByteArray(R"([1,"flow.x"])") << u"none"_s;
        QTest::newRow("two documents") << QByteArray(R"(["homey:manager:flow","flow.x"],[1])") << u"none"_s;
    }
    void events()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, event);
        const std::optional<HomeyEvent> mapped = mapEvent(data);
        QCOMPARE(mapped ? eventText(*mapped) : u"none"_s, event);
    }

    void ownTransactionWindow()
    {
        auto now = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::hours(1));
        OwnTransactions own([now] { return *now; });
        own.registerOwn(u"a"_s);
        *now += 59900ms;
        QVERIFY(own.isOwn(u"a"_s));
        QVERIFY(!own.isOwn(u"b"_s));
        *now += 100ms;
        QVERIFY(!own.isOwn(u"a"_s));
        own.registerOwn(u"b"_s); // forgets the expired one
        QCOMPARE(own.size(), 1);
        *now -= 10min; // a registration ahead of the clock is fresh
        QVERIFY(own.isOwn(u"b"_s));
    }

    void backoff()
    {
        // The socket's test walks the table; here only what it cannot reach.
        QCOMPARE(RealtimeTiming::backoff(40, 1), 15400ms);
        QCOMPARE(RealtimeTiming::backoff(3, std::nan("")), 2000ms);
        const RealtimeTiming standard = RealtimeTiming::standard();
        for (int i = 0; i < 1000; ++i) {
            const double r = standard.random();
            QVERIFY(r >= 0 && r <= 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestRealtimeFrames)
#include "tst_realtimeframes.moc"
