#include "endtoend.h"

#include <QJsonObject>
#include <QRegularExpression>

namespace {

const QString frontDoor = u"8469dcfc-e502-5407-b21f-c2615904a5f8"_s;
const QString garageLamp = u"50c0e1bd-1540-5efd-a679-82b8a8de2fd8"_s;
constexpr int hintBarHeight = 26;

// The bottom strip of a picture of the panel, where the key hints are.
QImage hintBar(const QImage &panel)
{
    return panel.copy(0, panel.height() - hintBarHeight, panel.width(), hintBarHeight);
}

} // namespace

// The palette of the real program, driven with the keyboard through the X server as a person would.
class TstPaletteFlow : public EndToEndCase {
    Q_OBJECT

    // The hub's writes as "<device name> <capability> <value as the body spells it>", sorted.
    QStringList writtenValues() const
    {
        static const QRegularExpression value(u"\"value\":([^,}]*)"_s);
        const QJsonObject devices = m_hub->home().value(u"devices"_s).toObject();
        QStringList lines;
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.method != "PUT")
                continue;
            const QStringList path = request.segments();
            lines << devices.value(path.value(3)).toObject().value(u"name"_s).toString() + u' ' +
                         path.value(5) + u' ' + value.match(QString::fromUtf8(request.body)).captured(1);
        }
        lines.sort();
        return lines;
    }
    static QStringList rows(Copy &copy)
    {
        const QString state = copy.messages().filter(u"snapshot-toestand: "_s).constLast();
        return state.section(u"rijen=["_s, 1).chopped(1).split(u", "_s, Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void typingAnArrowAndReturnRunTheSecondHitAndHide()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        typeText(u"woonkamer"_s);
        typeKeys({u"Down"_s});
        picture(copy, u"results"_s);
        const QStringList titles = rows(copy);
        QVERIFY2(titles.size() >= 2, qPrintable(titles.join(u", "_s)));
        QVERIFY(writes().isEmpty());

        typeKeys({u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        QCOMPARE(writes().size(), 1);
        // The second row's device, switched.
        QString second;
        for (const QJsonValue &device : m_hub->home().value(u"devices"_s).toObject()) {
            if (device.toObject().value(u"name"_s).toString() == titles.at(1))
                second = device.toObject().value(u"id"_s).toString();
        }
        QVERIFY2(!second.isEmpty(), qPrintable(titles.at(1)));
        QVERIFY2(
            writes().first().startsWith(u"PUT /api/manager/devices/device/"_s + second + u"/capability/"_s),
            qPrintable(writes().first()));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).isEmpty(), patience);
    }

    // A step of the dim keys goes out on the lamp's grid; a level typed after a room sets the room's
    // lamps to it, switching the dark one on, as the row's subtitle promises.
    // The panel opens at the size the user gave it last time, over the live home, and its hint bar
    // follows what is typed: Qt's layouts once crashed at that first resize.
    void aPanelRememberedAtAnotherSizeOpensLive()
    {
        settings().setValue(u"panel.frame"_s, u"{{100, 80}, {800, 600}}"_s);
        Copy *opened = openPanel();
        QVERIFY(opened);
        typeText(u"woon"_s);
        QCOMPARE(picture(*opened, u"remembered-size"_s).size(), QSize(800, 600));
        QCOMPARE(opened->process()->state(), QProcess::Running);
    }

    void typedAndSteppedLevelsReachTheHub()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        typeText(u"plafondlamp woonkamer"_s);
        typeKeys({u"ctrl+Right"_s}); // 0.8 + 0.05
        QTRY_COMPARE_WITH_TIMEOUT(writtenValues(), QStringList{u"Plafondlamp woonkamer dim 0.85"_s},
                                  patience);
        m_hub->clearRequests();

        typeKeys({u"Escape"_s});
        typeText(u"woonkamer 30"_s);
        picture(copy, u"room-level"_s);
        QCOMPARE(rows(copy).value(0), u"Woonkamer"_s);
        typeKeys({u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
        const QStringList room{u"Lamp bij de kast dim 0.3"_s, u"Leeslamp dim 0.3"_s, u"Leeslamp onoff true"_s,
                               u"Plafondlamp woonkamer dim 0.3"_s};
        QTRY_COMPARE_WITH_TIMEOUT(writtenValues(), room, patience);
    }

    // The hub refuses the first load: the panel shows the connection problem, and Ctrl+R there tries
    // again, as "Opnieuw proberen" does. A refusal, not a 5xx: that the program tries again by itself.
    void ctrlRTriesAgainOnTheConnectionScreen()
    {
        m_hub->failPath(u"manager/devices/device/"_s, 404);
        Copy &copy = start({}, hubEnvironment());
        const QString failed = u"verbinding: De Homey gaf een fout (404)"_s;
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(failed), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        picture(copy, u"connection-problem"_s);
        m_hub->clearFaults();
        typeKeys({u"ctrl+r"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"menu: opnieuw verbinden (toestand was mislukt: "_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
    }

    // The hub answers the start's key check with an error that waiting does not mend: the
    // connection-problem screen, and nothing tries again by itself. Once the hub answers, Return there
    // tries again, as the screen's main button does; only Return can bring the program live.
    void returnTriesAgainOnTheConnectionScreen()
    {
        m_hub->failPath(u"manager/sessions/session/me"_s, 404);
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"!! Homey-verbinding mislukt: De Homey gaf een fout (404)"_s),
                                 patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        picture(copy, u"connection-problem-check-refused"_s);
        QVERIFY(!copy.logged(u"menu: opnieuw verbinden"_s));
        QVERIFY(!copy.logged(u"opnieuw proberen over"_s));
        m_hub->clearFaults();
        typeKeys({u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"menu: opnieuw verbinden (toestand was "_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        QVERIFY(!copy.logged(u"opnieuw proberen over"_s));
    }

    void ctrlReturnKeepsThePanelOpen()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        typeText(u"garagelamp"_s);
        typeKeys({u"ctrl+Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(
            writes(),
            QStringList{u"PUT /api/manager/devices/device/"_s + garageLamp + u"/capability/onoff"_s},
            patience);
        QTest::qWait(500);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
        QCOMPARE(visibleWindows(copy).size(), 1);
    }

    // Each use ranks a row higher, and the selection goes along with its row: Ctrl+Return twice acts on
    // the same device twice and on no other.
    void ctrlReturnTwiceActsTwiceOnTheSameRow()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        typeText(u"woonkamer 30"_s);
        picture(copy, u"before-use"_s);
        const QStringList before = rows(copy);
        QVERIFY2(before.size() == 4, qPrintable(before.join(u", "_s)));
        // The fourth row: a dark lamp, which the level switches on as it sets it.
        const QString used = before.at(3);
        const auto levels = [&] { return writtenValues().filter(u" dim "_s).size(); };
        typeKeys({u"Down"_s, u"Down"_s, u"Down"_s, u"ctrl+Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(levels(), 1, patience);
        picture(copy, u"after-first-use"_s);
        const QStringList after = rows(copy);
        QVERIFY2(after.indexOf(used) >= 0 && after.indexOf(used) < 3, qPrintable(after.join(u", "_s)));

        typeKeys({u"ctrl+Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(levels(), 2, patience);
        QCOMPARE(writtenValues(),
                 (QStringList{used + u" dim 0.3"_s, used + u" dim 0.3"_s, used + u" onoff true"_s}));
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
    }

    // A room's filter emptied at once, however it is emptied, leaves the selection on the row chosen in
    // it: Ctrl+Return then works that device, not the one in the same place of the whole room.
    void aFilterClearedAtOnceKeepsTheChosenRow_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("clearing");
        QTest::newRow("all selected and deleted") << u"venti"_s << QStringList{u"ctrl+a"_s, u"BackSpace"_s};
        QTest::newRow("one letter deleted") << u"v"_s << QStringList{u"BackSpace"_s};
        QTest::newRow("escape") << u"venti"_s << QStringList{u"Escape"_s};
    }
    void aFilterClearedAtOnceKeepsTheChosenRow()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, clearing);
        Copy &copy = start({u"--room"_s, u"Woonkamer"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        typeText(filter);
        // The rows once the program has read every letter.
        const QString typed = u"snapshot-toestand: query=\""_s + filter + u"\" "_s;
        QTRY_VERIFY_WITH_TIMEOUT(
            (picture(copy, u"room-filtered"_s), copy.messages().filter(u"snapshot-toestand: "_s).constLast())
                .startsWith(typed),
            patience);
        const QStringList filtered = rows(copy);
        const qsizetype at = filtered.indexOf(u"Ventilator"_s);
        QVERIFY2(at >= 0, qPrintable(filtered.join(u", "_s)));
        // Row 0 is the room's own, "Alle lampen"; its devices follow.
        typeKeys(QStringList(at + 1, u"Down"_s) + clearing);
        typeKeys({u"ctrl+Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(writes().size(), 1, patience);
        picture(copy, u"room-cleared"_s);
        QVERIFY2(writtenValues().constFirst().startsWith(u"Ventilator onoff "_s),
                 qPrintable(writtenValues().join(u", "_s)));
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
    }

    void anUnlockTakesTwoPressesWithinFourSeconds()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        typeText(u"voordeur"_s);
        // The lock opens its controls instead of running, and the panel stays for them.
        typeKeys({u"Return"_s});
        const QString asked = u"bevestiging gevraagd: Voordeur locked -> bool(false). Niets verstuurd."_s;
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(asked), 1, patience);
        const QImage armed = picture(copy, u"armed"_s);

        // Too late for the second press: it only asks again.
        QTest::qWait(4500);
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(asked), 2, patience);
        QVERIFY(writes().isEmpty());
        typeKeys({u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(
            writes(),
            QStringList{u"PUT /api/manager/devices/device/"_s + frontDoor + u"/capability/locked"_s},
            patience);
        QVERIFY(!copy.logged(u"panel: verborgen"_s));
        // The armed write's hints ("bevestig", "toch niet") are gone with it.
        QTRY_VERIFY_WITH_TIMEOUT(hintBar(picture(copy, u"unlocked"_s)) != hintBar(armed), patience);
    }

    void eachStateDrawsItsOwnHintsAndCtrlNOpensTheList()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        QList<QImage> bars;
        bars << hintBar(picture(copy, u"overview"_s));
        typeText(u"lamp"_s);
        bars << hintBar(picture(copy, u"results"_s));
        typeKeys({u"Tab"_s});
        bars << hintBar(picture(copy, u"controls"_s));
        // With Caps Lock on: a chord is read the same.
        typeKeys({u"Escape"_s, u"Escape"_s, u"Caps_Lock"_s, u"ctrl+n"_s, u"Caps_Lock"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"meldingen: geopend ("_s), patience);
        bars << hintBar(picture(copy, u"notifications"_s));
        for (qsizetype i = 0; i < bars.size(); ++i) {
            QVERIFY(!bars.at(i).isNull());
            for (qsizetype j = i + 1; j < bars.size(); ++j)
                QVERIFY2(bars.at(i) != bars.at(j), qPrintable(u"states %1 and %2"_s.arg(i).arg(j)));
        }
        // Back the way it came: the list, then the panel.
        typeKeys({u"Escape"_s, u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen (actie uitgevoerd of esc)"_s), patience);
    }
};

QTEST_GUILESS_MAIN(TstPaletteFlow)
#include "tst_paletteflow.moc"
