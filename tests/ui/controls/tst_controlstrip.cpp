#include "awaittask.h"
#include "controldevices.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "recordingwriter.h"
#include "store/home/homestore.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/controls/guardgate.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlProperty>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace ControlDevices;

namespace {

// What a screen reader calls the item, if anything.
QString spokenName(QQuickItem *item)
{
    QQmlContext *context = qmlContext(item);
    return context ? QQmlProperty(item, u"Accessible.name"_s, context).read().toString() : QString();
}

// The first visible item a screen reader knows by this name, searched depth first.
QQuickItem *spoken(QQuickItem *root, const QString &name)
{
    for (QQuickItem *child : root->childItems()) {
        if (!child->isVisible())
            continue;
        if (QQuickItem *found = spoken(child, name))
            return found;
        // The row frames carry the title too; controls are the innermost items with the name.
        if (spokenName(child) == name)
            return child;
    }
    return nullptr;
}

QPoint centre(QQuickItem *item)
{
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

} // namespace

// The strip in a window, driven with the mouse: each control reaches the model with its own row.
class TestControlStrip : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock;
    std::unique_ptr<HomeStore> m_store;
    std::shared_ptr<RecordingWriter> m_writer;
    std::unique_ptr<GuardGate> m_gate;
    std::unique_ptr<LevelCoalescer> m_coalescer;
    std::unique_ptr<ControlStripModel> m_model;
    PanelVisibility m_visibility;
    MotionPreference m_preference{true, nullptr};
    Motion m_motion{&m_visibility, &m_preference};
    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QQuickItem> m_strip;

    // Shows the strip of the device and finds the control a screen reader knows by this name.
    QQuickItem *control(const QString &name)
    {
        m_window->grabWindow();
        QQuickItem *found = spoken(m_strip.get(), name);
        if (!found)
            qWarning("no control named %s", qPrintable(name));
        return found;
    }
    void click(const QString &name)
    {
        QQuickItem *item = control(name);
        QVERIFY(item);
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre(item));
    }
    void open(const QString &deviceID)
    {
        m_model = std::make_unique<ControlStripModel>(m_store.get(), deviceID, m_writer, m_gate.get(),
                                                      m_coalescer.get());
        QQmlComponent component(&m_engine);
        component.setData("import Quorvane.Ui\nControlStrip {}\n", QUrl(u"strip.qml"_s));
        QVERIFY2(component.isReady(), qPrintable(component.errorString()));
        m_strip.reset(qobject_cast<QQuickItem *>(
            component.createWithInitialProperties({{u"rows"_s, QVariant::fromValue(m_model.get())},
                                                   {u"motion"_s, QVariant::fromValue(&m_motion)}})));
        QVERIFY(m_strip);
        m_strip->setParentItem(m_window->contentItem());
        m_strip->setWidth(480);
        m_window->resize(480, 300);
        m_window->show();
    }

private Q_SLOTS:
    void init()
    {
        // The strip's bindings must not read a model that is gone while it is torn down.
        QTest::failOnWarning(QRegularExpression(u"TypeError"_s));
        m_clock = std::make_shared<ManualClock>();
        auto rest = std::make_shared<FakeRestClient>(m_clock);
        rest->home.zones = {Zone{.id = u"woonkamer"_s, .name = u"Woonkamer"_s}};
        rest->home.devices = {colourLamp(), thermostat(), lock(), alarm()};
        m_store = std::make_unique<HomeStore>(rest, std::make_shared<FakeRealtime>(), nullptr,
                                              SettingsStore(u"controlstrip"_s), HomeStore::Options{m_clock});
        awaitTask(m_store->start());
        m_clock->advance(0ms);
        m_writer = std::make_shared<RecordingWriter>(m_clock);
        m_gate = std::make_unique<GuardGate>(m_clock);
        m_coalescer = std::make_unique<LevelCoalescer>(m_writer, m_clock);
        m_window = std::make_unique<QQuickWindow>();
    }
    void cleanup()
    {
        m_strip.reset();
        m_window.reset();
        m_model.reset();
        m_coalescer.reset();
        m_gate.reset();
        awaitTask(m_store->stop());
        m_store.reset();
    }

    void switchAndBarsWriteTheirOwnCapability()
    {
        open(u"kleurlamp"_s);
        click(u"onoff"_s);
        QCOMPARE(m_writer->writes.size(), 1);
        QCOMPARE(m_writer->writes[0].capabilityID, u"onoff"_s);
        QCOMPARE(m_writer->writes[0].value, CapabilityValue::fromBool(false));

        // A drag through twenty places: the first goes out at once, where it ended goes out last.
        QQuickItem *bar = control(u"light_saturation"_s);
        QVERIFY(bar);
        const QPointF left = bar->mapToScene(QPointF(0, bar->height() / 2));
        QTest::mousePress(m_window.get(), Qt::LeftButton, {}, (left + QPointF(10, 0)).toPoint());
        for (int step = 1; step <= 20; ++step)
            QTest::mouseMove(m_window.get(), (left + QPointF(10 + step * bar->width() / 40, 0)).toPoint());
        const QPoint end = (left + QPointF(bar->width() * 0.75, 0)).toPoint();
        QTest::mouseRelease(m_window.get(), Qt::LeftButton, {}, end);
        m_clock->advance(1s);
        QVERIFY(m_writer->writes.size() <= 4);
        for (const auto &write : m_writer->writes.mid(1))
            QCOMPARE(write.capabilityID, u"light_saturation"_s);
        const double last = *m_writer->writes.last().value.numberValue();
        QVERIFY2(std::abs(last - (end.x() - left.x()) / bar->width()) < 0.01,
                 qPrintable(QString::number(last)));
    }

    void thermostatStepsByHalfADegree()
    {
        open(u"thermostaat"_s);
        click(u"Warmer"_s);
        click(u"Kouder"_s);
        QCOMPARE(m_writer->writes.size(), 2);
        QCOMPARE(m_writer->writes[0].value, CapabilityValue::fromNumber(21.5));
        QCOMPARE(m_writer->writes[1].value, CapabilityValue::fromNumber(20.5));
    }

    void unlockingAndDisarmingTakeTwoTaps()
    {
        open(u"voordeur"_s);
        click(u"Ontgrendelen"_s);
        QVERIFY(m_writer->writes.isEmpty());
        click(u"Bevestig: Ontgrendelen"_s);
        QCOMPARE(m_writer->writes.size(), 1);
        QCOMPARE(m_writer->writes[0].value, CapabilityValue::fromBool(false));

        open(u"alarm"_s);
        click(u"DISARMED"_s);
        QCOMPARE(m_writer->writes.size(), 1);
        QVERIFY(
            m_gate->isArmed(u"alarm"_s, u"homealarm_state"_s, CapabilityValue::fromString(u"disarmed"_s)));
        click(u"DISARMED"_s);
        QCOMPARE(m_writer->writes.size(), 2);
        QCOMPARE(m_writer->writes[1].value, CapabilityValue::fromString(u"disarmed"_s));
    }
};

QTEST_MAIN(TestControlStrip)
#include "tst_controlstrip.moc"
