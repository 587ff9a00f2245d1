#include "app/statusitemlook.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstStatusItemLook : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookFollowsStateAndCount_data()
    {
        QTest::addColumn<ConnectionState>("state");
        QTest::addColumn<int>("unread");
        QTest::addColumn<StatusItemLook>("look");
        using S = ConnectionState;
        QTest::newRow("live, 150 unread")
            << S::live() << 150
            << StatusItemLook{
                   u"house.fill"_s, 1.0, u"99"_s,
                   u"Quorvane is live.\nCtrl+Alt+Space opent het paneel.\n150 ongelezen meldingen"_s};
        QTest::newRow("idle, one unread")
            << S::idle() << 1
            << StatusItemLook{
                   u"house"_s, 0.55, u"1"_s,
                   u"Quorvane. Nog niet verbonden.\nCtrl+Alt+Space opent het paneel.\n1 ongelezen melding"_s};
        QTest::newRow("loading") << S::loading(u"Apparaten ophalen..."_s) << 0
                                 << StatusItemLook{u"house"_s, 0.55, {}, u"Quorvane: Apparaten ophalen..."_s};
        QTest::newRow("degraded") << S::degraded(u"Socket weg"_s) << 0
                                  << StatusItemLook{
                                         u"house.fill"_s,
                                         0.6,
                                         {},
                                         u"Quorvane toont gegevens, maar niet live.\nSocket weg"_s};
        QTest::newRow("failed") << S::failed(u"Geen Homey"_s, u"Kijk de kabel na."_s) << 0
                                << StatusItemLook{u"exclamationmark.triangle.fill"_s,
                                                  1.0,
                                                  {},
                                                  u"Geen Homey\nKijk de kabel na."_s};
        // Nothing to say after a line: no empty line, which a tray host showing the tooltip on one
        // row would turn into a separator with nothing after it.
        QTest::newRow("failed without a hint")
            << S::failed(u"Geen Homey"_s, QString()) << 2
            << StatusItemLook{u"exclamationmark.triangle.fill"_s, 1.0, u"2"_s,
                              u"Geen Homey\n2 ongelezen meldingen"_s};
        QTest::newRow("degraded without a reason")
            << S::degraded(u" "_s) << 0
            << StatusItemLook{u"house.fill"_s, 0.6, {}, u"Quorvane toont gegevens, maar niet live."_s};
        QTest::newRow("a reason ending in a line break")
            << S::degraded(u"Socket weg\n\n"_s) << 1
            << StatusItemLook{u"house.fill"_s, 0.6, u"1"_s,
                              u"Quorvane toont gegevens, maar niet live.\nSocket weg\n1 ongelezen melding"_s};
        QTest::newRow("loading nothing")
            << S::loading(QString()) << 0 << StatusItemLook{u"house"_s, 0.55, {}, u"Quorvane"_s};
        QTest::newRow("connecting, 99 unread")
            << S::connecting() << 99
            << StatusItemLook{u"house"_s, 0.55, u"99"_s,
                              u"Quorvane verbindt met je Homey…\n99 ongelezen meldingen"_s};
    }
    void lookFollowsStateAndCount()
    {
        QFETCH(ConnectionState, state);
        QFETCH(int, unread);
        QFETCH(StatusItemLook, look);
        QCOMPARE(StatusItemLook::of(state, unread, HotKeyCombo::standard()), look);
    }

    void menuShowsCountHotKeyAndKeys()
    {
        const HotKeyCombo superA{0, HotKeyCombo::commandMask};
        const QList<StatusMenu::Entry> entries = StatusMenu::entries(150, superA, u"0.1.0"_s);
        QStringList titles;
        QStringList shortcuts;
        for (const StatusMenu::Entry &entry : entries) {
            titles << (entry.separator ? u"-"_s : entry.title);
            shortcuts << entry.shortcut;
        }
        QCOMPARE(titles, (QStringList{u"Quorvane 0.1.0"_s, u"-"_s, u"Paneel openen  (Super+A)"_s,
                                      u"Meldingen (150)  (Ctrl+N)"_s, u"Opnieuw verbinden"_s, u"-"_s,
                                      u"Instellingen…"_s, u"Toon logboek"_s, u"-"_s, u"Stop Quorvane"_s}));
        QCOMPARE(shortcuts, (QStringList{{}, {}, {}, {}, u"Ctrl+R"_s, {}, u"Ctrl+,"_s, {}, {}, u"Ctrl+Q"_s}));
        QVERIFY(!entries.constFirst().enabled);
        QCOMPARE(StatusMenu::notificationsTitle(0), u"Meldingen  (Ctrl+N)"_s);
        // The live and idle tooltips name the hot key too.
        QVERIFY(StatusItemLook::of(ConnectionState::live(), 0, superA).tooltip.contains(u"Super+A opent"_s));
    }

    // Where the desktop allows no global hot key (Wayland), neither tooltip nor menu names one.
    void noHotKeyIsNamedWhereTheDesktopAllowsNone()
    {
        QCOMPARE(StatusItemLook::of(ConnectionState::live(), 2, std::nullopt).tooltip,
                 u"Quorvane is live.\n2 ongelezen meldingen"_s);
        QCOMPARE(StatusItemLook::of(ConnectionState::idle(), 0, std::nullopt).tooltip,
                 u"Quorvane. Nog niet verbonden."_s);
        QCOMPARE(StatusMenu::entries(0, std::nullopt, u"0.1.0"_s).at(2).title, u"Paneel openen"_s);
    }
};

QTEST_APPLESS_MAIN(TstStatusItemLook)
#include "tst_statusitemlook.moc"
