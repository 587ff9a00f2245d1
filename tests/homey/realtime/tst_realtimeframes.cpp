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
        // What is read: type, namespace, ack id or "-", data; "none" when nothing is read.
        QTest::addColumn<QString>("packet");
        QTest::addColumn<QString>("read");
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

    void subscriptionAnswers()
    {
        for (const char *accepted : {"[null]", "[]", "[nu", "{\"a\":1}"})
            QVERIFY2(subscriptionAccepted(accepted), accepted);
        for (const char *refused : {"[\"error\"]", "[{},null]"})
            QVERIFY2(!subscriptionAccepted(refused), refused);
    }

    void handshake_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("result"); // a namespace, "unauthorized", or "!" + socket text
        const auto row = [](const char *name, const char *payload, const QString &result) {
            QTest::newRow(name) << QByteArray(payload) << result;
        };
        const QString unreadable = u"!onleesbaar antwoord op de handshake"_s;
        const QString noNamespace = u"!de handshake gaf geen namespace terug"_s;
        row("ok", R"([null,{"success":true,"namespace":"/x"}])", u"/x"_s);
        row("success not bool", R"([null,{"success":"no","namespace":"n"}])", u"n"_s);
        row("not json", "[null,", unreadable);
        row("object", "{}", unreadable);
        row("empty", "[]", noNamespace);
        row("no object", "[null]", noNamespace);
        row("empty namespace", R"([null,{"namespace":""}])", noNamespace);
        row("numeric namespace", R"([null,{"namespace":3}])", noNamespace);
        row("success false", R"([null,{"success":false,"namespace":"/x"}])", u"unauthorized"_s);
        row("invalid token", R"(["Invalid Token"])", u"unauthorized"_s);
        row("auth object", R"([{"code":"AUTH_FAILED"}])", u"unauthorized"_s);
        row("other error", R"(["Kapot"])", u"!Kapot"_s);
        row("numeric error", "[42]", u"!42"_s);
    }
    void handshake()
    {
        QFETCH(QByteArray, payload);
        QString got;
        try {
            got = parseHandshake(payload);
        } catch (const HomeyError &error) {
            got = error.kind() == HomeyError::Kind::unauthorized ? u"unauthorized"_s : u"!"_s + error.text();
        }
        QTEST(got, "result");
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("event");
        const auto row = [](const char *name, const char *data, const QString &event = u"none"_s) {
            QTest::newRow(name) << QByteArray(data) << event;
        };
        row("capability", R"(["homey:device:abc","capability",{"capabilityId":"onoff","value":true}])",
            u"capability abc onoff [true] -"_s);
        row("capability null",
            R"(["homey:device:abc","capability",{"capabilityId":"dim","value":null,"transactionId":"t"}])",
            u"capability abc dim [null] t"_s);
        row("capability missing value", R"(["homey:device:abc","capability",{"capabilityId":"dim"}])",
            u"capability abc dim [null] -"_s);
        row("capability without id", R"(["homey:device:abc","capability",{"value":1}])");
        row("device capability two elements", R"(["homey:device:abc","capability"])");
        row("other device event", R"(["homey:device:abc","update",{}])");
        row("device update", R"(["homey:manager:devices","device.update",{"id":"d","name":"L"}])",
            u"device d"_s);
        row("delete text", R"(["homey:manager:devices","device.delete","abc"])", u"deleted abc"_s);
        row("delete object", R"(["homey:manager:devices","device.delete",{"id":"abc"}])", u"deleted abc"_s);
        row("delete numeric", R"(["homey:manager:devices","device.delete",{"id":1}])");
        row("delete bare", R"(["homey:manager:devices","device.delete"])");
        row("zone", R"(["homey:manager:zones","zone.create",{"id":"z","name":"K"}])", u"zone z"_s);
        row("zone delete", R"(["homey:manager:zones","zone.delete",{"id":"z"}])");
        row("flow", R"(["homey:manager:flow","flow.updated"])", u"flows"_s);
        row("advanced flow", R"(["homey:manager:flow","advancedflow.deleted",{}])", u"flows"_s);
        row("flow folder", R"(["homey:manager:flow","flowfolder.update"])");
        row("notification", R"(["homey:manager:notifications","notification.create",{"id":"n"}])",
            u"notification n"_s);
        row("case matters", R"(["homey:manager:Flow","flow.updated"])");
        row("uri only", R"(["homey:manager:flow"])");
        row("empty", "");
        row("numeric uri", R"([1,"flow.x"])");
        row("two documents", R"(["homey:manager:flow","flow.x"],[1])");
    }
    void events()
    {
        QFETCH(QByteArray, data);
        const std::optional<HomeyEvent> mapped = mapEvent(data);
        QTEST(mapped ? eventText(*mapped) : u"none"_s, "event");
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
