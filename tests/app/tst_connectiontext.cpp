#include "app/connectiontext.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstConnectionText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void plainAndSummary_data()
    {
        QTest::addColumn<ConnectionState>("state");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("summary");
        QTest::newRow("loading") << ConnectionState::loading(u"Apparaten ophalen..."_s)
                                 << u"bezig met laden: \"Apparaten ophalen...\""_s
                                 << u"Apparaten ophalen..."_s;
        // A hub's text can hold anything: the log line stays one line and its quotes stay readable.
        QTest::newRow("degraded, odd text")
            << ConnectionState::degraded(u"weg \"nu\"\n\\"_s) << u"niet live: \"weg \\\"nu\\\"\\n\\\\\""_s
            << u"Niet live: weg \"nu\"\n\\"_s;
        QTest::newRow("failed") << ConnectionState::failed(u"Homey onbereikbaar."_s, u"Probeer opnieuw."_s)
                                << u"mislukt: \"Homey onbereikbaar.\", \"Probeer opnieuw.\""_s
                                << u"Homey onbereikbaar. Probeer opnieuw."_s;
        QTest::newRow("idle") << ConnectionState::idle() << u"niet verbonden"_s << u"Nog niet verbonden."_s;
        QTest::newRow("connecting") << ConnectionState::connecting() << u"bezig met verbinden"_s
                                    << u"Verbinden…"_s;
        QTest::newRow("live") << ConnectionState::live() << u"live"_s << u"Live verbonden."_s;
    }
    void plainAndSummary()
    {
        QFETCH(ConnectionState, state);
        QFETCH(QString, plain);
        QFETCH(QString, summary);
        QCOMPARE(ConnectionText::plain(state), plain);
        QCOMPARE(ConnectionText::summary(state, true), summary);
        QCOMPARE(ConnectionText::summary(state, false), u"Gestart met --no-homey, geen verbinding."_s);
    }
};

QTEST_APPLESS_MAIN(TstConnectionText)
#include "tst_connectiontext.moc"
