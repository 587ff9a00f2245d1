#include "servedcase.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;
using EndToEnd::run;

// A new item on the hub as a desktop banner, and what the program remembers of it.
class TstBanners : public ServedCase {
    Q_OBJECT

private Q_SLOTS:
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
        QVERIFY(EndToEnd::ended(copy.process()));
        QCOMPARE(copy.process()->exitCode(), 0);
        QVERIFY(settings()
                    .stringListValue(u"notify.shownIDs"_s)
                    .value_or(QStringList())
                    .contains(u"e2e-droger"_s));
    }
};

QTEST_GUILESS_MAIN(TstBanners)
#include "tst_banners.moc"
