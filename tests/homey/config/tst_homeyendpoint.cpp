#include "homey/config/homeyendpoint.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;

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
        QTest::newRow("base path, no doubled slash")
            << u"https://h:4859/x/"_s << u"/manager/a"_s << u"https://h:4859/x/api/manager/a"_s;
        QTest::newRow("encoded id stays one segment")
            << u"http://h"_s << u"manager/device/a%2Fb/x"_s << u"http://h/api/manager/device/a%2Fb/x"_s;
    }
    void apiUrls()
    {
        QFETCH(QString, base);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE((HomeyEndpoint{QUrl(base), {}, {}}.api(path).toString(QUrl::FullyEncoded)), expected);
    }

    void socketUrls_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("http") << u"http://10.0.0.5"_s
                              << u"ws://10.0.0.5/socket.io/?EIO=4&transport=websocket"_s;
        QTest::newRow("https with port, path, query, fragment")
            << u"https://h.local:4859/some/path?x=1&EIO=3#frag"_s
            << u"wss://h.local:4859/socket.io/?EIO=4&transport=websocket"_s;
        QTest::newRow("HTTP in capitals")
            << u"HTTP://h"_s << u"ws://h/socket.io/?EIO=4&transport=websocket"_s;
        QTest::newRow("other scheme")
            << u"ftp://user@h:21"_s << u"wss://user@h:21/socket.io/?EIO=4&transport=websocket"_s;
    }
    void socketUrls()
    {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        QCOMPARE((HomeyEndpoint{QUrl(base), {}, {}}.socketURL().toString(QUrl::FullyEncoded)), expected);
    }

    // Whatever is accepted must read back equal from its stored text and from its JSON.
    void baseURLs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("http address") << u"http://10.0.0.5"_s << true;
        QTest::newRow("https, port, path, query") << u"https://h.local:4859/x?a=%2F"_s << true;
        QTest::newRow("capital scheme") << u"HTTP://h"_s << true;
        QTest::newRow("encoded path") << u"http://h/a%2Fb/%7e%20c"_s << true;
        QTest::newRow("fragment") << u"http://192.168.1.5/#a#b"_s << false;
        QTest::newRow("relative with hashes") << u"l/###"_s << false;
        QTest::newRow("no scheme") << u"10.0.0.5"_s << false;
        QTest::newRow("file") << u"file:///tmp/hub"_s << false;
        QTest::newRow("ftp") << u"ftp://h"_s << false;
        QTest::newRow("no host") << u"http:///x"_s << false;
        QTest::newRow("space in host") << u"http://h b/"_s << false;
        QTest::newRow("empty") << QString() << false;
    }
    void baseURLs()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        const std::optional<QUrl> url = HomeyEndpoint::parseBaseURL(text);
        QCOMPARE(url.has_value(), accepted);
        const QJsonObject json{{u"baseURL"_s, text}, {u"homeyID"_s, u"a"_s}};
        QCOMPARE(HomeyEndpoint::fromJson(json).has_value(), accepted);
        if (!url)
            return;
        const QString stored = HomeyEndpoint::baseURLText(*url);
        QCOMPARE(HomeyEndpoint::parseBaseURL(stored), url);
        QCOMPARE(HomeyEndpoint::baseURLText(*HomeyEndpoint::parseBaseURL(stored)), stored);
        const HomeyEndpoint endpoint{*url, u"id1"_s, u"Thuis"_s};
        QCOMPARE(HomeyEndpoint::fromJson(endpoint.toJson()), endpoint);
    }

    void jsonMembers_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("hasName");
        QTest::newRow("null name") << R"({"baseURL":"http://h","homeyID":"a","name":null})"_ba << true
                                   << false;
        QTest::newRow("no name, extra keys")
            << R"({"baseURL":"http://h","homeyID":"a","x":1})"_ba << true << false;
        QTest::newRow("empty name") << R"({"baseURL":"http://h","homeyID":"a","name":""})"_ba << true << true;
        QTest::newRow("no baseURL") << R"({"homeyID":"a"})"_ba << false << false;
        QTest::newRow("no homeyID") << R"({"baseURL":"http://h"})"_ba << false << false;
        QTest::newRow("numeric homeyID") << R"({"baseURL":"http://h","homeyID":5})"_ba << false << false;
        QTest::newRow("numeric name")
            << R"({"baseURL":"http://h","homeyID":"a","name":5})"_ba << false << false;
        QTest::newRow("not an object") << R"(["http://h"])"_ba << false << false;
    }
    void jsonMembers()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(bool, hasName);
        const QJsonDocument document = QJsonDocument::fromJson(json);
        const auto decoded = HomeyEndpoint::fromJson(document.isObject() ? QJsonValue(document.object())
                                                                         : QJsonValue(document.array()));
        QCOMPARE(decoded.has_value(), decodes);
        if (decoded)
            QCOMPARE(decoded->name.has_value(), hasName);
    }
};

QTEST_GUILESS_MAIN(TestHomeyEndpoint)
#include "tst_homeyendpoint.moc"
