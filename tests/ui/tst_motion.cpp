#include "ui/desktopmotionsetting.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"

#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

using Answer = std::optional<bool>;

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
    QTest::newRow("wrapped twice") << portal << u"reduced-motion"_s
                                   << QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(1u))))
                                   << Answer(true);
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

QTEST_GUILESS_MAIN(MotionTest)
#include "tst_motion.moc"
