#include "endtoend.h"

// A first pairing with the real program, on a keyring of its own: what it saves there would reach the
// next test's copy otherwise.
class TstPairingFlow : public EndToEndCase {
    Q_OBJECT

    // The keys the program asked the hub about, in order.
    QStringList keysTried() const
    {
        QStringList keys;
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.route() == "manager/sessions/session/me")
                keys << QString::fromUtf8(request.header("Authorization").mid(7));
        }
        return keys;
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // A wrong key, then the right one over it, live, then the settings. Each save of the key once dropped
    // a reference of the typed text, and the program aborted in the QML engine a little later (run-e2e.sh
    // turns on the heap checks that make it abort there and then).
    void aWrongKeyThenTheRightOneGoesLiveAndKeepsRunning()
    {
        QMap<QString, QString> hub = hubEnvironment();
        hub.remove(u"HOMEY_TOKEN"_s);
        Copy &copy = start({}, hub);
        const auto running = [&] { return copy.process()->state() != QProcess::NotRunning; };
        // "panel: key=true", or "panel: na herkansing key=true" when the first activation did not take.
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"key=true"_s) || !running(), patience);
        QVERIFY(running());
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(copy).isEmpty(), patience);
        typeText(u"niet-de-goede"_s);
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(keysTried(), QStringList{u"niet-de-goede"_s}, patience);

        // The field takes keys again once the hub's refusal is in; keys typed before that are lost, and a
        // person types the key once more.
        for (int attempt = 0; attempt < 5 && running() && !keysTried().contains(m_hub->token()); ++attempt) {
            const qsizetype tried = keysTried().size();
            typeKeys({u"ctrl+a"_s});
            typeText(m_hub->token());
            typeKeys({u"Return"_s});
            (void)QTest::qWaitFor([&] { return keysTried().size() > tried; }, patience / 10);
        }
        QCOMPARE(keysTried().constLast(), m_hub->token());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s) || !running(), patience);
        QVERIFY(running());
        // The program writes its settings on a worker thread: the file may follow the log line.
        QTRY_VERIFY_WITH_TIMEOUT(settings().contains(u"ai.velkor.quorvane.baseURL"_s), patience);

        press({u"ctrl+comma"_s});
        QTRY_VERIFY_WITH_TIMEOUT(showsWindow(copy, u"^Quorvane, instellingen$"_s) || !running(), patience);
        // Long enough for the engine to collect what the pairing screen left behind.
        QTest::qWait(2000);
        QVERIFY(running());
    }
};

QTEST_GUILESS_MAIN(TstPairingFlow)
#include "tst_pairingflow.moc"
