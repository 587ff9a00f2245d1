#include "ui/errorbarlook.h"
#include "ui/keyhint.h"
#include "ui/keytext.h"
#include "ui/resultrowlook.h"
#include "ui/sectionheaderlook.h"
#include "ui/statusbarlook.h"
#include "ui/theme.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Accessory = Hit::Accessory;
using Target = Hit::Target;

class RowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultRow_data();
    void resultRow();
    void returnVerbOfATypedVerb_data();
    void returnVerbOfATypedVerb();
    void resultRowFillAndHeight();
    void resultRowEqualityIgnoresHandlers();
    void connection_data();
    void connection();
    void energyFigures_data();
    void energyFigures();
    void errorBar();
    void keys_data();
    void keys();
    void hintsAndHeaders();
};

void RowsTest::resultRow_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<Accessory>("accessory");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("accessoryText");
    QTest::addColumn<QString>("spokenValue");
    QTest::addColumn<QColor>("symbolColor"); // when not selected
    const Target device = Target::device(u"d"_s);
    const Target room = Target::room(u"z"_s);
    QTest::newRow("flow") << Target::flow(u"f"_s, false) << Accessory::run() << u"start"_s << u"start"_s
                          << u"uitvoerbaar"_s << Theme::textFaint();
    QTest::newRow("mood") << Target::mood(u"m"_s) << Accessory::none() << u"start"_s << QString() << QString()
                          << Theme::textFaint();
    QTest::newRow("lit room") << room << Accessory::toggle(true) << u"uit"_s << u"aan"_s << u"aan"_s
                              << Theme::litDeep();
    QTest::newRow("dimmed room") << room << Accessory::dimmer(0.2) << u"uit"_s << u"20%"_s << u"20%"_s
                                 << Theme::litDeep();
    QTest::newRow("dark room") << room << Accessory::dimmer(0) << u"aan"_s << u"0%"_s << u"0%"_s
                               << Theme::textFaint();
    QTest::newRow("sensor") << device << Accessory::value(u"19,5 °C"_s) << u"toon"_s << u"19,5 °C"_s
                            << u"19,5 °C"_s << Theme::textFaint();
    QTest::newRow("dimmer at 0") << device << Accessory::dimmer(0) << u"aan"_s << u"0%"_s << u"0%"_s
                                 << Theme::textFaint();
    QTest::newRow("dimmer at 0.3") << device << Accessory::dimmer(0.3) << u"uit"_s << u"30%"_s << u"30%"_s
                                   << Theme::litDeep();
    QTest::newRow("switch off") << device << Accessory::toggle(false) << u"aan"_s << u"uit"_s << u"uit"_s
                                << Theme::textFaint();
    QTest::newRow("button") << device << Accessory::run() << u"doe"_s << u"start"_s << u"uitvoerbaar"_s
                            << Theme::textFaint();
    QTest::newRow("nothing") << device << Accessory::none() << u"doe"_s << QString() << QString()
                             << Theme::textFaint();
}

void RowsTest::resultRow()
{
    QFETCH(Target, target);
    QFETCH(Accessory, accessory);
    QFETCH(QString, verb);
    QFETCH(QString, accessoryText);
    QFETCH(QString, spokenValue);
    QFETCH(QColor, symbolColor);
    const Hit hit{.target = target, .title = u"Lamp"_s, .accessory = accessory};
    const ResultRowLook look = ResultRowLook::make(0, hit, true);
    QCOMPARE(look.verb, verb);
    QCOMPARE(look.accessoryText, accessoryText);
    QCOMPARE(look.accessibleValue, spokenValue);
    QCOMPARE(look.symbolColor, Theme::lit());
    QCOMPARE(look.titleFont().weight(), QFont::DemiBold);
    const ResultRowLook plain = ResultRowLook::make(0, hit, false);
    QCOMPARE(plain.symbolColor, symbolColor);
    QCOMPARE(plain.titleFont().weight(), QFont::Normal);
    // "start" of a runnable hit is set a little smaller than a value.
    QCOMPARE(look.accessoryFont().pointSizeF() < Theme::mono(10.5).pointSizeF(),
             accessory.kind() == Accessory::Kind::run);
}

void RowsTest::returnVerbOfATypedVerb_data()
{
    QTest::addColumn<Target>("target");
    QTest::addColumn<Accessory>("accessory");
    QTest::addColumn<RunAction>("action");
    QTest::addColumn<QString>("verb");
    const auto action = [](RunAction::Kind kind, double level = 0) {
        RunAction a;
        a.kind = kind;
        a.level = level;
        return a;
    };
    const Target lamp = Target::device(u"d"_s);
    const Target room = Target::room(u"z"_s);
    // The row shows the level it will have; Return sets it, it does not switch the lamp off.
    QTest::newRow("a level for a dark lamp")
        << lamp << Accessory::dimmer(0.4) << action(RunAction::Kind::SetLevel, 0.4) << u"40%"_s;
    QTest::newRow("a level for a lit room")
        << room << Accessory::toggle(true) << action(RunAction::Kind::SetLevel, 0.3) << u"30%"_s;
    QTest::newRow("on, for a lit room")
        << room << Accessory::toggle(true) << action(RunAction::Kind::SwitchOn) << u"aan"_s;
    QTest::newRow("off, for a dark room")
        << room << Accessory::toggle(false) << action(RunAction::Kind::SwitchOff) << u"uit"_s;
    QTest::newRow("on, shown as on already")
        << lamp << Accessory::toggle(true) << action(RunAction::Kind::SwitchOn) << u"aan"_s;
    QTest::newRow("off, shown as off already")
        << lamp << Accessory::toggle(false) << action(RunAction::Kind::SwitchOff) << u"uit"_s;
    QTest::newRow("dim opens the controls")
        << lamp << Accessory::dimmer(0.3) << action(RunAction::Kind::OpenStrip) << u"toon"_s;
    // A verb that does not apply leaves the row's own state to name Return.
    QTest::newRow("no verb that applies")
        << lamp << Accessory::toggle(true) << action(RunAction::Kind::Default) << u"uit"_s;
    QTest::newRow("a flow ignores the verb")
        << Target::flow(u"f"_s, false) << Accessory::run() << action(RunAction::Kind::Start) << u"start"_s;
}

void RowsTest::returnVerbOfATypedVerb()
{
    QFETCH(Target, target);
    QFETCH(Accessory, accessory);
    QFETCH(RunAction, action);
    QFETCH(QString, verb);
    const Hit hit{.target = target, .title = u"Lamp"_s, .accessory = accessory};
    const ResultRowLook look = ResultRowLook::make(0, hit, true, false, 0, false, action);
    QCOMPARE(look.verb, verb);
    // A list redraws a row whose verb alone changed.
    QCOMPARE(look == ResultRowLook::make(0, hit, true), look.verb == ResultRowLook::make(0, hit, true).verb);
}

void RowsTest::resultRowFillAndHeight()
{
    const Hit bare{.title = u"Lamp"_s, .subtitle = u""_s};
    QCOMPARE(ResultRowLook::make(0, bare).height, Theme::rowHeightCompact);
    QCOMPARE(ResultRowLook::make(0, bare).accessibleName, u"Lamp"_s);
    const Hit subtitled{.title = u"Lamp"_s, .subtitle = u"K"_s};
    QCOMPARE(ResultRowLook::make(0, subtitled).height, Theme::rowHeight);
    QCOMPARE(ResultRowLook::make(0, subtitled).accessibleName, u"Lamp, K"_s);

    QCOMPARE(ResultRowLook::make(0, bare, false, false, -0.5).fill, 0.0);
    QCOMPARE(ResultRowLook::make(0, bare, false, false, 1.7).fill, 1.0);
    QCOMPARE(ResultRowLook::make(0, bare, false, false, 0.01).washWidth(400), 8.0);
    QCOMPARE(ResultRowLook::make(0, bare, false, false, 0.5).washWidth(400), 200.0);

    const Hit dark{.accessory = Accessory::dimmer(0)};
    const ResultRowLook dimmer = ResultRowLook::make(0, dark);
    QCOMPARE(dimmer.accessoryColor, Theme::textFaint());
    QCOMPARE(dimmer.level.glowColor.alpha(), 0);
}

void RowsTest::resultRowEqualityIgnoresHandlers()
{
    const Hit hit{.title = u"Lamp"_s, .accessory = Accessory::dimmer(0.5)};
    QCOMPARE(ResultRowLook::make(1, hit, true, false, 0.5, true),
             ResultRowLook::make(1, hit, true, false, 0.5, false));
    QVERIFY(!(ResultRowLook::make(1, hit) == ResultRowLook::make(2, hit)));
    QVERIFY(!(ResultRowLook::make(1, hit, false, false) == ResultRowLook::make(1, hit, false, true)));
    Hit renamed = hit;
    renamed.title = u"Lamp 2"_s;
    QVERIFY(!(ResultRowLook::make(1, hit) == ResultRowLook::make(1, renamed)));
}

void RowsTest::connection_data()
{
    QTest::addColumn<ConnectionState>("state");
    QTest::addColumn<StatusTone>("tone");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("settled");
    QTest::addColumn<QColor>("labelColor");
    QTest::addColumn<bool>("breathes");
    QTest::newRow("loading") << ConnectionState::loading(u"Zones ophalen..."_s) << StatusTone::busy
                             << u"Zones ophalen..."_s << false << Theme::litSoft() << true;
    QTest::newRow("connecting") << ConnectionState::connecting() << StatusTone::busy << u"Verbinden"_s
                                << false << Theme::litSoft() << true;
    QTest::newRow("degraded") << ConnectionState::degraded(u"socket weg"_s) << StatusTone::warn
                              << u"Vertraagd"_s << true << Theme::lit() << false;
    QTest::newRow("failed") << ConnectionState::failed(u"Mis"_s, u"Probeer"_s) << StatusTone::fail
                            << u"Fout"_s << true << Theme::alarm() << false;
    QTest::newRow("idle") << ConnectionState::idle() << StatusTone::off << u"Niet gekoppeld"_s << false
                          << Theme::textFaint() << false;
    QTest::newRow("live") << ConnectionState::live() << StatusTone::live << u"Live"_s << true
                          << Theme::textDim() << true;
}

void RowsTest::connection()
{
    QFETCH(ConnectionState, state);
    QFETCH(StatusTone, tone);
    QFETCH(QString, label);
    QFETCH(bool, settled);
    QFETCH(QColor, labelColor);
    QFETCH(bool, breathes);
    QCOMPARE(statusTone(state), tone);
    QCOMPARE(connectionLabel(state), label);
    QCOMPARE(isSettled(state), settled);
    const StatusBarLook bar = StatusBarLook::make(state, {}, {});
    QCOMPARE(bar.label, label);
    QCOMPARE(bar.labelColor, labelColor);
    QCOMPARE(bar.dot.breathes, breathes);
    QCOMPARE(bar.dot.color, toneColour(tone));
}

void RowsTest::energyFigures_data()
{
    QTest::addColumn<EnergyState>("energy");
    QTest::addColumn<QString>("headline");
    QTest::addColumn<QStringList>("figures"); // symbol name, value and unit of each, warm ones marked
    QTest::addColumn<QString>("spoken");
    QTest::newRow("exporting") << EnergyState{.consumptionW = 1234, .generationW = 3100, .netW = -500}
                               << u"3 lampen aan"_s
                               << QStringList{u"1.234 W verbruik"_s, u"sun.max 3.100 W opwek"_s,
                                              u"arrow.up 500 W naar het net (warm)"_s}
                               << u"Verbinding: Live. 3 lampen aan Verbruik 1.234 W, opwek 3.100 W. "
                                  u"500 W terug naar het net."_s;
    QTest::newRow("importing") << EnergyState{.consumptionW = 850, .generationW = 0, .netW = 850} << QString()
                               << QStringList{u"850 W verbruik"_s, u"arrow.down 850 W van het net"_s}
                               << u"Verbinding: Live. Verbruik 850 W, opwek 0 W. 850 W van het net."_s;
    QTest::newRow("balanced within a watt")
        << EnergyState{.consumptionW = 300, .generationW = 1, .netW = -1} << QString()
        << QStringList{u"300 W verbruik"_s}
        << u"Verbinding: Live. Verbruik 300 W, opwek 1 W. 1 W van het net."_s;
    QTest::newRow("one watt drawn") << EnergyState{.consumptionW = 300, .netW = 1} << QString()
                                    << QStringList{u"300 W verbruik"_s}
                                    << u"Verbinding: Live. Verbruik 300 W, opwek 0 W. 1 W van het net."_s;
}

void RowsTest::energyFigures()
{
    QFETCH(EnergyState, energy);
    QFETCH(QString, headline);
    QFETCH(QStringList, figures);
    QFETCH(QString, spoken);
    const StatusBarLook bar = StatusBarLook::make(ConnectionState::live(), headline, energy);
    QStringList shown;
    for (const StatusFigure &f : bar.figures) {
        QStringList parts{f.symbolName, f.value, f.unit};
        parts.removeAll(QString());
        shown << parts.join(u' ') + (f.warm ? u" (warm)"_s : QString());
    }
    QCOMPARE(shown, figures);
    QCOMPARE(bar.accessibleName, spoken);
}

void RowsTest::errorBar()
{
    const ErrorBarLook look = ErrorBarLook::make(u"Homey onbereikbaar"_s, QString(), false, true);
    QVERIFY(!look.canRetry);
    QVERIFY(look.canDismiss);
    QCOMPARE(look.accessibleName, u"Homey onbereikbaar. "_s);
    QCOMPARE(look.retryCap.text, u"Ctrl+R"_s);
}

void RowsTest::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("shown");
    QTest::newRow("command alone") << u"⌘"_s << u"Ctrl"_s;
    QTest::newRow("command with a letter") << u"⌘R"_s << u"Ctrl+R"_s;
    QTest::newRow("command with an arrow") << u"⌘←"_s << u"Ctrl+←"_s;
    QTest::newRow("option and shift") << u"⌥⇧K"_s << u"Alt+Shift+K"_s;
    QTest::newRow("escape") << u"esc"_s << u"Esc"_s;
    QTest::newRow("tab") << u"⇥"_s << u"Tab"_s;
    QTest::newRow("shift+tab") << u"⇧⇥"_s << u"Shift+Tab"_s;
    QTest::newRow("command with backspace") << u"⌘⌫"_s << u"Ctrl+Backspace"_s;
    QTest::newRow("return stays") << u"⏎"_s << u"⏎"_s;
    QTest::newRow("a plain letter") << u"K"_s << u"K"_s;
}

void RowsTest::keys()
{
    QFETCH(QString, key);
    QFETCH(QString, shown);
    QCOMPARE(KeyText::display(key), shown);
}

void RowsTest::hintsAndHeaders()
{
    QCOMPARE(KeyHint({u"⌘"_s, u"K"_s}, u"bedienen"_s).id, u"⌘Kbedienen"_s);
    QCOMPARE(KeyHint({}, u"typ om te zoeken"_s).id, u"typ om te zoeken"_s);
    const SectionHeaderLook header = SectionHeaderLook::make(u"Lampen in de Keuken"_s, u"3 van 4"_s);
    QCOMPARE(header.title, u"LAMPEN IN DE KEUKEN"_s);
    QCOMPARE(header.trailing, u"3 van 4"_s);
}

QTEST_GUILESS_MAIN(RowsTest)
#include "tst_rows.moc"
