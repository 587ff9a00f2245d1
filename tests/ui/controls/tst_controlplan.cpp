#include "controldevices.h"
#include "recordingwriter.h"
#include "ui/controls/controlplan.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace ControlDevices;

namespace {

// The shared devices, and a few more for the plan's fallbacks.
Device byName(const QString &name)
{
    if (name == u"plain lamp")
        return plainLamp();
    if (name == u"colour lamp")
        return colourLamp();
    if (name == u"thermostat")
        return thermostat();
    if (name == u"speaker")
        return speaker();
    if (name == u"two-channel switch")
        return twoChannelSwitch();
    if (name == u"lock")
        return lock();
    if (name == u"alarm")
        return alarm();
    if (name == u"speaker, slider first") {
        Device d = speaker();
        d.uiComponents = {u"slider"_s, u"media"_s};
        return d;
    }
    if (name == u"socket with readings only") {
        Device d = twoChannelSwitch();
        d.uiComponents = {u"sensor"_s};
        return d;
    }
    if (name == u"number quick action") {
        Device d = device(u"ventilator"_s, u"fan"_s, {u"button"_s}, {number(u"dim"_s, 0.5, 0, 1)});
        d.uiQuickAction = u"dim"_s;
        return d;
    }
    Device d = device(u"poort"_s, u"lock"_s, {u"button"_s}, {boolean(u"locked"_s, true)});
    d.uiQuickAction = u"locked"_s;
    return d;
}

} // namespace

class TestControlPlan : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rows_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("declined");
        QTest::addColumn<QStringList>("ids");

        QTest::newRow("plain lamp") << u"plain lamp"_s << QStringList() << QStringList{u"toggle:onoff"_s};
        QTest::newRow("colour lamp: no row for the colour mode")
            << u"colour lamp"_s << QStringList()
            << QStringList{u"toggle:onoff"_s, u"slider:dim"_s, u"temp:light_temperature"_s,
                           u"hue:light_hue"_s, u"sat:light_saturation"_s};
        QTest::newRow("thermostat") << u"thermostat"_s << QStringList()
                                    << QStringList{u"therm:target_temperature"_s,
                                                   u"sensor:measure_temperature"_s};
        QTest::newRow("speaker") << u"speaker"_s << QStringList()
                                 << QStringList{u"media:speaker_playing:volume_set"_s};
        QTest::newRow("speaker whose slider takes the volume")
            << u"speaker, slider first"_s << QStringList()
            << QStringList{u"slider:volume_set"_s, u"media:speaker_playing:-"_s};
        QTest::newRow("two-channel switch: one switch per channel")
            << u"two-channel switch"_s << QStringList()
            << QStringList{u"toggle:onoff.output1"_s, u"toggle:onoff.output2"_s, u"sensor:measure_power"_s};
        QTest::newRow("lock: opening buttons last")
            << u"lock"_s << QStringList() << QStringList{u"lock:locked"_s, u"open:button_unlatch"_s};
        QTest::newRow("alarm") << u"alarm"_s << QStringList() << QStringList{u"arm:homealarm_state"_s};
        QTest::newRow("readings only: the primary action goes in front")
            << u"socket with readings only"_s << QStringList()
            << QStringList{u"action:onoff.output1"_s, u"sensor:measure_power"_s};
        QTest::newRow("a number quick action gets no action button")
            << u"number quick action"_s << QStringList() << QStringList{u"sensor:dim"_s};
        QTest::newRow("a guarded quick action")
            << u"lock with a quick action"_s << QStringList() << QStringList{u"action:locked"_s};
        QTest::newRow("writer declines: read-only rows")
            << u"colour lamp"_s
            << QStringList{u"onoff"_s, u"dim"_s, u"light_temperature"_s, u"light_hue"_s,
                           u"light_saturation"_s}
            << QStringList{u"ro:onoff"_s, u"ro:dim"_s, u"ro:light_temperature"_s, u"ro:light_hue"_s,
                           u"ro:light_saturation"_s};
        QTest::newRow("writer declines the speaker")
            << u"speaker"_s << QStringList{u"speaker_playing"_s, u"volume_set"_s}
            << QStringList{u"ro:speaker_playing"_s};
    }
    void rows()
    {
        QFETCH(QString, device);
        QFETCH(QStringList, declined);
        QFETCH(QStringList, ids);
        RecordingWriter writer;
        writer.declined = QSet<QString>(declined.begin(), declined.end());
        QStringList got;
        for (const ControlRow &row : ControlPlan::rows(byName(device), writer))
            got.append(row.id());
        QCOMPARE(got, ids);
    }
};

QTEST_GUILESS_MAIN(TestControlPlan)
#include "tst_controlplan.moc"
