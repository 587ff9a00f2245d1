#include "homey/config/homeyendpoint.h"

#include <QJsonDocument>
#include <QTest>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

HomeyEndpoint endpoint(const QString &base)
{
    return HomeyEndpoint{QUrl(base), u"abc"_s, std::nullopt};
}

QJsonValue parse(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class TestHomeyEndpoint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void apiUrls_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << u"http://10.0.0.5"_s << u"manager/devices/device"_s
                               << u"http://10.0.0.5/api/manager/devices/device"_s;
        QTest::newRow("trailing slash kept") << u"http://10.0.0.5"_s << u"manager/zones/zone/"_s
                                             << u"http://10.0.0.5/api/manager/zones/zone/"_s;
        QTest::newRow("base path kept") << u"http://h/x"_s << u"manager/a"_s << u"http://h/x/api/manager/a"_s;
        QTest::newRow("base with slash")
            << u"https://h:4859/x/"_s << u"/manager/a"_s << u"https://h:4859/x/api/manager/a"_s;
        QTest::newRow("encoded id stays one segment")
            << u"http://h"_s << u"manager/devices/device/a%2Fb/capability/onoff"_s
            << u"http://h/api/manager/devices/device/a%2Fb/capability/onoff"_s;
    }

    void apiUrls()
    {
        QFETCH(QString, base);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(endpoint(base).api(path).toString(QUrl::FullyEncoded), expected);
    }

    void socketUrls_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("http") << u"http://10.0.0.5"_s
                              << u"ws://10.0.0.5/socket.io/?EIO=4&transport=websocket"_s;
        QTest::newRow("https with port, path, query")
            << u"https://192-168-1-20.local:4859/some/path?x=1&EIO=3#frag"_s
            << u"wss://192-168-1-20.local:4859/socket.io/?EIO=4&transport=websocket"_s;
        // QUrl keeps schemes in lower case, so a capitalised http base is still plain http.
        QTest::newRow("HTTP in capitals")
            << u"HTTP://h"_s << u"ws://h/socket.io/?EIO=4&transport=websocket"_s;
        QTest::newRow("other scheme")
            << u"ftp://user@h:21"_s << u"wss://user@h:21/socket.io/?EIO=4&transport=websocket"_s;
    }

    void socketUrls()
    {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        const QUrl url = endpoint(base).socketURL();
        QCOMPARE(url.toString(QUrl::FullyEncoded), expected);
        const auto items = QUrlQuery(url).queryItems();
        QCOMPARE(items.size(), 2);
    }

    void jsonRoundTrip()
    {
        const HomeyEndpoint named{QUrl(u"https://h:4859/x"_s), u"id1"_s, u"Thuis"_s};
        QCOMPARE(HomeyEndpoint::fromJson(named.toJson()), named);
        const HomeyEndpoint unnamed{QUrl(u"http://10.0.0.5"_s), u"id1"_s, std::nullopt};
        QVERIFY(!unnamed.toJson().contains(u"name"_s));
        QCOMPARE(HomeyEndpoint::fromJson(unnamed.toJson()), unnamed);
        QCOMPARE(named.toJson().value(u"baseURL"_s).toString(), u"https://h:4859/x"_s);
        QVERIFY(named != unnamed);
        QVERIFY(qHash(named) != qHash(unnamed) || named == unnamed);
    }

    void jsonDecoding_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("hasName");
        QTest::newRow("null name") << R"({"baseURL":"http://h","homeyID":"a","name":null})"_ba << true
                                   << false;
        QTest::newRow("extra keys") << R"({"baseURL":"http://h","homeyID":"a","x":1})"_ba << true << false;
        QTest::newRow("empty name") << R"({"baseURL":"http://h","homeyID":"a","name":""})"_ba << true << true;
        QTest::newRow("no baseURL") << R"({"homeyID":"a"})"_ba << false << false;
        QTest::newRow("no homeyID") << R"({"baseURL":"http://h"})"_ba << false << false;
        QTest::newRow("numeric homeyID") << R"({"baseURL":"http://h","homeyID":5})"_ba << false << false;
        QTest::newRow("numeric name")
            << R"({"baseURL":"http://h","homeyID":"a","name":5})"_ba << false << false;
        QTest::newRow("bad url") << R"({"baseURL":"http://h b/","homeyID":"a"})"_ba << false << false;
        QTest::newRow("empty url") << R"({"baseURL":"","homeyID":"a"})"_ba << false << false;
    }

    void jsonDecoding()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(bool, hasName);
        const auto decoded = HomeyEndpoint::fromJson(parse(json));
        QCOMPARE(decoded.has_value(), decodes);
        if (decoded)
            QCOMPARE(decoded->name.has_value(), hasName);
    }

    void notAnObject()
    {
        QVERIFY(!HomeyEndpoint::fromJson(QJsonValue(u"http://h"_s)));
        QVERIFY(!HomeyEndpoint::fromJson(QJsonValue()));
    }
};

QTEST_GUILESS_MAIN(TestHomeyEndpoint)
#include "tst_homeyendpoint.moc"
