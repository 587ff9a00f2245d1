#include "base/settingsstore.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"
#include "fakenotificationserver.h"

#include <csignal>
#include <memory>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Generous: the sanitizer build starts slowly, and nothing here is timed.
constexpr int patience = 60000;
const QString garageLamp = u"50c0e1bd-1540-5efd-a679-82b8a8de2fd8"_s;

// One running copy of the program and everything it has logged (the log is echoed to stderr).
class Copy {
public:
    explicit Copy(QProcess *process) : m_process(process) {}

    QProcess *process() const { return m_process; }
    qint64 pid() const { return m_process->processId(); }
    void signal(int number) const { ::kill(pid_t(pid()), number); }

    // The log's messages, without their time stamps.
    QStringList messages()
    {
        m_text += QString::fromUtf8(m_process->readAllStandardError());
        QStringList lines;
        static const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  "_s);
        for (const QString &line : m_text.split(u'\n')) {
            const QRegularExpressionMatch match = stamp.match(line);
            if (match.hasMatch())
                lines.append(line.mid(match.capturedLength()));
        }
        return lines;
    }
    int count(const QString &text) { return int(messages().filter(text).size()); }
    // What was written besides the log's lines: the sanitizers' reports, Qt's warnings.
    QString rest()
    {
        messages();
        QStringList others = m_text.split(u'\n');
        others.removeIf([](const QString &line) { return line.isEmpty() || line.at(0).isDigit(); });
        return others.join(u'\n');
    }
    bool logged(const QString &text) { return count(text) > 0; }

private:
    QProcess *m_process;
    QString m_text;
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(patience);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

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
class TstEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;
    FakeNotificationServer m_banners;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::vector<std::unique_ptr<Copy>> m_copies;

    QString home() const { return m_folder->filePath(u"home"_s); }
    QString snapshotPath() const { return home() + u"/state/Quorvane/panel.png"_s; }

    QProcessEnvironment environment(const QMap<QString, QString> &extra) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name.startsWith(u"HOMEY_"_s) ||
                (name.startsWith(u"QUORVANE_"_s) && name != u"QUORVANE_REDUCE_MOTION"_s))
                environment.remove(name);
        }
        environment.insert(u"HOME"_s, home());
        for (const QString &name : {u"STATE"_s, u"DATA"_s, u"CONFIG"_s, u"CACHE"_s})
            environment.insert(u"XDG_"_s + name + u"_HOME"_s, home() + u"/"_s + name.toLower());
        for (auto it = extra.begin(); it != extra.end(); ++it)
            environment.insert(it.key(), it.value());
        return environment;
    }
    QMap<QString, QString> hubEnvironment(const QString &token = {}) const
    {
        return {{u"HOMEY_BASE"_s, m_hub->baseURL().toString()},
                {u"HOMEY_ID"_s, u"demo"_s},
                {u"HOMEY_TOKEN"_s, token.isEmpty() ? m_hub->token() : token}};
    }
    QProcess *launch(const QString &program, const QStringList &arguments,
                     const QMap<QString, QString> &extra,
                     QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(extra));
        process->setProcessChannelMode(channels);
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }
    Copy &start(const QStringList &arguments, const QMap<QString, QString> &extra = {})
    {
        QProcess *process = launch(QStringLiteral(QUORVANE_BINARY), arguments, extra);
        m_copies.push_back(std::make_unique<Copy>(process));
        return *m_copies.back();
    }
    // SIGUSR2, then the picture it wrote.
    static QImage snapshot(Copy &copy, const QString &path)
    {
        const QString written = u"px geschreven naar "_s + path;
        const int before = copy.count(written);
        copy.signal(SIGUSR2);
        QDeadlineTimer deadline(patience);
        while (copy.count(written) == before && !deadline.hasExpired())
            QTest::qWait(20);
        return QImage(path);
    }
    // The copy's windows that are mapped on the display, its tray icon apart.
    static QStringList visibleWindows(const Copy &copy)
    {
        QStringList windows = mappedWindows(copy);
        windows.removeIf([](const QString &window) { return isTrayIcon(window); });
        return windows;
    }
    static QStringList mappedWindows(const Copy &copy)
    {
        return run(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(copy.pid())})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    // An icon the tray host took in: the only window of ours that is not a child of the root window.
    static bool isTrayIcon(const QString &window)
    {
        const QString tree = run(u"xwininfo"_s, {u"-children"_s, u"-id"_s, window});
        const QString parent = tree.mid(tree.indexOf(u"Parent window id:"_s)).section(u'\n', 0, 0);
        return !parent.isEmpty() && !parent.contains(u"(the root window)"_s);
    }
    // The copy's tray icon as the tray host shows it; empty for none.
    static QString trayIcon(const Copy &copy)
    {
        const QStringList windows = mappedWindows(copy);
        const auto icon = std::find_if(windows.begin(), windows.end(), isTrayIcon);
        return icon == windows.end() ? QString() : *icon;
    }
    // Presses keys on the display, as a person would.
    static void press(const QStringList &keys) { run(u"xdotool"_s, QStringList{u"key"_s} + keys); }
    SettingsStore settings() const
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home() + u"/config"_s));
        return SettingsStore::standard();
    }

private Q_SLOTS:
    // The desktop's notification server, for every copy of every test.
    void initTestCase() { QVERIFY(m_banners.serve(QDBusConnection::sessionBus())); }

    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_hub = std::make_unique<FakeHub>();
        m_realtime = new FakeRealtime(m_hub.get());
        m_banners.calls.clear();
        QVERIFY(m_hub->loadHome(FakeHub::demoHomePath()));
        QVERIFY(m_hub->listen());
    }
    void cleanup()
    {
        for (const auto &process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(patience))
                    process->kill();
            }
        }
        // Every copy ended as asked, and the sanitizers (in their build) found nothing on the way.
        for (const auto &copy : m_copies) {
            const QString log = copy->messages().join(u'\n') + copy->rest();
            QCOMPARE(copy->process()->exitStatus(), QProcess::NormalExit);
            QCOMPARE(copy->process()->exitCode(), 0);
            QVERIFY2(!log.contains(u"runtime error:"_s) && !log.contains(u"AddressSanitizer"_s),
                     qPrintable(log));
        }
        m_copies.clear();
        m_processes.clear();
        m_hub.reset();
        m_folder.reset();
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
            u"statusitem: ok (button=in de menubalk, zichtbaar=true)"_s,
            u"hotkey: ⌃⌥Space geregistreerd, status 0."_s,
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
        QVERIFY(settings().contains(u"ai.velkor.quorvane.baseURL"_s));
        first.process()->terminate();
        QVERIFY(first.process()->waitForFinished(patience));

        // Refused, with the hub stored: the pairing screen offers to forget the token.
        Copy &copy = start({}, hubEnvironment(u"niet-de-goede"_s));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: getoond, zichtbaar=true"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(!visibleWindows(copy).isEmpty(), patience);
        const QRegularExpressionMatch frame =
            QRegularExpression(u"panel: getoond, zichtbaar=true frame=(-?\\d+),(-?\\d+) (\\d+)x(\\d+)"_s)
                .match(copy.messages().filter(u"panel: getoond"_s).constLast());
        QVERIFY(frame.hasMatch());
        // "Sleutel wissen" sits in the panel's bottom right corner, 190 x 30 with a margin of 30.
        const int x = frame.captured(1).toInt() + frame.captured(3).toInt() - 30 - 95;
        const int y = frame.captured(2).toInt() + frame.captured(4).toInt() - 30 - 15;
        run(u"xdotool"_s,
            {u"mousemove"_s, u"--sync"_s, QString::number(x), QString::number(y), u"click"_s, u"1"_s});

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

    void settingsSwitchOpensTheSettingsWindow()
    {
        Copy &copy = start({u"--no-homey"_s, u"--settings"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"instellingen geopend"_s), patience);
        QTRY_VERIFY_WITH_TIMEOUT(
            !run(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(copy.pid()),
                                u"--name"_s, u"^Quorvane, instellingen$"_s})
                 .isEmpty(),
            patience);
    }

    void theRunScriptShowsTheDemoHomeLive()
    {
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
        const QRegularExpressionMatch pid =
            QRegularExpression(u"quorvane runs as pid (\\d+)"_s).match(output);
        QVERIFY(pid.hasMatch());

        // Stopping the script stops the program and the fake hub with it.
        script->terminate();
        QVERIFY(script->waitForFinished(patience));
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid.captured(1).toLongLong()), 0) != 0, patience);
    }
};

QTEST_GUILESS_MAIN(TstEndToEnd)
#include "tst_endtoend.moc"
