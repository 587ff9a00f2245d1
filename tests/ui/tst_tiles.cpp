#include "ui/glowbarlook.h"
#include "ui/modechiplook.h"
#include "ui/roomtilelook.h"
#include "ui/scenechiplook.h"
#include "ui/theme.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Tint = GlowBarLook::Tint;

class TilesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void glowBarLevels_data();
    void glowBarLevels();
    void glowBarScrub_data();
    void glowBarScrub();
    void glowBarFillKeepsTheBarsColours_data();
    void glowBarFillKeepsTheBarsColours();
    void roomTile_data();
    void roomTile();
    void roomTileBorder();
    void sceneChip();
    void modeIsOnOnlyForAToggleThatIsOn_data();
    void modeIsOnOnlyForAToggleThatIsOn();
};

void TilesTest::glowBarLevels_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<Tint>("tint");
    QTest::addColumn<bool>("glows");
    QTest::addColumn<double>("fill"); // in a bar 100 wide and 4 high
    QTest::addColumn<QColor>("glowColor");
    const QColor none(Qt::transparent);
    QTest::newRow("below zero is empty") << -0.3 << Tint::warm() << true << 0.0 << none;
    QTest::newRow("above one is full")
        << 1.7 << Tint::warm() << true << 100.0 << Theme::fade(Theme::lit(), 0.45);
    QTest::newRow("tiny is a round dot")
        << 0.001 << Tint::warm() << true << 4.0 << Theme::fade(Theme::lit(), 0.45);
    QTest::newRow("not glowing") << 0.5 << Tint::warm() << false << 50.0 << none;
    QTest::newRow("temperature glows amber")
        << 0.5 << Tint::temperature() << true << 50.0 << Theme::fade(Theme::lit(), 0.45);
    QTest::newRow("hue glows soft") << 0.5 << Tint::hueWheel() << true << 50.0
                                    << Theme::fade(Theme::litSoft(), 0.45);
    QTest::newRow("saturation glows soft")
        << 0.5 << Tint::saturation(0.3) << true << 50.0 << Theme::fade(Theme::litSoft(), 0.45);
    QTest::newRow("neutral never glows") << 0.5 << Tint::neutral() << true << 50.0 << none;
}

void TilesTest::glowBarLevels()
{
    QFETCH(double, value);
    QFETCH(Tint, tint);
    QFETCH(bool, glows);
    QFETCH(double, fill);
    QFETCH(QColor, glowColor);
    const GlowBarLook look = GlowBarLook::make(value, tint, glows);
    QCOMPARE(look.fillWidth(100, 4), fill);
    QCOMPARE(look.glowColor.rgba(), glowColor.rgba());
    QCOMPARE(look.stopColors.size(), GlowBarLook::stopCount);
    QCOMPARE(look.stopPositions.last().toDouble(), 1.0);
}

void TilesTest::glowBarScrub_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("fraction");
    QTest::newRow("left of the bar") << -5.0 << 100.0 << 0.0;
    QTest::newRow("inside") << 25.0 << 100.0 << 0.25;
    QTest::newRow("beyond the end") << 130.0 << 100.0 << 1.0;
    QTest::newRow("a one pixel bar takes x itself") << 0.4 << 1.0 << 0.4;
    QTest::newRow("a zero width bar clamps x") << 3.0 << 0.0 << 1.0;
}

void TilesTest::glowBarScrub()
{
    QFETCH(double, x);
    QFETCH(double, width);
    QFETCH(double, fraction);
    QCOMPARE(GlowBarLook::make(0.5).scrubFraction(x, width), fraction);
}

void TilesTest::glowBarFillKeepsTheBarsColours_data()
{
    // The warm bar runs deep amber, amber, soft amber at 0, 0.5 and 1.
    const auto mix = [](const QColor &a, const QColor &b) {
        return QColor::fromRgbF((a.redF() + b.redF()) / 2, (a.greenF() + b.greenF()) / 2,
                                (a.blueF() + b.blueF()) / 2);
    };
    QTest::addColumn<double>("part");
    QTest::addColumn<QList<double>>("positions");
    QTest::addColumn<QList<QColor>>("colours");
    QTest::newRow("a quarter") << 0.25 << QList<double>{0, 1}
                               << QList<QColor>{Theme::litDeep(), mix(Theme::litDeep(), Theme::lit())};
    QTest::newRow("three quarters") << 0.75 << QList<double>{0, 2.0 / 3, 1}
                                    << QList<QColor>{Theme::litDeep(), Theme::lit(),
                                                     mix(Theme::lit(), Theme::litSoft())};
    QTest::newRow("full") << 1.0 << QList<double>{0, 0.5, 1}
                          << QList<QColor>{Theme::litDeep(), Theme::lit(), Theme::litSoft()};
    QTest::newRow("empty") << 0.0 << QList<double>{1} << QList<QColor>{Theme::litDeep()};
}

void TilesTest::glowBarFillKeepsTheBarsColours()
{
    QFETCH(double, part);
    QFETCH(QList<double>, positions);
    QFETCH(QList<QColor>, colours);
    const QVariantList stops = GlowBarLook::make(0.5).fillStops(part);
    QCOMPARE(stops.size(), GlowBarLook::stopCount);
    for (qsizetype i = 0; i < stops.size(); ++i) {
        const QVariantMap stop = stops.at(i).toMap();
        const qsizetype own = std::min(i, positions.size() - 1); // the last stop repeats to the end
        QVERIFY(qFuzzyCompare(stop.value(u"position"_s).toDouble() + 1, positions.at(own) + 1));
        const QColor colour = stop.value(u"color"_s).value<QColor>();
        QVERIFY2(std::abs(colour.red() - colours.at(own).red()) <= 1 &&
                     std::abs(colour.blue() - colours.at(own).blue()) <= 1,
                 qPrintable(colour.name()));
    }
}

void TilesTest::roomTile_data()
{
    QTest::addColumn<Room>("room");
    QTest::addColumn<QString>("statusLine");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<double>("glowLevel");
    QTest::addColumn<double>("barOpacity");
    QTest::addColumn<QString>("temperature");
    const auto room = [](int on, int total, double brightness, bool active,
                         std::optional<double> temperature) {
        return Room{.name = u"Woonkamer"_s,
                    .symbol = u"sofa"_s,
                    .deviceCount = 7,
                    .lightsOn = on,
                    .lightsTotal = total,
                    .brightness = brightness,
                    .temperature = temperature,
                    .active = active};
    };
    QTest::newRow("lit with motion and warmth")
        << room(2, 5, 0.5, true, 21.5) << u"2 van 5 aan"_s
        << u"2 van 5 lampen aan, helderheid 50%, er is beweging, 21,5 °C"_s << 0.5 << 1.0 << u"21,5°"_s;
    QTest::newRow("faint light still glows")
        << room(1, 5, 0.05, false, std::nullopt) << u"1 van 5 aan"_s << u"1 van 5 lampen aan, helderheid 5%"_s
        << 0.14 << 1.0 << QString();
    QTest::newRow("all off") << room(0, 3, 0.8, false, 19) << u"0 van 3 aan"_s
                             << u"0 van 3 lampen aan, 19,0 °C"_s << 0.0 << 0.45 << u"19,0°"_s;
    QTest::newRow("no lights at all") << room(0, 0, 0, true, std::nullopt) << u"7 apparaten"_s
                                      << u"7 apparaten, er is beweging"_s << 0.0 << 0.45 << QString();
    Room single = room(1, 1, 0.5, false, std::nullopt);
    QTest::newRow("one lamp") << single << u"1 van 1 aan"_s << u"1 van 1 lamp aan, helderheid 50%"_s << 0.5
                              << 1.0 << QString();
    single = room(0, 0, 0, false, std::nullopt);
    single.deviceCount = 1;
    QTest::newRow("one device") << single << u"1 apparaat"_s << u"1 apparaat"_s << 0.0 << 0.45 << QString();
    QTest::newRow("brightness above one")
        << room(3, 3, 1.4, false, std::nullopt) << u"3 van 3 aan"_s
        << u"3 van 3 lampen aan, helderheid 140%"_s << 1.0 << 1.0 << QString();
}

void TilesTest::roomTile()
{
    QFETCH(Room, room);
    QFETCH(QString, statusLine);
    QFETCH(QString, spoken);
    QFETCH(double, glowLevel);
    QFETCH(double, barOpacity);
    QFETCH(QString, temperature);
    const RoomTileLook look = RoomTileLook::make(room, false);
    QCOMPARE(look.statusLine, statusLine);
    QCOMPARE(look.accessibleValue, spoken);
    QCOMPARE(look.glowLevel, glowLevel);
    QCOMPARE(look.barOpacity, barOpacity);
    QCOMPARE(look.temperature, temperature);
    QCOMPARE(look.bar.glowColor.alpha() > 0, room.lightsOn > 0);
    QCOMPARE(look.plateColor, room.lightsOn > 0 ? Theme::surfaceLit() : Theme::surfaceTile());
}

void TilesTest::roomTileBorder()
{
    const Room dark{.lightsOn = 0, .lightsTotal = 2};
    const Room lit{.lightsOn = 1, .lightsTotal = 2, .brightness = 0.5};
    QCOMPARE(RoomTileLook::make(dark, false).borderColor(false), Theme::white(0.06));
    QCOMPARE(RoomTileLook::make(dark, false).borderColor(true), Theme::white(0.16));
    QCOMPARE(RoomTileLook::make(lit, false).borderColor(true), Theme::fade(Theme::lit(), 0.28));
    QCOMPARE(RoomTileLook::make(lit, true).borderColor(false), Theme::fade(Theme::lit(), 0.55));
    QCOMPARE(RoomTileLook::make(lit, true).borderWidth, 1.0);
}

void TilesTest::sceneChip()
{
    Hit evening{.title = u"Avond"_s, .symbol = u"sparkles"_s};
    const SceneChipLook plain = SceneChipLook::make(evening, std::nullopt, false);
    QVERIFY(!plain.hasShortcut);
    QCOMPARE(plain.accessibleHint, u"Start deze scene"_s);

    const SceneChipLook selected = SceneChipLook::make(evening, 3, true);
    QVERIFY(selected.hasShortcut);
    QCOMPARE(selected.shortcut.text, u"Ctrl+3"_s);
    QCOMPARE(selected.shortcut.fillColor, Theme::litDeep());
    QCOMPARE(SceneChipLook::make(evening, 3, false).shortcut.fillColor, Theme::white(0.08));

    evening.subtitle = u"Sfeer, Woonkamer"_s;
    QCOMPARE(SceneChipLook::make(evening, std::nullopt, false).accessibleHint, u"Sfeer, Woonkamer"_s);
}

void TilesTest::modeIsOnOnlyForAToggleThatIsOn_data()
{
    QTest::addColumn<Hit>("hit");
    QTest::addColumn<bool>("on");
    QTest::newRow("toggle on") << Hit{.accessory = Hit::Accessory::toggle(true)} << true;
    QTest::newRow("toggle off") << Hit{.accessory = Hit::Accessory::toggle(false)} << false;
    QTest::newRow("no accessory") << Hit{.accessory = Hit::Accessory::none()} << false;
    QTest::newRow("a full dimmer") << Hit{.accessory = Hit::Accessory::dimmer(1)} << false;
}

void TilesTest::modeIsOnOnlyForAToggleThatIsOn()
{
    QFETCH(Hit, hit);
    QFETCH(bool, on);
    const ModeChipLook look = ModeChipLook::make(hit, false);
    QCOMPARE(look.isOn, on);
    QCOMPARE(look.accessibleValue, on ? u"aan"_s : u"uit"_s);
    QCOMPARE(look.ringColor, on ? Theme::lit() : Theme::textFaint());
}

QTEST_GUILESS_MAIN(TilesTest)
#include "tst_tiles.moc"
