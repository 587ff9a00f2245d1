#include "ports/desktopsettings.h"
#include "ui/desktopmotionsetting.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using Answer = std::optional<bool>;

namespace {

// Settings a test hands out one by one.
class FakeSettings final : public DesktopSettings {
public:
    void watch(QList<Key> watched, OnValue onValue) override
    {
        keys = watched;
        send = std::move(onValue);
    }
    QList<Key> keys;
    OnValue send;
};

} // namespace

class MotionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void visibilityAnnouncesOnlyChanges();
    void repeatingNeedsAVisiblePanelAndFullMotion();
    void watchedChangesAnimateOnlyOnScreenWithFullMotion_data();
    void watchedChangesAnimateOnlyOnScreenWithFullMotion();
    void overrideWinsOverTheDesktop();
    void parseOverride_data();
    void parseOverride();
    void desktopSettings_data();
    void desktopSettings();
    void theFirstKeyThatAnsweredDecides();
    void waveEasesThereAndBack_data();
    void waveEasesThereAndBack();
    void beatRunsOnlyWhileRepeating();
};

void MotionTest::visibilityAnnouncesOnlyChanges()
{
    PanelVisibility visibility;
    QSignalSpy changed(&visibility, &PanelVisibility::isVisibleChanged);
    visibility.set(true);
    visibility.set(true);
    QCOMPARE(changed.size(), 1);
    visibility.set(false);
    visibility.set(false);
    QCOMPARE(changed.size(), 2);
    QVERIFY(!visibility.isVisible());
}

void MotionTest::repeatingNeedsAVisiblePanelAndFullMotion()
{
    PanelVisibility visibility;
    MotionPreference preference(std::nullopt, nullptr);
    Motion motion(&visibility, &preference);
    QSignalSpy changed(&motion, &Motion::changed);
    QVERIFY(!motion.repeating());
    visibility.set(true);
    QVERIFY(motion.repeating());
    QCOMPARE(motion.quick(), 140);
    preference.setDesktopReduced(true);
    QVERIFY(!motion.repeating());
    QCOMPARE(motion.quick(), 0);
    QCOMPARE(motion.smooth(), 0);
    QCOMPARE(motion.hoverLift(), 0.0);
    QCOMPARE(changed.size(), 2);
}

// The strip sliding in, the row growing for it and the counting figures: a hidden panel or reduced
// motion takes each change at once (pictures and tests run with reduced motion).
void MotionTest::watchedChangesAnimateOnlyOnScreenWithFullMotion_data()
{
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("reduced");
    QTest::addColumn<bool>("animates");
    QTest::newRow("on screen, full motion") << true << false << true;
    QTest::newRow("on screen, reduced") << true << true << false;
    QTest::newRow("hidden, full motion") << false << false << false;
    QTest::newRow("hidden, reduced") << false << true << false;
}

void MotionTest::watchedChangesAnimateOnlyOnScreenWithFullMotion()
{
    QFETCH(bool, visible);
    QFETCH(bool, reduced);
    QFETCH(bool, animates);
    PanelVisibility visibility;
    MotionPreference preference(reduced, nullptr);
    Motion motion(&visibility, &preference);
    QSignalSpy changed(&motion, &Motion::changed);
    visibility.set(visible);
    QCOMPARE(changed.size(), visible ? 1 : 0);
    QCOMPARE(motion.animates(), animates);
    QCOMPARE(motion.count(), animates ? 180 : 0);
}

void MotionTest::overrideWinsOverTheDesktop()
{
    MotionPreference preference(false, nullptr);
    QSignalSpy changed(&preference, &MotionPreference::reducedChanged);
    preference.setDesktopReduced(true);
    QVERIFY(!preference.reduced());
    QCOMPARE(changed.size(), 0);

    MotionPreference reduced(true, nullptr);
    reduced.setDesktopReduced(false);
    QVERIFY(reduced.reduced());
}

void MotionTest::parseOverride_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Answer>("answer");
    QTest::newRow("1") << u"1"_s << Answer(true);
    QTest::newRow("yes, padded") << u" Yes "_s << Answer(true);
    QTest::newRow("0") << u"0"_s << Answer(false);
    QTest::newRow("off") << u"off"_s << Answer(false);
    QTest::newRow("unset") << QString() << Answer();
    QTest::newRow("nonsense") << u"maybe"_s << Answer();
}

void MotionTest::parseOverride()
{
    QFETCH(QString, text);
    QFETCH(Answer, answer);
    QCOMPARE(MotionPreference::parseOverride(text), answer);
}

void MotionTest::desktopSettings_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<Answer>("answer");
    const QString portal = u"org.freedesktop.appearance"_s;
    const QString gnome = u"org.gnome.desktop.interface"_s;
    const QString kde = u"org.kde.kdeglobals.KDE"_s;
    QTest::newRow("portal asks to reduce") << portal << u"reduced-motion"_s << QVariant(1u) << Answer(true);
    QTest::newRow("portal has no wish") << portal << u"reduced-motion"_s << QVariant(0u) << Answer(false);
    QTest::newRow("animations off") << gnome << u"enable-animations"_s << QVariant(false) << Answer(true);
    QTest::newRow("animations on") << gnome << u"enable-animations"_s << QVariant(true) << Answer(false);
    QTest::newRow("animations as text")
        << gnome << u"enable-animations"_s << QVariant(u"false"_s) << Answer();
    QTest::newRow("durations zero") << kde << u"AnimationDurationFactor"_s << QVariant(0.0) << Answer(true);
    QTest::newRow("durations halved")
        << kde << u"AnimationDurationFactor"_s << QVariant(0.5) << Answer(false);
    QTest::newRow("another key") << gnome << u"font-name"_s << QVariant(u"Cantarell"_s) << Answer();
}

void MotionTest::desktopSettings()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(Answer, answer);
    QCOMPARE(DesktopMotionSetting::interpret(group, key, value), answer);
}

void MotionTest::theFirstKeyThatAnsweredDecides()
{
    MotionPreference preference(std::nullopt, nullptr);
    FakeSettings settings;
    new DesktopMotionSetting(&preference, settings);
    QCOMPARE(settings.keys.size(), 3);
    const QString gnome = u"org.gnome.desktop.interface"_s;
    settings.send(gnome, u"enable-animations"_s, QVariant(false));
    QVERIFY(preference.reduced());
    // The portal's own key outranks GNOME's, whenever it comes.
    settings.send(u"org.freedesktop.appearance"_s, u"reduced-motion"_s, QVariant(0u));
    QVERIFY(!preference.reduced());
    settings.send(gnome, u"enable-animations"_s, QVariant(false));
    QVERIFY(!preference.reduced());
    // An answer of the wrong type changes nothing.
    settings.send(u"org.freedesktop.appearance"_s, u"reduced-motion"_s, QVariant(u"yes"_s));
    QVERIFY(!preference.reduced());
}

void MotionTest::waveEasesThereAndBack_data()
{
    QTest::addColumn<double>("beat");
    QTest::addColumn<double>("halfPeriod");
    QTest::addColumn<double>("expected");
    QTest::newRow("at rest") << 0.0 << 1600.0 << 0.0;
    QTest::newRow("easing in") << 400.0 << 1600.0 << 0.125;
    QTest::newRow("halfway up") << 800.0 << 1600.0 << 0.5;
    QTest::newRow("easing out") << 1200.0 << 1600.0 << 0.875;
    QTest::newRow("at the top") << 1600.0 << 1600.0 << 1.0;
    QTest::newRow("halfway down") << 2400.0 << 1600.0 << 0.5;
    QTest::newRow("the next cycle") << 3200.0 + 400.0 << 1600.0 << 0.125;
    QTest::newRow("no period") << 800.0 << 0.0 << 0.0;
    QTest::newRow("negative period") << 800.0 << -1600.0 << 0.0;
    QTest::newRow("beat not a number") << qQNaN() << 1600.0 << 0.0;
    QTest::newRow("beat infinite") << qInf() << 1600.0 << 0.0;
}

void MotionTest::waveEasesThereAndBack()
{
    QFETCH(double, beat);
    QFETCH(double, halfPeriod);
    QFETCH(double, expected);
    PanelVisibility visibility;
    MotionPreference preference(false, nullptr);
    const Motion motion(&visibility, &preference);
    QCOMPARE(motion.wave(beat, halfPeriod), expected);
}

// The breath and the pulses follow the beat: it runs while they may move, and rests at 0 when they may not.
void MotionTest::beatRunsOnlyWhileRepeating()
{
    PanelVisibility visibility;
    MotionPreference preference(std::nullopt, nullptr);
    Motion motion(&visibility, &preference);
    QSignalSpy beats(&motion, &Motion::beatChanged);
    QVERIFY(!motion.beats());
    visibility.set(true);
    QVERIFY(motion.beats());
    QTRY_VERIFY(motion.beat() > 0);
    QVERIFY(!beats.isEmpty());

    preference.setDesktopReduced(true);
    QVERIFY(!motion.beats());
    QCOMPARE(motion.beat(), 0.0);
    preference.setDesktopReduced(false);
    QVERIFY(motion.beats());
    visibility.set(false);
    QVERIFY(!motion.beats());
    QCOMPARE(motion.beat(), 0.0);
}

QTEST_GUILESS_MAIN(MotionTest)
#include "tst_motion.moc"
