#include "paletterig.h"
#include "ui/palette/notificationsscreen.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

HomeyNotification incident(const QString &id, std::optional<int> priority, bool read)
{
    HomeyNotification item = PaletteRig::notification(id, u"A1 Brand woning"_s, read);
    item.source = HomeyNotification::Source::p2000;
    item.priority = priority;
    item.subtitle = u"Utrecht"_s;
    item.detail = u"Brandweer 09-1234"_s;
    return item;
}

QStringList keys(const NotificationsModel &model)
{
    QStringList keys;
    for (const NotificationsModel::Row &row : model.rows())
        keys << row.key;
    return keys;
}

} // namespace

// The notifications list: its rows as the store filters them, the look of each kind of row, the header,
// the bell, and scrolling only for keyboard moves.
class NotificationsListTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsFollowTheFeedAndTheFilter();
    void rowLook_data();
    void rowLook();
    void header();
    void bell_data();
    void bell();
    void scrollsOnlyForTheKeyboard();
};

void NotificationsListTest::rowsFollowTheFeedAndTheFilter()
{
    PaletteRig rig;
    NotificationsScreen *screen = rig.palette->notifications();
    QAbstractItemModelTester tester(screen->rows(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(screen->isEmpty()); // built only while the list is on screen
    rig.store->enterNotifications();
    QCOMPARE(keys(*screen->rows()), (QStringList{u"n1"_s, u"n2"_s, u"n3"_s}));
    QVERIFY(screen->rows()->rows().first().look.selected);

    QSignalSpy reset(screen->rows(), &QAbstractItemModel::modelReset);
    rig.type(u"was"_s);
    QCOMPARE(keys(*screen->rows()), QStringList{u"n2"_s});
    QCOMPARE(screen->count(), u"1"_s);
    rig.type(u"zzz"_s);
    QVERIFY(screen->isEmpty());
    QCOMPARE(screen->count(), QString());
    rig.type(QString());
    QList<HomeyNotification> items = rig.store->notifications()->items();
    items.prepend(incident(u"p1"_s, 1, false));
    rig.store->notifications()->setItems(items);
    QCOMPARE(keys(*screen->rows()), (QStringList{u"p1"_s, u"n1"_s, u"n2"_s, u"n3"_s}));
    QCOMPARE(reset.size(), 0);

    // "wis alles".
    screen->clear();
    QVERIFY(screen->isEmpty());
    QCOMPARE(rig.store->notifications()->unread(), 0);
    QCOMPARE(rig.bannerClears, 0); // only Ctrl+Backspace takes the banners down too
}

void NotificationsListTest::rowLook_data()
{
    QTest::addColumn<HomeyNotification>("item");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QColor>("icon");
    QTest::addColumn<QColor>("title");
    QTest::addColumn<bool>("dot");
    QTest::addColumn<QColor>("stripe"); // invalid: none
    QTest::addColumn<QString>("source");

    QTest::newRow("unread") << PaletteRig::notification(u"n"_s, u"Deurbel"_s, false) << false
                            << Theme::litDeep() << Theme::text() << true << QColor() << u"flows"_s;
    QTest::newRow("read and selected")
        << PaletteRig::notification(u"n"_s, u"Deurbel"_s, true) << true << Theme::textFaint()
        << Theme::textDim() << false << Theme::lit() << u"flows"_s;
    QTest::newRow("urgent, read") << incident(u"p"_s, 1, true) << false << Theme::lit() << Theme::textDim()
                                  << false << Theme::fade(Theme::lit(), 0.55) << u"prio 1"_s;
    QTest::newRow("priority 2, unread") << incident(u"p"_s, 2, false) << false << Theme::litDeep()
                                        << Theme::text() << true << QColor() << u"prio 2"_s;
    QTest::newRow("no priority") << incident(u"p"_s, std::nullopt, false) << false << Theme::litDeep()
                                 << Theme::text() << true << QColor() << u"p2000"_s;
}

void NotificationsListTest::rowLook()
{
    QFETCH(HomeyNotification, item);
    QFETCH(bool, selected);
    QFETCH(QColor, icon);
    QFETCH(QColor, title);
    QFETCH(bool, dot);
    QFETCH(QColor, stripe);
    QFETCH(QString, source);

    const NotificationRowLook look =
        NotificationRowLook::make(0, item, selected, QDateTime(QDate(2024, 5, 6), QTime(12, 0)));
    QCOMPARE(look.iconColor, icon);
    QCOMPARE(look.titleColor, title);
    QCOMPARE(look.showsDot, dot);
    QCOMPARE(look.showsStripe, stripe.isValid());
    if (stripe.isValid())
        QCOMPARE(look.stripeColor, stripe);
    QCOMPARE(look.source, source);
    QCOMPARE(look.fillColor(false), selected ? Theme::selection() : Theme::white(0));
    QCOMPARE(look.time, item.date.date() == QDate(2024, 5, 6) ? item.date.toString(u"HH:mm"_s) : QString());
    QCOMPARE(look.accessibleName,
             item.title + u". "_s + item.subtitle.value_or(QString()) + u". "_s + item.body);
    QCOMPARE(look.accessibleValue, look.time + (item.isRead ? u", gelezen"_s : u", ongelezen"_s));
}

void NotificationsListTest::header()
{
    PaletteRig rig;
    NotificationsScreen *screen = rig.palette->notifications();
    rig.store->enterNotifications();
    QCOMPARE(screen->count(), u"3"_s);
    for (const auto permission :
         {NotificationsScreen::Permission::Unavailable, NotificationsScreen::Permission::Unknown,
          NotificationsScreen::Permission::Granted}) {
        rig.palette->setBannerPermission(permission);
        QVERIFY(!screen->showsPermissionHint());
    }
    rig.palette->setBannerPermission(NotificationsScreen::Permission::Denied);
    QVERIFY(screen->showsPermissionHint());
    screen->requestPermission();
    screen->openSettings();
    QCOMPARE(rig.permissionRequests, 1);
    QCOMPARE(rig.settings, 1);
    QCOMPARE(screen->clearCap().text, u"Ctrl+Backspace"_s);
}

void NotificationsListTest::bell_data()
{
    QTest::addColumn<int>("unread");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("none") << 0 << u"bell"_s << QString() << u"Meldingen"_s;
    QTest::newRow("below none") << -1 << u"bell"_s << QString() << u"Meldingen"_s;
    QTest::newRow("one") << 1 << u"bell.fill"_s << u"1"_s << u"1 ongelezen melding"_s;
    QTest::newRow("three") << 3 << u"bell.fill"_s << u"3"_s << u"3 ongelezen meldingen"_s;
}

void NotificationsListTest::bell()
{
    QFETCH(int, unread);
    QFETCH(QString, symbol);
    QFETCH(QString, count);
    QFETCH(QString, spoken);
    const NotificationBellLook look = NotificationBellLook::make(unread);
    QCOMPARE(look.symbol, SymbolCatalog::glyph(symbol));
    QCOMPARE(look.count, count);
    QCOMPARE(look.showsBadge, !count.isEmpty());
    QCOMPARE(look.accessibleName, spoken);
    QCOMPARE(look.symbolColor(false), unread >= 1 ? Theme::lit() : Theme::textFaint());
    QCOMPARE(look.symbolColor(true), unread >= 1 ? Theme::lit() : Theme::textDim());
}

void NotificationsListTest::scrollsOnlyForTheKeyboard()
{
    PaletteRig rig;
    NotificationsScreen *screen = rig.palette->notifications();
    rig.store->enterNotifications();
    QSignalSpy scrolled(screen, &NotificationsScreen::scrollRequested);
    rig.key(Qt::Key_Down);
    QCOMPARE(scrolled.size(), 1);
    QCOMPARE(scrolled.takeFirst().at(0).toInt(), 1);

    // A change that came from hovering elsewhere: no scroll, and the flag is used up.
    rig.hoverGate.reset();
    rig.hoverGate.notePointer(QPointF(0, 0), QPointF(0, 0));
    rig.hoverGate.notePointer(QPointF(10, 10), QPointF(10, 10));
    QVERIFY(rig.hoverGate.admitHover());
    rig.store->setSelection(2);
    QCOMPARE(scrolled.size(), 0);
    QVERIFY(!rig.hoverGate.fromMouse());
    screen->activate(0);
    QCOMPARE(scrolled.size(), 1);

    // Outside the rows: nothing to scroll to.
    rig.store->setSelection(-1);
    rig.store->setSelection(3);
    QCOMPARE(scrolled.size(), 1);
}

QTEST_MAIN(NotificationsListTest)
#include "tst_notificationslist.moc"
