#include "awaittask.h"
#include "base/appconfiguration.h"
#include "endtoend.h"
#include "fakefilemanager.h"
#include "platform/secretservicetokenstore.h"

#include <QDBusConnection>
#include <QSize>
#include <QUrl>

namespace {

const QString sessionRoute = u"manager/sessions/session/me"_s;
const QString settingsTitle = u"^Quorvane, instellingen$"_s;

} // namespace

// What the panel's buttons and chords ask of the program around it (the settings window, a new boot,
// the pairing screen, forgetting the key), each pressed in the real program as a person would and seen
// where it lands: on the display, at the hub, in the keyring.
class TstPanelActions : public EndToEndCase {
    Q_OBJECT

    FakeFileManager m_files;

    // The hub's checks of a key, all or only those of this key.
    int keyChecks(const QString &key = {}) const
    {
        int count = 0;
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.route() == sessionRoute.toUtf8() &&
                (key.isEmpty() || request.header("Authorization") == "Bearer " + key.toUtf8()))
                ++count;
        }
        return count;
    }
    static QSize size(const QString &window)
    {
        const QString shell = EndToEnd::run(u"xdotool"_s, {u"getwindowgeometry"_s, u"--shell"_s, window});
        const auto value = [&](const QString &name) {
            return shell.section(name + u'=', 1).section(u'\n', 0, 0).toInt();
        };
        return {value(u"WIDTH"_s), value(u"HEIGHT"_s)};
    }
    // The top of a picture of the panel: the title and the steps of the pairing screen.
    static QImage heading(const QImage &panel) { return panel.copy(0, 0, panel.width(), 200); }
    // A copy whose boot found the hub but had its key check fail, with the panel up on the
    // connection-problem screen and holding the keyboard. The failure is one that waiting does not mend,
    // so only the person tries again.
    Copy *failedBoot(const QMap<QString, QString> &extra)
    {
        m_hub->failPath(sessionRoute, 404);
        Copy &copy = start({}, extra);
        if (!QTest::qWaitFor([&] { return keyChecks() == 1; }, patience))
            return nullptr;
        copy.signal(SIGUSR1);
        if (!QTest::qWaitFor([&] { return copy.logged(u"panel: key=true"_s); }, patience))
            return nullptr;
        return &copy;
    }

private Q_SLOTS:
    // The desktop's file manager, for every copy of every test.
    void initTestCase() { QVERIFY(m_files.serve(QDBusConnection::sessionBus())); }
    void init()
    {
        QVERIFY(setUpStage());
        m_files.shown.clear();
    }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void ctrlCommaOpensTheSettingsWhoseButtonShowsTheLog()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        QVERIFY(window(copy, settingsTitle).isEmpty());
        typeKeys({u"ctrl+comma"_s});
        QString settingsWindow;
        QTRY_VERIFY_WITH_TIMEOUT(!(settingsWindow = window(copy, settingsTitle)).isEmpty(), patience);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"instellingen geopend"_s), patience);

        // "Toon logboek", in the window's bottom right corner.
        const QSize frame = size(settingsWindow);
        click(settingsWindow, {frame.width() - 40, frame.height() - 30});
        const QString log =
            QUrl::fromLocalFile(home() + u"/state/Quorvane/quorvane.log"_s).toString(QUrl::FullyEncoded);
        QTRY_COMPARE_WITH_TIMEOUT(m_files.shown, (QList<QStringList>{{log, QString()}}), patience);
    }

    void theProblemBannersRetryBootsAgain()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        QCOMPARE(keyChecks(), 1);
        m_realtime->setAcceptingLinks(false);
        m_realtime->closeLinks();
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Niet live: "_s), patience);
        picture(copy, u"degraded"_s);

        // The banner's retry button sits at its top right, left of its close button.
        click(visibleWindows(copy).constFirst(), {650, 106});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"menu: opnieuw verbinden (toestand was niet live: "_s),
                                 patience);
        QTRY_COMPARE_WITH_TIMEOUT(keyChecks(), 2, patience);
    }

    void aFailedBootOffersRetryAndAnotherKey()
    {
        Copy *opened = failedBoot(hubEnvironment());
        QVERIFY(opened);
        Copy &copy = *opened;
        picture(copy, u"problem"_s);
        const QString kept = m_hub->token();

        // "Opnieuw proberen", which has the keyboard, checks the key again.
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(keyChecks(kept), 2, patience);
        // Failed again: the screen is back, with the keyboard on its main button.
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"!! Homey-verbinding mislukt: "_s), 2, patience);

        // "API-sleutel wijzigen", a Tab away, brings the pairing screen, which takes another key.
        typeKeys({u"Tab"_s, u"Return"_s});
        typeText(u"andere-sleutel"_s);
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(keyChecks(u"andere-sleutel"_s), 1, patience);
        picture(copy, u"pairing"_s);

        // "Annuleren" (after the save button, which a key in the field enables) goes back to the
        // connection-problem screen without asking the hub anything, and its retry is there again.
        typeKeys({u"Tab"_s, u"Tab"_s, u"Return"_s});
        QTest::qWait(500);
        QCOMPARE(keyChecks(), 3);
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(keyChecks(kept), 3, patience);
    }

    void forgettingEmptiesTheKeyringAndAsksForANewKey()
    {
        const QString service = AppConfiguration::standardService;
        SecretServiceTokenStore tokens;
        awaitTask(tokens.save(u"e2e-sleutel"_s, service));
        QMap<QString, QString> environment = hubEnvironment();
        environment.remove(u"HOMEY_TOKEN"_s);
        Copy *opened = failedBoot(environment);
        QVERIFY(opened);
        Copy &copy = *opened;
        QCOMPARE(keyChecks(u"e2e-sleutel"_s), 1);

        // "API-sleutel wijzigen", then "Sleutel wissen" and its confirmation "Wis de sleutel".
        typeKeys({u"Tab"_s, u"Return"_s});
        const QImage asked = picture(copy, u"pairingwithkey"_s);
        typeKeys({u"Tab"_s, u"Tab"_s, u"Return"_s, u"Tab"_s, u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(settings().boolReading(u"quorvane.explicitCredentials"_s), patience);
        QCOMPARE(awaitTask(tokens.load(service)), std::nullopt);
        QCOMPARE(keyChecks(), 1);

        // Still the pairing screen, now without a key to cancel back to or to forget.
        const QImage forgotten = picture(copy, u"forgotten"_s);
        QVERIFY(forgotten != asked);
        QCOMPARE(heading(forgotten), heading(asked));
    }
};

QTEST_GUILESS_MAIN(TstPanelActions)
#include "tst_panelactions.moc"
