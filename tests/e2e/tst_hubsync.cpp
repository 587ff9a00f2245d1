#include "servedcase.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QJsonObject>
#include <QTcpServer>

using namespace Qt::StringLiterals;
using EndToEnd::run;

namespace {

const QString garageLamp = u"50c0e1bd-1540-5efd-a679-82b8a8de2fd8"_s;
const QString solarPanels = u"9ebb7115-7fdc-574b-98a8-ee820985c022"_s;

} // namespace

// A tray on the session bus (a StatusNotifierWatcher with a host behind it), as a desktop's panel
// offers one: a program that starts while it is there puts its icon here, and the tooltip can be read
// as the panel reads it.
class BusTray : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registered)

public:
    static inline const QString name = u"org.kde.StatusNotifierWatcher"_s;
    static inline const QString path = u"/StatusNotifierWatcher"_s;

    ~BusTray() override
    {
        m_bus.unregisterService(name);
        m_bus.unregisterObject(path);
    }
    bool serve()
    {
        return m_bus.registerObject(path, this,
                                    QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
               m_bus.registerService(name);
    }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registered() const { return m_items; }

    // The tooltip's text of the last icon that came; empty while there is none.
    QString tooltip() const
    {
        if (m_items.isEmpty())
            return {};
        QDBusMessage get = QDBusMessage::createMethodCall(m_items.constLast(), u"/StatusNotifierItem"_s,
                                                          u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
        get << u"org.kde.StatusNotifierItem"_s << u"ToolTip"_s;
        // Our own calls are answered meanwhile: the program may be asking this tray something.
        const QDBusMessage reply = m_bus.call(get, QDBus::BlockWithGui, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        // (icon name, [(width, height, pixels)], title, text)
        const QDBusArgument tip =
            reply.arguments().constFirst().value<QDBusVariant>().variant().value<QDBusArgument>();
        QString icon;
        QString title;
        QString text;
        tip.beginStructure();
        tip >> icon;
        tip.beginArray();
        while (!tip.atEnd()) {
            int width = 0;
            int height = 0;
            QByteArray pixels;
            tip.beginStructure();
            tip >> width >> height >> pixels;
            tip.endStructure();
        }
        tip.endArray();
        tip >> title >> text;
        tip.endStructure();
        return text.isEmpty() ? title : title + u'\n' + text;
    }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service) { m_items << service; }
    void RegisterStatusNotifierHost(const QString &) {}

private:
    QDBusConnection m_bus = QDBusConnection::sessionBus();
    QStringList m_items;
};

// The program against a fake hub serving the demo home: what it shows of the hub, what it does with a
// write the hub drops, a refused token, a hub that does not answer and one that comes up late.
class TstHubSync : public ServedCase {
    Q_OBJECT

    // A port on which nothing listens yet (0 when none could be found): a hub that is down.
    static quint16 portNobodyListensOn()
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost))
            return 0;
        return probe.serverPort();
    }

    // The hub that comes up later, made ready first, so that it answers the moment it listens, well
    // within a pause of the back-off.
    static bool readyToListenAt(FakeHub &hub)
    {
        new FakeRealtime(&hub);
        return hub.loadHome(FakeHub::demoHomePath());
    }

    QMap<QString, QString> environmentFor(quint16 port) const
    {
        QMap<QString, QString> environment = hubEnvironment();
        environment.insert(u"HOMEY_BASE"_s, u"http://127.0.0.1:%1"_s.arg(port));
        return environment;
    }

private Q_SLOTS:
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
        QVERIFY(EndToEnd::ended(first.process()));

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

    // The person's own retry after a start that failed: the tray says that it connects, as the panel
    // does, for as long as the hub takes to answer, and never that nothing has happened.
    void thePersonsRetryIsToldAsConnecting()
    {
        BusTray tray;
        QVERIFY(tray.serve());
        const QString check = u"manager/sessions/session/me"_s;
        m_hub->failPath(check, 404);
        Copy &copy = start({}, hubEnvironment());
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"!! Homey-verbinding mislukt: De Homey gaf een fout (404)"_s),
                                 patience);
        QTRY_VERIFY_WITH_TIMEOUT(tray.tooltip().startsWith(u"Geen verbinding met je Homey.\n"_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        // Silent from now on: the retry waits for the check to time out.
        m_hub->stallPath(check);
        press({u"ctrl+r"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"menu: opnieuw verbinden (toestand was mislukt: "_s), patience);
        QTRY_COMPARE_WITH_TIMEOUT(tray.tooltip(), u"Quorvane verbindt met je Homey…"_s, patience);
        QVERIFY(copy.logged(u"verbinding: Verbinden…"_s));
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"!! Homey-verbinding mislukt"_s), 2, patience);
        QVERIFY(!copy.logged(u"Nog niet verbonden"_s));
    }

    // Started before the hub is up, as after a login before the network or while the hub reboots: once
    // the hub listens on its port the program goes live by itself, no key pressed, at the latest on the
    // attempt after the one under way.
    void aHubThatComesUpLaterIsReachedByItself()
    {
        const quint16 port = portNobodyListensOn();
        QVERIFY(port != 0);
        FakeHub later;
        QVERIFY(readyToListenAt(later));
        Copy &copy = start({}, environmentFor(port));
        // A few pauses into the back-off.
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"(poging 4)"_s), patience);
        QVERIFY(later.listen(port));
        // Only an attempt already under way can still fail.
        const int retriesBefore = copy.count(u"opnieuw proberen"_s);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        QVERIFY(copy.count(u"opnieuw proberen"_s) <= retriesBefore + 1);
        QVERIFY(copy.logged(u"verbinding: Homey bereikt bij poging "_s));
        QCOMPARE(copy.count(u"!! Homey-verbinding mislukt"_s), 1);
        // Ended while its hub still answers.
        copy.process()->terminate();
        QVERIFY(EndToEnd::ended(copy.process()));
    }

    // Looking at the key screen during an outage ends nothing: opened from the connection-problem screen
    // and hidden again with Escape, it leaves the program trying, and the hub that comes back is reached
    // without a key pressed.
    void aHubBackAfterALookAtTheKeyScreenIsReachedByItself()
    {
        const quint16 port = portNobodyListensOn();
        QVERIFY(port != 0);
        FakeHub later;
        QVERIFY(readyToListenAt(later));
        Copy &copy = start({}, environmentFor(port));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"(poging 2)"_s), patience);
        copy.signal(SIGUSR1);
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: key=true"_s), patience);
        // Tab to "API-sleutel wijzigen", which brings the panel up again on the key screen.
        typeKeys({u"Tab"_s, u"Return"_s});
        QTRY_COMPARE_WITH_TIMEOUT(copy.count(u"panel: getoond"_s), 2, patience);
        typeKeys({u"Escape"_s});
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"panel: verborgen"_s), patience);
        QVERIFY(later.listen(port));
        QTRY_VERIFY_WITH_TIMEOUT(copy.logged(u"verbinding: Live verbonden."_s), patience);
        QVERIFY(copy.logged(u"verbinding: Homey bereikt bij poging "_s));
        QVERIFY(!copy.logged(u"menu: opnieuw verbinden"_s));
        // Ended while its hub still answers.
        copy.process()->terminate();
        QVERIFY(EndToEnd::ended(copy.process()));
    }
};

QTEST_GUILESS_MAIN(TstHubSync)
#include "tst_hubsync.moc"
