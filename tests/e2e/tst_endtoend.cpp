#include "endtoend.h"
#include "fakenotificationserver.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QSet>
#include <QTcpServer>

using namespace Qt::StringLiterals;
using EndToEnd::run;

namespace {

const QString garageLamp = u"50c0e1bd-1540-5efd-a679-82b8a8de2fd8"_s;
const QString settingsTitle = u"^Quorvane, instellingen$"_s;
const QString solarPanels = u"9ebb7115-7fdc-574b-98a8-ee820985c022"_s;

// The process's sockets that are internet sockets, by inode.
QSet<QString> internetSockets(qint64 pid)
{
    QSet<QString> own;
    const QDir fds(u"/proc/"_s + QString::number(pid) + u"/fd"_s);
    static const QRegularExpression socket(u"^socket:\\[(\\d+)\\]$"_s);
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        const QRegularExpressionMatch match =
            socket.match(QFile::symLinkTarget(fds.filePath(fd)).section(u'/', -1));
        if (match.hasMatch())
            own.insert(match.captured(1));
    }
    QSet<QString> internet;
    for (const QString &table : {u"tcp"_s, u"tcp6"_s, u"udp"_s, u"udp6"_s, u"raw"_s, u"raw6"_s}) {
        QFile file(u"/proc/net/"_s + table);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList fields = lines.at(i).simplified().split(u' ');
            if (fields.size() > 9 && own.contains(fields.at(9)))
                internet.insert(fields.at(9));
        }
    }
    return internet;
}

} // namespace

// Each test runs the real program in its own home folder, on the display and session bus that
// run-e2e.sh provides, against a fake hub serving the demo home.
class TstEndToEnd : public EndToEndCase {
    Q_OBJECT

    FakeNotificationServer m_banners;

private Q_SLOTS:
    // The desktop's notification server, for every copy of every test.
    void initTestCase() { QVERIFY(m_banners.serve(QDBusConnection::sessionBus())); }

    void init()
    {
        QVERIFY(setUpStage());
        m_banners.calls.clear();
    }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void launchLinesComeInOrderAndTheHubFollows()
    {
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        const QStringList messages = copy.messages();
        const QStringList order{
            QString(58, QChar(0x2500)),
            u"Quorvane "_s,
            u"logboek: "_s,
            u"sneltoets uit instellingen: "_s,
            u"activatiebeleid: accessory (geen taakbalkknop)"_s,
            u"statusitem: ok (button=in het systeemvak, zichtbaar=true)"_s,
            u"hotkey: Ctrl+Alt+Space geregistreerd, status 0."_s,
            u"panel: prewarmed (760x540)"_s,
            u"SIGUSR1-handler actief: "_s,
            u"SIGUSR2-handler actief: "_s,
            u"meldingen: bureaubladmeldingen beschikbaar"_s,
            u"opstarten klaar. statusitem=ok hotkey=geregistreerd panel=prewarmed"_s,
            u"verbinding: Live verbonden."_s,
        };
        qsizetype at = -1;
        for (const QString &start : order) {
            const auto found = std::find_if(messages.begin() + at + 1, messages.end(),
                                            [&](const QString &m) { return m.startsWith(start); });
            QVERIFY2(found != messages.end(), qPrintable(start));
            at = found - messages.begin();
        }
        QVERIFY(messages.filter(u"!! "_s).isEmpty());
    }

    void noHomeyMakesNoNetworkConnection()
    {
        Copy &copy = start({u"--no-homey"_s, u"--offscreen"_s, u"--show"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar."_s), patience);
        QVERIFY(!snapshot(copy, snapshotPath()).isNull());
        QVERIFY(copy.logged(u"panel: getoond, zichtbaar=true frame=-20000,-20000 760x540 "
                            u"(--offscreen: buiten beeld, de gebruiker ziet niets)"_s));
        QVERIFY(copy.logged(u"Homey-verbinding: uit (--no-homey)."_s));
        QCOMPARE(internetSockets(copy.pid()), QSet<QString>());
        QVERIFY(m_hub->requests().isEmpty());
    }

    void snapshotShowsTheHubsDevices()
    {
        Copy &copy = start({u"--query"_s, u"lamp"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        const QImage picture = snapshot(copy, snapshotPath());
        QCOMPARE(picture.size(), QSize(760, 540));

        const QString state = copy.messages().filter(u"snapshot-toestand: "_s).constLast();
        const QRegularExpressionMatch rows =
            QRegularExpression(u"^snapshot-toestand: query=\"lamp\" scope=geen rijen=\\[(.+)\\]$"_s)
                .match(state);
        QVERIFY2(rows.hasMatch(), qPrintable(state));
        QStringList names;
        for (const QJsonValue &device : m_hub->home().value(u"devices"_s).toObject())
            names << device.toObject().value(u"name"_s).toString();
        const QStringList titles = rows.captured(1).split(u", "_s);
        QCOMPARE(titles.size(), 4);
        for (const QString &title : titles)
            QVERIFY2(names.contains(title), qPrintable(title));

        // Rows below the search field: an empty list is one flat colour there.
        QSet<QRgb> colours;
        for (int y = 70; y < 300; y += 2)
            for (int x = 20; x < 740; x += 2)
                colours.insert(picture.pixel(x, y));
        QVERIFY(colours.size() > 50);
    }

    void aChangeOnTheHubShowsInThePanelsList()
    {
        Copy &copy = start({u"--query"_s, u"Garagelamp"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        // The first show draws the search field without its cursor until the panel has key focus.
        snapshot(copy, snapshotPath());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        const QImage off = snapshot(copy, snapshotPath());
        QVERIFY(!off.isNull());

        QVERIFY(m_hub->setCapabilityValue(garageLamp, u"onoff"_s, true));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"socket-event #1: Garagelamp onoff = aan"_s), patience);
        const QImage on = snapshot(copy, snapshotPath());
        QVERIFY(!on.isNull());
        QVERIFY(on != off);

        // Switched back, the panel draws exactly what it drew before.
        QVERIFY(m_hub->setCapabilityValue(garageLamp, u"onoff"_s, false));
        QTRY_VERIFY_WITH_TIMEOUT(snapshot(copy, snapshotPath()) == off, patience);
    }

    void aWriteTheHubDropsIsLogged()
    {
        Copy &copy = start({u"--query"_s, u"Garagelamp"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        m_hub->closePath(u"manager/devices/device/*"_s);
        press({u"Return"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"!! schrijven mislukt: Garagelamp ("_s + garageLamp +
                                             u") onoff = aan: Geen contact met je Homey op 127.0.0.1."_s),
                                 patience);
    }

    // The totals the panel shows are the hub's own once it is up, and follow the solar panels' power as
    // generation.
    void energyFiguresAreTheHubs()
    {
        Copy &copy = start({u"--debug-energy"_s}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        QVERIFY(copy.logged(u"Energie: 1250 W verbruik, 980 W opwek, 270 W netto"_s));
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        // Summed from the meters as the panel showed, the totals equalled the hub's: no line for them.
        // The first line is the panels' next reading.
        QVERIFY(m_hub->setCapabilityValue(solarPanels, u"measure_power"_s, 1000.0));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"energie: "_s), patience);
        QCOMPARE(copy.messages().filter(u"energie: "_s),
                 QStringList(u"energie: 1270 W verbruik = 1000 W opwek + 270 W netto"_s));
    }

    void aRefusedTokenBringsThePairingScreen()
    {
        Copy &copy = start({}, hubEnvironment(u"niet-de-goede"_s));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(copy).isEmpty(), patience);
        QStringList routes;
        for (const FakeRequest &request : m_hub->requests())
            routes << QString::fromUtf8(request.route());
        QVERIFY(routes.contains(u"manager/sessions/session/me"_s));
        QVERIFY(routes.filter(u"manager/devices"_s).isEmpty());
        QVERIFY(!copy.logged(u"verbinding: Live"_s));
    }

    void forgettingTheTokenLeavesNoHubBehind()
    {
        Copy &first = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"verbinding: Live verbonden."_s), patience);
        // Saved a moment later: writes of the settings are gathered before they go to disk.
        QTRY_VERIFY_WITH_TIMEOUT(settings().contains(u"ai.velkor.quorvane.baseURL"_s), patience);
        first.process()->terminate();
        QVERIFY(first.process()->waitForFinished(patience));

        // Refused, with the hub stored: the pairing screen offers to forget the token. From the key
        // field, Tab reaches "Annuleren" and then "Sleutel wissen"; its confirmation starts on
        // "Annuleren", and Tab goes on to "Wis de sleutel".
        Copy &copy = start({}, hubEnvironment(u"niet-de-goede"_s));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(copy).isEmpty(), patience);
        typeKeys({u"Tab"_s, u"Tab"_s, u"Return"_s, u"Tab"_s, u"Return"_s});

        QTRY_VERIFY_WITH_TIMEOUT(settings().boolReading(u"quorvane.explicitCredentials"_s), patience);
        for (const QString &key : {u"ai.velkor.quorvane.baseURL"_s, u"ai.velkor.quorvane.homeyID"_s,
                                   u"ai.velkor.quorvane.homeyName"_s})
            QVERIFY(!settings().contains(key));
        QVERIFY(!visibleWindows(copy).isEmpty());
    }

    void aSecondStartShowsTheFirstCopysPanel()
    {
        Copy &first = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"opstarten klaar."_s), patience);
        QVERIFY(visibleWindows(first).isEmpty());

        Copy &second = start({});
        QVERIFY(second.process()->waitForFinished(patience));
        QCOMPARE(second.process()->exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"SIGUSR1 ontvangen: paneel tonen"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(first.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(first).size() == 1, patience);
        // A tool window that stays out of the taskbar.
        const QString state =
            run(u"xprop"_s, {u"-id"_s, visibleWindows(first).constFirst(), u"_NET_WM_STATE"_s});
        QVERIFY2(state.contains(u"_NET_WM_STATE_SKIP_TASKBAR"_s), qPrintable(state));
    }

    void hotKeyTogglesThePanel()
    {
        Copy &copy = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar."_s), patience);
        press({u"ctrl+alt+space"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QCOMPARE(copy.count(u"hotkey: gevuurd"_s), 1);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).size() == 1, patience);

        // Twice in a row: the first press hides the panel, the second comes too soon after that hide to
        // open it again.
        press({u"ctrl+alt+space"_s, u"ctrl+alt+space"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"hotkey: gevuurd"_s), 3, patience);
        QCOMPARE(copy.count(u"panel: verborgen (toggle)"_s), 1);
        QCOMPARE(copy.count(u"panel: getoond"_s), 1);
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).isEmpty(), patience);
    }

    void trayIconAppearsAndItsClickOpensThePanel()
    {
        Copy &copy = start({u"--no-homey"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"opstarten klaar. statusitem=ok"_s), patience);
        // Docked: the tray host has mapped the icon's window.
        QString icon;
        QTRY_VERIFY_WITH_TIMEOUT(!(icon = trayIcon(copy)).isEmpty(), patience);
        run(u"xdotool"_s,
            {u"mousemove"_s, u"--sync"_s, u"--window"_s, icon, u"4"_s, u"4"_s, u"click"_s, u"1"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
    }

    void newItemOnTheHubBecomesABannerThatOpensTheList()
    {
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        m_realtime->pushEvent(
            u"homey:manager:notifications"_s, u"notification.create"_s,
            QJsonObject{
                {u"id"_s, u"e2e-wasmachine"_s},
                {u"ownerUri"_s, u"homey:manager:flow"_s},
                {u"ownerName"_s, u"Flow"_s},
                {u"dateCreated"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
                {u"excerpt"_s, u"De wasmachine is klaar"_s},
            });
        QTRY_COMPARE_WITH_TIMEOUT(m_banners.calls.size(), 1, patience);
        QCOMPARE(m_banners.calls.constFirst().body, u"De wasmachine is klaar"_s);
        QVERIFY(copy.logged(u"meldingen: banner "_s));
        QVERIFY(visibleWindows(copy).isEmpty());

        QVERIFY(m_banners.emitSignal(u"ActionInvoked"_s, {m_banners.lastID, u"default"_s}));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"meldingen: geopend ("_s), patience);
        QVERIFY(copy.logged(u"meldingen: gebruiker klikte op een banner, paneel openen"_s));
        QTRY_VERIFY_WITH_TIMEOUT(visibleWindows(copy).size() == 1, patience);
        QCOMPARE(m_banners.calls.size(), 1);
    }

    // A new item is remembered as seen the moment it comes in; SIGTERM right after still finds that
    // written when the program has ended, however shortly it waited to be saved.
    void whatWasSeenJustBeforeSigtermIsSaved()
    {
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        m_realtime->pushEvent(
            u"homey:manager:notifications"_s, u"notification.create"_s,
            QJsonObject{
                {u"id"_s, u"e2e-droger"_s},
                {u"ownerUri"_s, u"homey:manager:flow"_s},
                {u"ownerName"_s, u"Flow"_s},
                {u"dateCreated"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
                {u"excerpt"_s, u"De droger is klaar"_s},
            });
        QTRY_COMPARE_WITH_TIMEOUT(m_banners.calls.size(), 1, patience);
        copy.signal(SIGTERM);
        QVERIFY(copy.process()->waitForFinished(patience));
        QCOMPARE(copy.process()->exitCode(), 0);
        QVERIFY(settings()
                    .stringListValue(u"notify.shownIDs"_s)
                    .value_or(QStringList())
                    .contains(u"e2e-droger"_s));
    }

    // Nothing listens on the hub's port: the log says the hub was not reached, as the panel does.
    void aHubThatDoesNotAnswerIsLogged()
    {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        const QString base = u"http://127.0.0.1:%1"_s.arg(gone.serverPort());
        gone.close();
        QMap<QString, QString> extra = hubEnvironment();
        extra.insert(u"HOMEY_BASE"_s, base);
        Copy &copy = start({}, extra);
        QTRY_VERIFY_WITH_TIMEOUT(
            copy.logged(u"!! Homey-verbinding mislukt: Geen contact met je Homey op 127.0.0.1. "_s),
            patience);
        QVERIFY(copy.messages().filter(u"verbinding: "_s).filter(u"Live"_s).isEmpty());
    }

    void settingsSwitchOpensTheSettingsWindow()
    {
        Copy &copy = start({u"--no-homey"_s, u"--settings"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"instellingen geopend"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(showsWindow(copy, settingsTitle), patience);
    }

    // No window manager here, so no close button: Escape closes the window, and Ctrl+W once the
    // panel's Ctrl+, has opened it again.
    void escapeAndCtrlWCloseTheSettingsWindow()
    {
        Copy &copy = start({u"--no-homey"_s, u"--settings"_s});
        const auto focused = [&] {
            const QString window = this->window(copy, settingsTitle);
            return !window.isEmpty() && run(u"xdotool"_s, {u"getwindowfocus"_s}) == window;
        };
        QTRY_VERIFY_WITH_TIMEOUT(focused(), patience);
        press({u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(!showsWindow(copy, settingsTitle), patience);

        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        press({u"ctrl+comma"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"instellingen geopend"_s), 2, patience);
        QTRY_VERIFY_WITH_TIMEOUT(focused(), patience);
        press({u"ctrl+w"_s});
        QTRY_VERIFY_WITH_TIMEOUT(!showsWindow(copy, settingsTitle), patience);
        QCOMPARE(copy.process()->state(), QProcess::Running);
    }

    void theRunScriptShowsTheDemoHomeLive()
    {
        // The demo's log is in the build folder, not in the usual place; the script says so. Earlier
        // runs wrote to it too: only what comes after them counts.
        const QString folder = QStringLiteral(QUORVANE_BUILD_DIR "/demo-home/state/Quorvane/");
        const qint64 before = QFileInfo(folder + u"quorvane.log"_s).size();
        const auto logged = [&](const QByteArray &text) {
            QFile log(folder + u"quorvane.log"_s);
            if (!log.open(QIODevice::ReadOnly))
                return false;
            // A log grown too large is started anew.
            if (log.size() >= before)
                log.seek(before);
            return log.readAll().contains(text);
        };
        QProcess *script =
            launch(u"bash"_s, {QStringLiteral(QUORVANE_SOURCE_DIR "/scripts/run")},
                   {{u"QUORVANE_RUN_BUILD"_s, QStringLiteral(QUORVANE_BUILD_DIR)}}, QProcess::MergedChannels);
        QString output;
        const auto said = [&](const QString &text) {
            output += QString::fromUtf8(script->readAll());
            return output.contains(text);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(said(u"verbinding: Live verbonden."_s), qPrintable(output), patience);
        QVERIFY(said(u"panel: getoond, zichtbaar=true"_s));
        QVERIFY2(said(u"scripts/run: the log and the pictures of kill -USR2 are in "_s + folder + u'\n'),
                 qPrintable(output));
        QTRY_VERIFY_WITH_TIMEOUT(logged("verbinding: Live verbonden."), patience);
        const QRegularExpressionMatch pid =
            QRegularExpression(u"quorvane runs as pid (\\d+)"_s).match(output);
        QVERIFY(pid.hasMatch());

        // Stopping the script stops the program and the fake hub with it.
        script->terminate();
        QVERIFY(script->waitForFinished(patience));
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid.captured(1).toLongLong()), 0) != 0, patience);
    }

    void theRunScriptConnectsToTheHubItIsGiven()
    {
        QMap<QString, QString> extra = hubEnvironment();
        extra.insert(u"QUORVANE_RUN_BUILD"_s, QStringLiteral(QUORVANE_BUILD_DIR));
        QProcess *script = launch(u"bash"_s, {QStringLiteral(QUORVANE_SOURCE_DIR "/scripts/run")}, extra,
                                  QProcess::MergedChannels);
        QString output;
        const auto said = [&](const QString &text) {
            output += QString::fromUtf8(script->readAll());
            return output.contains(text);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(said(u"verbinding: Live verbonden."_s), qPrintable(output), patience);
        QVERIFY(said(u"scripts/run: connecting to your hub"_s));
        QVERIFY(said(u"scripts/run: the log and the pictures of kill -USR2 are in "_s + home() +
                     u"/state/Quorvane/\n"_s));
        QVERIFY(!said(u"demo home"_s));
        QVERIFY(!m_hub->requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstEndToEnd)
#include "tst_endtoend.moc"
