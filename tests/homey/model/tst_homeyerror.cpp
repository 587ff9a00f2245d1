#include "homey/model/homeyerror.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(HomeyError)

class TestHomeyError : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textsPerCase_data()
    {
        QTest::addColumn<HomeyError>("error");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("hint");
        const QString unreachableHint =
            u"Controleer of je computer op hetzelfde lokale netwerk zit als je Homey en of geen firewall de "
            u"verbinding blokkeert. Zonder die verbinding kan Quorvane je Homey niet zien, ook al ben je "
            u"thuis. "
            u"Klopt dat allemaal? Controleer dan of je Homey aanstaat."_s;
        QTest::newRow("unreachable host") << HomeyError::unreachable(u"10.0.0.5"_s)
                                          << u"Geen contact met je Homey op 10.0.0.5."_s << unreachableHint;
        QTest::newRow("unreachable je Homey")
            << HomeyError::unreachable(u"je Homey"_s) << u"Geen contact met je Homey op je Homey."_s
            << unreachableHint;
        QTest::newRow("http") << HomeyError::http(503, u"/api/manager/devices/device/"_s)
                              << u"De Homey gaf een fout (503) op /api/manager/devices/device/."_s
                              << u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s;
        QTest::newRow("http negative")
            << HomeyError::http(-1, u"/api/x"_s) << u"De Homey gaf een fout (-1) op /api/x."_s
            << u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s;
        QTest::newRow("decoding") << HomeyError::decoding(u"/api/x: geen JSON"_s)
                                  << u"Onverwacht antwoord van de Homey: /api/x: geen JSON"_s
                                  << u"Dit is waarschijnlijk een nieuwe Homey-firmware. Meld het even."_s;
        QTest::newRow("socket empty") << HomeyError::socket(QString()) << u"De live-verbinding viel weg: "_s
                                      << u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s;
        QTest::newRow("notConfigured")
            << HomeyError::notConfigured() << u"Nog geen Homey gekoppeld."_s
            << u"Maak een API-sleutel aan in de Homey-webapp onder Instellingen, API-sleutels."_s;
        QTest::newRow("offline")
            << HomeyError::offline() << u"Je computer heeft geen netwerkverbinding."_s
            << u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s;
        QTest::newRow("unauthorized")
            << HomeyError::unauthorized() << u"De Homey accepteert dit token niet meer."_s
            << u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
    }

    void textsPerCase()
    {
        QFETCH(HomeyError, error);
        QFETCH(QString, message);
        QFETCH(QString, hint);
        QCOMPARE(error.errorDescription(), message);
        QCOMPARE(error.recovery(), hint);
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }

    void payloadsBelongToTheirCase()
    {
        const auto http = HomeyError::http(404, u"/api/a"_s);
        QCOMPARE(http.kind(), HomeyError::Kind::http);
        QCOMPARE(http.status(), 404);
        QCOMPARE(http.path(), u"/api/a"_s);
        QVERIFY(http.host().isEmpty());
        QVERIFY(http.text().isEmpty());
        QCOMPARE(HomeyError::unreachable(u"h"_s).host(), u"h"_s);
        QCOMPARE(HomeyError::socket(u"weg"_s).text(), u"weg"_s);
        QVERIFY(HomeyError::socket(u"x"_s) != HomeyError::decoding(u"x"_s));
        QVERIFY(HomeyError::http(500, u"/api/a"_s) != http);
        QCOMPARE(HomeyError::offline(), HomeyError::offline());
    }

    void thrownAsStandardException()
    {
        try {
            throw HomeyError::unreachable(u"Zolder-Homey ü"_s);
        } catch (const std::exception &e) {
            QCOMPARE(QString::fromUtf8(e.what()), u"Geen contact met je Homey op Zolder-Homey ü."_s);
            return;
        }
        QFAIL("not caught");
    }

    void copiesKeepTheirOwnMessage()
    {
        HomeyError error = HomeyError::offline();
        {
            const HomeyError other = HomeyError::decoding(u"kapot"_s);
            error = other;
        }
        QCOMPARE(QString::fromUtf8(error.what()), u"Onverwacht antwoord van de Homey: kapot"_s);
    }
};

QTEST_GUILESS_MAIN(TestHomeyError)
#include "tst_homeyerror.moc"
