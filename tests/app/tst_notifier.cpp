#include "app/notificationicons.h"
#include "app/notifier.h"
#include "fakedesktop.h"
#include "logcapture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

HomeyNotification item(HomeyNotification::Source source, std::optional<int> priority = {},
                       std::optional<QString> subtitle = {})
{
    HomeyNotification n;
    n.id = u"n1"_s;
    n.source = source;
    n.title = u"Brand"_s;
    n.subtitle = subtitle;
    n.body = u"Dorpsstraat <1>"_s;
    n.symbol = source.symbol();
    n.priority = priority;
    return n;
}

} // namespace

class TstNotifier : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QDir(NotificationIcons::folder()).removeRecursively(); }

    void itemsBecomeBannersByUrgency_data()
    {
        QTest::addColumn<HomeyNotification>("notification");
        QTest::addColumn<bool>("timeSensitive");
        QTest::addColumn<BannerService::Level>("level");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<QString>("line");
        using S = HomeyNotification::Source;
        using L = BannerService::Level;
        QTest::newRow("p2000 prio 1, time-sensitive")
            << item(S::p2000, 1, u"Amsterdam"_s) << true << L::timeSensitive << true
            << u"meldingen: banner \"Brand\" · Amsterdam · Dorpsstraat <1> [p2000, niveau tijdgevoelig]"_s;
        QTest::newRow("p2000 prio 1, not time-sensitive")
            << item(S::p2000, 1) << false << L::active << true
            << u"meldingen: banner \"Brand\" · - · Dorpsstraat <1> [p2000, niveau actief]"_s;
        QTest::newRow("p2000 prio 2")
            << item(S::p2000, 2) << true << L::active << false
            << u"meldingen: banner \"Brand\" · - · Dorpsstraat <1> [p2000, niveau actief]"_s;
        QTest::newRow("p2000 without priority") << item(S::p2000) << true << L::active << false << QString();
        QTest::newRow("presence, empty subtitle")
            << item(S::presence, {}, u""_s) << true << L::passive << false
            << u"meldingen: banner \"Brand\" ·  · Dorpsstraat <1> [presence, niveau passief]"_s;
        QTest::newRow("weather") << item(S::weather) << false << L::passive << false << QString();
        QTest::newRow("flow") << item(S::flow) << true << L::active << false << QString();
        QTest::newRow("system") << item(S::system) << true << L::active << false << QString();
    }
    void itemsBecomeBannersByUrgency()
    {
        QFETCH(HomeyNotification, notification);
        QFETCH(bool, timeSensitive);
        QFETCH(BannerService::Level, level);
        QFETCH(bool, sound);
        QFETCH(QString, line);
        auto banners = std::make_shared<FakeBanners>();
        Notifier notifier(banners);
        LogCapture logged;
        notifier.push()(notification, timeSensitive);
        QCOMPARE(banners->posted.size(), 1);
        const BannerService::Banner &banner = banners->posted.constFirst();
        QCOMPARE(banner.level, level);
        QCOMPARE(banner.sound, sound);
        QCOMPARE(banner.title, notification.title);
        QCOMPARE(banner.body, notification.body);
        // An empty subtitle is no subtitle.
        QCOMPARE(banner.subtitle.has_value(),
                 notification.subtitle.has_value() && !notification.subtitle->isEmpty());
        QCOMPARE(banner.thread, notification.source.raw());
        // Urgent items get the ringed icon, the others the soft one.
        const bool urgent = notification.urgency() == HomeyNotification::Urgency::urgent;
        QCOMPARE(banner.iconPath, *NotificationIcons::file(notification.symbol, urgent));
        if (!line.isEmpty())
            QCOMPARE(logged.lines(), QStringList{line});
    }

    void noServerOrNoBusShowsNothing()
    {
        auto banners = std::make_shared<FakeBanners>();
        banners->server = false;
        Notifier notifier(banners);
        QCOMPARE(notifier.permissionKind(), Notifier::PermissionKind::Denied);
        notifier.show(item(HomeyNotification::Source::flow), false);
        QVERIFY(banners->posted.isEmpty());
        // A server that starts later is used from then on.
        banners->handlers.serverChanged(true);
        QCOMPARE(notifier.permissionKind(), Notifier::PermissionKind::Granted);
        notifier.show(item(HomeyNotification::Source::flow), false);
        QCOMPARE(banners->posted.size(), 1);

        auto noBus = std::make_shared<FakeBanners>();
        noBus->bus = false;
        LogCapture logged;
        Notifier unavailable(noBus);
        QCOMPARE(unavailable.permissionKind(), Notifier::PermissionKind::Unavailable);
        QVERIFY(
            logged.lines().constFirst().startsWith(u"!! meldingen: "_s + unavailable.unavailableReason()));
        unavailable.show(item(HomeyNotification::Source::flow), false);
        unavailable.removeAllDelivered();
        QVERIFY(noBus->posted.isEmpty());
        QCOMPARE(noBus->closed, 0);
    }

    void clickOpensAndFailureIsLogged()
    {
        auto banners = std::make_shared<FakeBanners>();
        Notifier notifier(banners);
        int opened = 0;
        notifier.setOnOpen([&opened] { ++opened; });
        LogCapture logged;
        banners->handlers.activated();
        QCOMPARE(opened, 1);
        QCOMPARE(logged.lines(), QStringList{u"meldingen: gebruiker klikte op een banner, paneel openen"_s});

        banners->failure = u"server weg"_s;
        notifier.show(item(HomeyNotification::Source::system), false);
        QVERIFY(logged.lines().contains(u"!! meldingen: Brand kon niet getoond worden: server weg"_s));
    }

    void iconsAreDrawnOnceAndAgainWhenDeleted()
    {
        const std::optional<QString> file = NotificationIcons::file(u"figure.walk"_s, false);
        QVERIFY(file);
        QCOMPARE(QImage(*file).size(), QSize(128, 128));
        QFile::resize(*file, 0);
        QCOMPARE(NotificationIcons::file(u"figure.walk"_s, false), file);
        QCOMPARE(QFileInfo(*file).size(), 0);
        QFile::remove(*file);
        QCOMPARE(NotificationIcons::file(u"figure.walk"_s, false), file);
        QVERIFY(QFileInfo(*file).size() > 0);
        QCOMPARE(NotificationIcons::file(u"../../etc/passwd"_s, false), std::nullopt);
    }
};

QTEST_MAIN(TstNotifier)
#include "tst_notifier.moc"
