#include "app/notifier.h"
#include "base/settingsstore.h"
#include "fakenotificationserver.h"
#include "logcapture.h"
#include "platform/freedesktopbannerservice.h"
#include "store/notifications/notificationfeed.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

const QString serverName = FakeNotificationServer::name;

} // namespace

// Runs plainly (no session bus: banners are unavailable) and through run-notifications.sh on a private
// session bus with the fake server above.
class TstFreedesktopBanners : public QObject {
    Q_OBJECT

    FakeNotificationServer server;

    bool haveBus() const { return QDBusConnection::sessionBus().isConnected(); }

    void emitFromServer(const QString &signal, const QVariantList &arguments)
    {
        QVERIFY(server.emitSignal(signal, arguments));
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!haveBus())
            return;
        QVERIFY(server.serve(QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"fake-server"_s)));
    }

    void withoutBusBannersAreUnavailable()
    {
        if (haveBus())
            QSKIP("a session bus is there");
        FreedesktopBannerService service;
        QVERIFY(!service.hasBus());
        Notifier notifier(std::shared_ptr<BannerService>(&service, [](BannerService *) {}));
        QCOMPARE(notifier.permissionKind(), Notifier::PermissionKind::Unavailable);
    }

    void newFeedItemBecomesOneBannerAndItsClickOpens()
    {
        if (!haveBus())
            QSKIP("needs run-notifications.sh");
        auto service = std::make_shared<FreedesktopBannerService>();
        Notifier notifier(service);
        QCOMPARE(notifier.permissionKind(), Notifier::PermissionKind::Granted);
        int opened = 0;
        notifier.setOnOpen([&opened] { ++opened; });

        NotificationFeed feed(SettingsStore(u"tst-banners"_s), notifier.push());
        feed.baseline({});
        LogCapture logged;
        // A fresh id each run: the feed remembers the ids it has seen.
        feed.ingest(
            QList<RawNotification>{{QUuid::createUuid().toString(), u"homey:manager:flow"_s, std::nullopt,
                                    u"Voordeur <open> & licht aan"_s, QDateTime::currentDateTimeUtc()}});
        QCOMPARE(feed.items().size(), 1);
        const HomeyNotification item = feed.items().constFirst();
        QTRY_COMPARE(server.calls.size(), 1);
        const FakeNotificationServer::Call call = server.calls.constFirst();
        QCOMPARE(call.app, u"Quorvane"_s);
        QCOMPARE(call.summary, item.title);
        // This server reads no markup: the text goes as it is.
        QCOMPARE(call.body, item.body);
        QCOMPARE(call.hints.value(u"urgency"_s).value<uchar>(), uchar(1));
        QVERIFY(
            call.hints.value(u"image-path"_s).toString().endsWith(u"/arrow.triangle.branch-normal.png"_s));
        QCOMPARE(call.actions.first(), u"default"_s);
        QCOMPARE(logged.matching(u"meldingen: banner "_s).size(), 1);

        // Another program's banner clicked: not ours. Ours: the panel opens.
        emitFromServer(u"ActionInvoked"_s, {999u, u"default"_s});
        emitFromServer(u"ActionInvoked"_s, {server.lastID, u"default"_s});
        QTRY_COMPARE(opened, 1);
        QTest::qWait(50);
        QCOMPARE(opened, 1);

        notifier.removeAllDelivered();
        QTRY_COMPARE(server.closed, QList<uint>{server.lastID});
    }

    void eachLevelHasItsUrgencyAndSound_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<std::optional<int>>("priority");
        QTest::addColumn<int>("urgency");
        QTest::addColumn<bool>("sound");
        QTest::newRow("presence, quiet")
            << int(HomeyNotification::Source::presence) << std::optional<int>() << 0 << false;
        QTest::newRow("system") << int(HomeyNotification::Source::system) << std::optional<int>() << 1
                                << false;
        QTest::newRow("p2000 prio 1, not time-sensitive")
            << int(HomeyNotification::Source::p2000) << std::optional<int>(1) << 1 << true;
    }
    void eachLevelHasItsUrgencyAndSound()
    {
        if (!haveBus())
            QSKIP("needs run-notifications.sh");
        QFETCH(int, source);
        QFETCH(std::optional<int>, priority);
        QFETCH(int, urgency);
        QFETCH(bool, sound);
        server.calls.clear();
        Notifier notifier(std::make_shared<FreedesktopBannerService>());
        HomeyNotification item;
        item.id = u"u1"_s;
        item.source = HomeyNotification::Source::Value(source);
        item.priority = priority;
        item.title = u"Melding"_s;
        notifier.show(item, false);
        QTRY_COMPARE(server.calls.size(), 1);
        const QVariantMap hints = server.calls.constFirst().hints;
        QCOMPARE(int(hints.value(u"urgency"_s).value<uchar>()), urgency);
        QCOMPARE(hints.contains(u"sound-name"_s), sound);
        QCOMPARE(hints.value(u"suppress-sound"_s).toBool(), !sound);
    }

    void markupServerGetsEscapedText()
    {
        if (!haveBus())
            QSKIP("needs run-notifications.sh");
        server.calls.clear();
        server.capabilities << u"body-markup"_s;
        auto service = std::make_shared<FreedesktopBannerService>();
        Notifier notifier(service);
        HomeyNotification item;
        item.id = u"m1"_s;
        item.title = u"Deur"_s;
        item.subtitle = u"Hal"_s;
        item.body = u"<b>open</b> & dicht"_s;
        notifier.show(item, false);
        QTRY_COMPARE(server.calls.size(), 1);
        QCOMPARE(server.calls.constFirst().body, u"Hal\n&lt;b&gt;open&lt;/b&gt; &amp; dicht"_s);
    }

    void serverLeavingTurnsBannersOff()
    {
        if (!haveBus())
            QSKIP("needs run-notifications.sh");
        auto service = std::make_shared<FreedesktopBannerService>();
        Notifier notifier(service);
        QCOMPARE(notifier.permissionKind(), Notifier::PermissionKind::Granted);
        QVERIFY(server.bus().unregisterService(serverName));
        QTRY_COMPARE(notifier.permissionKind(), Notifier::PermissionKind::Denied);
        QVERIFY(server.bus().registerService(serverName));
        QTRY_COMPARE(notifier.permissionKind(), Notifier::PermissionKind::Granted);
    }
};

QTEST_MAIN(TstFreedesktopBanners)
#include "tst_freedesktopbanners.moc"
