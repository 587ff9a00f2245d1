#include "app/connectiontext.h"
#include "app/onboarding.h"
#include "app/startproblem.h"
#include "app/statusitemlook.h"
#include "homey/model/homeyerror.h"
#include "ports/keychainerror.h"

#include <QTest>

using namespace Qt::StringLiterals;

// What the tray's tooltip and the settings window's foot say of a start that did not get through: what
// the problem screen says, in brief, until a store gets through.
class TstStartProblem : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theTrayAndTheFootSayWhatTheScreenSays_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<ConnectionState>("store");
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QString>("foot");
        const QString retrying = u"Geen verbinding met je Homey.\nQuorvane blijft het proberen."_s;
        const QString retryingFoot = u"Geen verbinding met je Homey. Quorvane blijft het proberen."_s;
        QTest::newRow("nothing failed")
            << QString() << ConnectionState::idle()
            << u"Quorvane. Nog niet verbonden.\nCtrl+Alt+Space opent het paneel."_s
            << u"Nog niet verbonden."_s;
        QTest::newRow("tried again") << u"retrying"_s << ConnectionState::idle() << retrying << retryingFoot;
        QTest::newRow("tried again, the first load failed")
            << u"retrying"_s << ConnectionState::failed(u"De Homey gaf een fout (503)."_s, u"Later."_s)
            << retrying << retryingFoot;
        QTest::newRow("an attempt under way")
            << u"retrying"_s << ConnectionState::loading(u"Apparaten ophalen..."_s) << retrying
            << retryingFoot;
        QTest::newRow("an attempt got through")
            << u"retrying"_s << ConnectionState::live()
            << u"Quorvane is live.\nCtrl+Alt+Space opent het paneel."_s << u"Live verbonden."_s;
        QTest::newRow("through, without the live link")
            << u"retrying"_s << ConnectionState::degraded(u"Geen live-verbinding."_s)
            << u"Quorvane toont gegevens, maar niet live.\nGeen live-verbinding."_s
            << u"Niet live: Geen live-verbinding."_s;
        QTest::newRow("key refused")
            << u"refused"_s << ConnectionState::idle()
            << u"De Homey accepteert dit token niet meer.\nMaak een nieuwe API-sleutel aan en plak hem opnieuw."_s
            << u"De Homey accepteert dit token niet meer. Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
        // The pairing screen is up for it too: the keyring's own words, not a connection.
        QTest::newRow("keyring failed") << u"keyring"_s << ConnectionState::idle()
                                        << u"De computer gaf geen toegang tot de sleutelbos.\nOntgrendel de "
                                           u"sleutelbos als daarom gevraagd "
                                           u"wordt. Blijft het misgaan, koppel je Homey dan opnieuw."_s
                                        << Onboarding::explain(KeychainError::denied());
        const QString noHub = Onboarding::explain(HomeyError::notConfigured());
        QTest::newRow("not tried again")
            << u"no hub"_s << ConnectionState::idle() << u"Geen verbinding met je Homey.\n"_s + noHub
            << u"Geen verbinding met je Homey. "_s + noHub;
    }
    void theTrayAndTheFootSayWhatTheScreenSays()
    {
        QFETCH(QString, start);
        QFETCH(ConnectionState, store);
        QFETCH(QString, tooltip);
        QFETCH(QString, foot);
        std::optional<StartProblem> problem;
        if (start == u"retrying")
            problem = StartProblem::of(std::make_exception_ptr(HomeyError::unreachable(u"10.0.0.2"_s)), true);
        else if (start == u"refused")
            problem = StartProblem::of(std::make_exception_ptr(HomeyError::unauthorized()), false);
        else if (start == u"keyring")
            problem = StartProblem::of(std::make_exception_ptr(KeychainError::denied()), false);
        else if (start == u"no hub")
            problem = StartProblem::of(std::make_exception_ptr(HomeyError::notConfigured()), false);
        const ConnectionState shown = StartProblem::shown(store, problem);
        QCOMPARE(StatusItemLook::of(shown, 0, HotKeyCombo::standard()).tooltip, tooltip);
        QCOMPARE(ConnectionText::summary(shown, true), foot);
    }
};

QTEST_APPLESS_MAIN(TstStartProblem)
#include "tst_startproblem.moc"
