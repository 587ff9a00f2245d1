#include "endtoend.h"

#include <QFileInfo>
#include <QJsonObject>

namespace {

// The lines of a report that list a hit: "   1. Title ...".
QStringList numbered(const QStringList &lines)
{
    static const QRegularExpression hit(u"^  [ \\d]\\d\\. "_s);
    QStringList found;
    for (const QString &line : lines) {
        if (hit.match(line).hasMatch())
            found << line;
    }
    return found;
}

} // namespace

// The probes of the diagnostic switches in the real program against the fake hub: what they print and log,
// and how they end the run.
class TstProbes : public EndToEndCase {
    Q_OBJECT

    struct Ended {
        int status = -1;
        QStringList printed;
        QStringList logged;
    };

    QString logFolder() const { return home() + u"/state/Quorvane/"_s; }

    // A copy whose probes end it, waited for: what it printed and logged, and how it ended.
    Ended finish(const QStringList &arguments)
    {
        QProcess *process = launch(QStringLiteral(QUORVANE_BINARY), arguments, hubEnvironment());
        Copy copy(process);
        // Reading as it goes, so a full pipe never holds the copy up.
        const bool ended = QTest::qWaitFor(
            [&] {
                copy.messages();
                return process->state() == QProcess::NotRunning;
            },
            patience);
        Ended result;
        result.logged = copy.messages();
        result.printed = QString::fromUtf8(process->readAllStandardOutput()).split(u'\n');
        const QString rest = copy.rest();
        if (ended && process->exitStatus() == QProcess::NormalExit && !rest.contains(u"runtime error:"_s) &&
            !rest.contains(u"AddressSanitizer"_s))
            result.status = process->exitCode();
        else
            qWarning().noquote() << "the copy did not end by itself:" << rest;
        return result;
    }

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void searchPrintsTheStoreAndTheHits_data()
    {
        QTest::addColumn<QString>("query");
        QTest::newRow("a room's name") << u"woon"_s;
        QTest::newRow("more hits than are shown") << u"lamp"_s;
        QTest::newRow("nothing") << u"qqzx"_s;
    }
    void searchPrintsTheStoreAndTheHits()
    {
        QFETCH(QString, query);
        const Ended run = finish({u"--search"_s, query});
        QCOMPARE(run.status, 0);
        const QStringList &lines = run.printed;
        const qsizetype store =
            lines.indexOf(QRegularExpression(u"^STORE: 66 apparaten, 18 zones, \\d+ flows, "
                                             u"verbinding=(live|bezig met verbinden)$"_s));
        QVERIFY2(store > 0 && lines.at(store - 1).isEmpty(), qPrintable(lines.join(u'\n')));
        QCOMPARE(lines.at(store + 1), u"QUERY: \""_s + query + u"\""_s);
        const QRegularExpressionMatch hits =
            QRegularExpression(u"^TREFFERS: (\\d+)$"_s).match(lines.at(store + 2));
        QVERIFY(hits.hasMatch());
        QCOMPARE(numbered(lines).size(), std::min(12, hits.captured(1).toInt()));
        if (query == u"lamp"_s)
            QVERIFY(hits.captured(1).toInt() > 12);

        QStringList named;
        for (const QJsonValue &device : m_hub->home().value(u"devices"_s).toObject()) {
            const QString name = device.toObject().value(u"name"_s).toString();
            if (name.toLower().contains(query))
                named << u"  \""_s + name + u"\" in "_s;
        }
        QVERIFY(lines.contains(u"APPARATEN IN DE STORE met deze naam: "_s + QString::number(named.size())));
        const QStringList devices = lines.filter(u" => STAAT IN DE TREFFERS: "_s);
        QCOMPARE(devices.size(), named.size());
        for (const QString &start : named)
            QCOMPARE(devices.filter(start).size(), 1);
        if (hits.captured(1) == u"0"_s)
            QCOMPARE(devices.filter(u"TREFFERS: NEE"_s).size(), devices.size());
        QVERIFY(run.logged.filter(u"panel: getoond"_s).isEmpty());
    }

    // What the program cannot follow is named, on standard error and in the log, with what is done
    // instead; a self-test that cannot run says so and ends the run, instead of running on as a start
    // that does nothing.
    void switchesThatCannotBeFollowedAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        const QString said = u"!! opdrachtregel: "_s;
        QTest::newRow("unknown switch")
            << QStringList{u"--frobnicate"_s, u"--search"_s, u"qqzx"_s}
            << QStringList{said + u"onbekende schakelaar --frobnicate; genegeerd"_s} << 0;
        const QString noSearch =
            said + u"--search zonder zoekopdracht; de zoekproef kan niet lopen, Quorvane stopt"_s;
        QTest::newRow("a bare search") << QStringList{u"--search"_s} << QStringList{noSearch} << 2;
        QTest::newRow("an empty search")
            << QStringList{u"--search"_s, QString()} << QStringList{noSearch} << 2;
        QTest::newRow("no keys") << QStringList{u"--keys"_s, u",,,"_s}
                                 << QStringList{said +
                                                u"--keys \",,,\" noemt geen toets; de toetsproef kan niet "
                                                u"lopen, Quorvane stopt"_s}
                                 << 2;
        QTest::newRow("numbers")
            << QStringList{u"--type"_s, u"woon"_s, u"--runs"_s, u"-3"_s, u"--tempo"_s, u"x"_s}
            << QStringList{said + u"--runs \"-3\" is geen geheel getal boven 0; 1 gebruikt"_s,
                           said + u"--tempo \"x\" is geen geheel getal boven 0; 75 ms gebruikt"_s}
            << 0;
        QTest::newRow("a level") << QStringList{u"--room"_s, u"keuken"_s,   u"--dim"_s,
                                                u"abc"_s,    u"--search"_s, u"qqzx"_s}
                                 << QStringList{said +
                                                u"--dim \"abc\" is geen getal van 0 tot 100; er wordt niet "
                                                u"gedimd"_s}
                                 << 0;
    }
    void switchesThatCannotBeFollowedAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        const Ended run = finish(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.logged.filter(u"!! opdrachtregel: "_s), lines);
        QFile log(logFolder() + u"quorvane.log"_s);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(log.readAll());
        for (const QString &line : lines)
            QVERIFY2(written.contains(line), qPrintable(line));
        if (status != 0) {
            // Ended before anything began: no start, not a byte to the hub.
            QVERIFY(run.logged.filter(u" start op. pid "_s).isEmpty());
            QVERIFY(m_hub->requests().isEmpty());
        } else if (arguments.contains(u"--type"_s)) {
            // The values used instead: one run.
            QCOMPARE(run.printed.filter(QRegularExpression(u"^=== 1 run, "_s)).size(), 1);
        }
    }

    void keptOpenTheSearchShowsThePanel()
    {
        Copy &copy = start({u"--search"_s, u"woon"_s, u"--keep-open"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond"_s), patience);
        QVERIFY(QString::fromUtf8(copy.process()->readAllStandardOutput()).contains(u"\nTREFFERS: "_s));
        QCOMPARE(copy.process()->state(), QProcess::Running);
    }

    void keyScriptLogsEachKeyAndItsPicture_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<int>("status");
        QTest::newRow("arrows and return")
            << QStringList{u"--keys"_s, u"down,down,enter"_s, u"--shot"_s}
            << QStringList{u"down verstuurd"_s, u"down verstuurd"_s, u"enter verstuurd"_s} << u"panel.png"_s
            << 0;
        QTest::newRow("named picture")
            << QStringList{u"--keys"_s, u" Up ,,LEFT"_s, u"--shot"_s, u"na"_s}
            << QStringList{u"up verstuurd"_s, u"left verstuurd"_s} << u"na.png"_s << 0;
        QTest::newRow("a picture alone")
            << QStringList{u"--shot"_s, u"alleen"_s} << QStringList() << u"alleen.png"_s << 0;
        QTest::newRow("unknown key") << QStringList{u"--keys"_s, u"foo,down"_s}
                                     << QStringList{u"foo MISLUKT"_s, u"down verstuurd"_s} << QString() << 1;
    }
    void keyScriptLogsEachKeyAndItsPicture()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, keys);
        QFETCH(QString, picture);
        QFETCH(int, status);
        const Ended run = finish(arguments);
        QCOMPARE(run.status, status);
        QStringList lines = run.logged.filter(QRegularExpression(u"^--keys: "_s));
        for (QString &line : lines)
            line = line.mid(8).section(u" | regel open="_s, 0, 0);
        QCOMPARE(lines, keys);
        QCOMPARE(run.logged.filter(u"!! --keys: onbekende toets \"foo\""_s).size(), status);
        const QStringList shots = run.logged.filter(u"--shot: foto geschreven naar "_s);
        QCOMPARE(shots, picture.isEmpty()
                            ? QStringList()
                            : QStringList{u"--shot: foto geschreven naar "_s + logFolder() + picture});
        if (!picture.isEmpty())
            QCOMPARE(QImage(logFolder() + picture).size(), QSize(760, 540));
    }

    void keyScriptOpensAControlStripAndConfirmsAnUnlock()
    {
        const Ended run = finish({u"--query"_s, u"voordeur"_s, u"--keys"_s, u"enter,enter,enter"_s});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.logged.filter(u"--keys: enter verstuurd | regel open=Voordeur"_s).size(), 3);
        // Each key a press of its own: the third confirms what the second asked.
        QStringList writes;
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.method == "PUT")
                writes << QString::fromUtf8(request.route());
        }
        QCOMPARE(writes.filter(u"/capability/locked"_s).size(), 1);
    }

    // "--dry-run": the same unlock is logged with its body and never reaches the hub; reads still do.
    void aDryRunLogsWritesAndSendsNone()
    {
        const Ended run =
            finish({u"--dry-run"_s, u"--query"_s, u"voordeur"_s, u"--keys"_s, u"enter,enter,enter"_s});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.logged.filter(u"--keys: enter verstuurd | regel open=Voordeur"_s).size(), 3);
        const QStringList dry = run.logged.filter(u"DRY-RUN: "_s);
        QCOMPARE(dry.size(), 1);
        static const QRegularExpression line(
            u"^DRY-RUN: PUT "
            u"/api/manager/devices/device/8469dcfc-e502-5407-b21f-c2615904a5f8/capability/locked "
            u"\\{\"value\":false,\"transactionId\":\"quorvane-[-0-9A-F]+\"\\}  -> NIET verstuurd$"_s);
        QVERIFY2(line.match(dry.first()).hasMatch(), qPrintable(dry.first()));
        QStringList methods;
        for (const FakeRequest &request : m_hub->requests())
            methods << QString::fromUtf8(request.method);
        QVERIFY(methods.contains(u"GET"_s));
        QCOMPARE(methods.filter(QRegularExpression(u"^(?!GET$)"_s)), QStringList());
    }

    void typeProbeChecksEveryKeyStroke_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("runs");
        QTest::newRow("two runs") << QStringList{u"--type"_s, u"woonkamer"_s, u"--runs"_s, u"2"_s} << 2;
        QTest::newRow("unreadable numbers") << QStringList{u"--type"_s,  u"woon"_s, u"--runs"_s,  u"twee"_s,
                                                           u"--tempo"_s, u"-5"_s,   u"--delay"_s, u"1e3"_s}
                                            << 1;
        QTest::newRow("out of range") << QStringList{u"--type"_s,  u"woon"_s, u"--runs"_s,   u"99999999999"_s,
                                                     u"--tempo"_s, u"0"_s,    u"--freeze"_s, u"-1"_s}
                                      << 1;
        QTest::newRow("off screen") << QStringList{u"--type"_s, u"lamp 2"_s, u"--offscreen"_s, u"--hover"_s}
                                    << 1;
        QTest::newRow("pointer") << QStringList{u"--type"_s, u"lamp"_s, u"--hover"_s} << 1;
    }
    void typeProbeChecksEveryKeyStroke()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, runs);
        const Ended run = finish(arguments);
        QCOMPARE(run.status, 0);
        const QStringList &lines = run.printed;
        const bool offscreen = arguments.contains(u"--offscreen"_s);
        QCOMPARE(lines.filter(QRegularExpression(u"^paneel: "_s)),
                 QStringList{offscreen
                                 ? u"paneel: buiten beeld | toetsenbord van de gebruiker: met rust gelaten"_s
                                 : u"paneel: OP HET SCHERM | toetsenbord van de gebruiker: INGEPIKT "
                                   u"(paneel is key)"_s});
        const QString typed = arguments.at(1);
        const QStringList checks = lines.filter(QRegularExpression(u"^  run  \\d  getikt="_s));
        QCOMPARE(checks.size(), runs * typed.size());
        QCOMPARE(checks.filter(u"  ok  "_s).size(), checks.size());
        const QString padded = typed.leftJustified(14);
        QVERIFY2(checks.last().startsWith(
                     u"  run  %1  getikt=%2 veld=%2 store=%2 treffers="_s.arg(runs).arg(padded)),
                 qPrintable(checks.last()));
        QCOMPARE(lines.filter(QRegularExpression(u"^run \\d: goed \\| veld="_s + typed + u" \\| treffers="_s))
                     .size(),
                 runs);
        const qsizetype end = lines.indexOf(
            QRegularExpression(u"^=== %1 %2, 0 gefaald, socket-events tot nu toe: \\d+ ===$"_s.arg(runs).arg(
                runs == 1 ? u"run"_s : u"runs"_s)));
        QVERIFY2(end > 0 && lines.at(end - 1).isEmpty(), qPrintable(lines.join(u'\n')));
        const QStringList sweep = lines.filter(u"hover-veeg over de lijst: selectie volgde ["_s);
        if (arguments.contains(u"--hover"_s) && !offscreen)
            QCOMPARE(sweep.filter(u"] (beweegt mee)"_s).size(), 1);
        else
            QVERIFY(sweep.isEmpty());
    }

    void typeProbeStopsAtACharacterWithoutAKey()
    {
        Copy &copy = start({u"--type"_s, u"wOon"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.process()->canReadLine(), patience);
        QString printed;
        QTRY_VERIFY_WITH_TIMEOUT((printed += QString::fromUtf8(copy.process()->readAllStandardOutput()))
                                     .contains(u"!! geen toetscode voor \"O\", test afgebroken\n"_s),
                                 patience);
        QCOMPARE(printed.count(u"  run  1  getikt="_s), 1);
        QVERIFY(!printed.contains(u"=== "_s));
        // Not ended: the run stays for inspection.
        QTest::qWait(500);
        QCOMPARE(copy.process()->state(), QProcess::Running);
    }

    void roomAndListProbes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no such room")
            << QStringList{u"--room"_s, u"Nergens"_s, u"--dim"_s, u"40"_s}
            << QStringList{u"!! --room \"Nergens\": geen kamer met die naam (18 zones "
                           u"geladen). Niets gedaan."_s};
        QTest::newRow("dimmed") << QStringList{u"--room"_s, u"woonkamer"_s, u"--dim"_s, u"40"_s}
                                << QStringList{u"--room \"woonkamer\": ingezoomd op Woonkamer ("_s,
                                               u"--dim 40: de kamer-dimmer zetten..."_s,
                                               u"--dim 40: klaar. Kamer staat nu op 40%."_s};
        QTest::newRow("a level out of range") << QStringList{u"--room"_s, u"keuken"_s, u"--dim"_s, u"140"_s}
                                              << QStringList{u"--room \"keuken\": ingezoomd op Keuken ("_s};
        QTest::newRow("dim without a room") << QStringList{u"--dim"_s, u"40"_s} << QStringList();
        QTest::newRow("notifications") << QStringList{u"--notifications"_s}
                                       << QStringList{u"--notifications: meldingenlijst geopend ("_s};
    }
    void roomAndListProbes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        // The search probe comes later in the chain and ends the run.
        const Ended run = finish(arguments + QStringList{u"--search"_s, u"qqzx"_s});
        QCOMPARE(run.status, 0);
        const QStringList lines =
            run.logged.filter(QRegularExpression(u"^(!! )?--(room|dim|notifications)[ :]"_s));
        QCOMPARE(lines.size(), expected.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(lines.at(i).startsWith(expected.at(i)), qPrintable(lines.at(i)));
        // Only the room dimmer writes.
        const QList<FakeRequest> requests = m_hub->requests();
        const bool dimmed = std::any_of(requests.begin(), requests.end(), [](const FakeRequest &request) {
            return request.method == "PUT" && request.route().endsWith("/capability/dim");
        });
        QCOMPARE(dimmed, expected.size() == 3);
    }

    void onboardingProbePlaysItsScenarios()
    {
        // The hub takes the first test key and the replacing one, and refuses the third.
        m_hub->acceptToken(u"trial-pos"_s);
        m_hub->acceptToken(u"trial-vers"_s);
        const QMap<QString, QString> test{{u"QUORVANE_TEST_BASE"_s, m_hub->baseURL().toString()}};
        const QList<std::pair<QString, QString>> scenarios{
            {u"valid"_s, u"sleutel aanwezig=true, fout=false"_s},
            {u"replace"_s, u"sleutel aanwezig=true, fout=false"_s},
            {u"retry"_s, u"sleutel aanwezig=true, fout=false"_s},
            {u"forget"_s, u"sleutel aanwezig=false, fout=true"_s},
            {u"invalid"_s, u"sleutel aanwezig=false, fout=true"_s},
        };
        const QString picture = logFolder() + u"onboarding-probe-1.png"_s;
        for (const auto &[scenario, verdict] : scenarios) {
            QFile::remove(picture);
            Copy &copy = start(
                {u"--onboarding-test"_s, u"--test-id"_s, u"probe-1"_s, u"--onboarding-probe"_s, scenario},
                test);
            const QString line = u"onboardingproef: "_s + scenario + u", "_s + verdict;
            QTRY_VERIFY_WITH_TIMEOUT(copy.messages().filter(u"onboardingproef: "_s).size() == 1, patience);
            QCOMPARE(copy.messages().filter(u"onboardingproef: "_s), QStringList{line});
            QVERIFY(QFileInfo::exists(picture));
            copy.process()->terminate();
            QVERIFY(EndToEnd::ended(copy.process()));
        }
        const QList<FakeRequest> requests = m_hub->requests();
        QCOMPARE(std::count_if(
                     requests.begin(), requests.end(),
                     [](const FakeRequest &r) { return r.header("Authorization") == "Bearer trial-neg"; }),
                 1);

        // Outside the isolated run the switch is ignored.
        const Ended run = finish({u"--onboarding-probe"_s, u"valid"_s, u"--search"_s, u"qqzx"_s});
        QCOMPARE(run.status, 0);
        QVERIFY(run.logged.filter(u"onboardingproef"_s).isEmpty());
    }
};

QTEST_MAIN(TstProbes)
#include "tst_probes.moc"
