#include "ui/controls/armmodechiplook.h"
#include "ui/controls/controlrowlook.h"
#include "ui/controls/controlrowview.h"
#include "ui/theme.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

ControlRowView row(ControlRow::Kind kind)
{
    ControlRowView view;
    view.kind = kind;
    view.focusable = kind != ControlRow::Kind::Sensor && kind != ControlRow::Kind::Readonly;
    view.enabled = view.focusable;
    return view;
}

ControlRowView button(ControlRow::Kind kind, bool on, bool armed, bool prominent)
{
    ControlRowView view = row(kind);
    view.hasButton = true;
    view.on = on;
    view.armed = armed;
    view.prominent = prominent;
    return view;
}

ControlRowView bar(ControlRow::Kind kind, double value, bool enabled = true)
{
    ControlRowView view = row(kind);
    view.bar = true;
    view.value = value;
    view.enabled = enabled && view.focusable;
    view.tint = kind == ControlRow::Kind::Readonly ? u"neutral"_s : u"warm"_s;
    return view;
}

const QColor clear(Qt::transparent);

} // namespace

Q_DECLARE_METATYPE(ControlRowView)

class TestControlRowLook : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buttons_data()
    {
        QTest::addColumn<ControlRowView>("view");
        QTest::addColumn<QColor>("ink");
        QTest::addColumn<QColor>("fill");
        QTest::addColumn<QColor>("border");
        QTest::newRow("unlock, waiting for the first press")
            << button(ControlRow::Kind::Lock, true, false, false) << Theme::textDim() << clear
            << Theme::white(0.14);
        QTest::newRow("lock it") << button(ControlRow::Kind::Lock, false, false, true) << Theme::text()
                                 << Theme::white(0.09) << clear;
        QTest::newRow("press again") << button(ControlRow::Kind::OpenButton, false, true, false)
                                     << QColor(Qt::white) << Theme::fade(Theme::alarm(), 0.85)
                                     << Theme::alarm();
        QTest::newRow("playing") << button(ControlRow::Kind::Media, true, false, false) << Theme::lit()
                                 << Theme::fade(Theme::lit(), 0.16) << clear;
    }
    void buttons()
    {
        QFETCH(ControlRowView, view);
        QFETCH(QColor, ink);
        QFETCH(QColor, fill);
        QFETCH(QColor, border);
        const ControlRowLook look = ControlRowLook::make(view);
        QCOMPARE(look.buttonInk, ink);
        QCOMPARE(look.buttonFill, fill);
        QCOMPARE(look.buttonBorder, border);
        QCOMPARE(look.warningGlyph.isEmpty(), !view.armed);
    }

    void bars_data()
    {
        QTest::addColumn<ControlRowView>("view");
        QTest::addColumn<bool>("glows");
        QTest::addColumn<bool>("scrubbable");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<QColor>("readout");
        QTest::newRow("lit level") << bar(ControlRow::Kind::Slider, 0.4) << true << true << 1.0
                                   << Theme::litSoft();
        QTest::newRow("dark level") << bar(ControlRow::Kind::Slider, 0) << false << true << 1.0
                                    << Theme::textFaint();
        QTest::newRow("range that cannot be mapped")
            << bar(ControlRow::Kind::Slider, 0, false) << false << false << 0.4 << Theme::textFaint();
        QTest::newRow("reading") << bar(ControlRow::Kind::Readonly, 0.7) << false << false << 1.0
                                 << Theme::textDim();
    }
    void bars()
    {
        QFETCH(ControlRowView, view);
        QFETCH(bool, glows);
        QFETCH(bool, scrubbable);
        QFETCH(double, opacity);
        QFETCH(QColor, readout);
        const ControlRowLook look = ControlRowLook::make(view);
        QCOMPARE(look.bar.glowColor.alpha() > 0, glows);
        QCOMPARE(look.bar.scrubbable, scrubbable);
        QCOMPARE(look.controlOpacity, opacity);
        QCOMPARE(look.readoutColor, readout);
    }

    void alarmModeUnderTheCursor()
    {
        const auto chip = [](bool current, bool cursor) {
            return ArmModeChipLook::make(
                QVariantMap{{u"id"_s, u"disarmed"_s},
                            {u"current"_s, current},
                            {u"cursor"_s, cursor},
                            {u"accessibleValue"_s, current ? u"huidige stand"_s : QString()},
                            {u"accessibleHint"_s, u"Druk nogmaals"_s}});
        };
        const ArmModeChipLook current = chip(true, true);
        QCOMPARE(current.inkColor, Theme::litSoft());
        QCOMPARE(current.borderColor, Theme::fade(Theme::lit(), 0.9));
        QCOMPARE(current.borderWidth, 1.0);
        QCOMPARE(current.accessibleDescription, u"huidige stand, Druk nogmaals"_s);
        QCOMPARE(chip(false, false).borderColor, clear);
    }
};

QTEST_GUILESS_MAIN(TestControlRowLook)
#include "tst_controlrowlook.moc"
