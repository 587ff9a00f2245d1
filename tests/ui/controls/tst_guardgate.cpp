#include "controldevices.h"
#include "logcapture.h"
#include "manualclock.h"
#include "recordingwriter.h"
#include "ui/controls/guardgate.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace ControlDevices;

class TestGuardGate : public QObject {
    Q_OBJECT

    std::shared_ptr<ManualClock> m_clock;
    std::shared_ptr<RecordingWriter> m_writer;
    std::unique_ptr<GuardGate> m_gate;
    const Device m_lock = lock();
    const CapabilityValue m_unlock = CapabilityValue::fromBool(false);

    bool unlock(bool autoRepeat = false)
    {
        return m_gate->press(m_lock, u"locked"_s, m_unlock, m_writer, autoRepeat);
    }

private Q_SLOTS:
    void init()
    {
        m_clock = std::make_shared<ManualClock>();
        m_writer = std::make_shared<RecordingWriter>(m_clock);
        m_gate = std::make_unique<GuardGate>(m_clock);
    }
    void cleanup() { m_gate.reset(); }

    void unlockingTakesTwoPresses()
    {
        LogCapture log;
        QSignalSpy armed(m_gate.get(), &GuardGate::armedChanged);
        QVERIFY(!unlock());
        QVERIFY(m_writer->writes.isEmpty());
        QVERIFY(m_gate->isArmed(m_lock.id, u"locked"_s, m_unlock));
        QCOMPARE(log.lines(),
                 QStringList{u"bevestiging gevraagd: voordeur locked -> bool(false). Niets verstuurd."_s});

        QVERIFY(unlock());
        QCOMPARE(m_writer->writes.size(), 1);
        QCOMPARE(m_writer->writes[0].value, m_unlock);
        QVERIFY(!m_gate->hasArmed());
        QCOMPARE(armed.size(), 2);
    }

    void theWindowEndsAfterFourSeconds()
    {
        QVERIFY(!unlock());
        m_clock->advance(3999ms);
        QVERIFY(m_gate->hasArmed());
        m_clock->advance(1ms);
        QVERIFY(!m_gate->hasArmed());
        QVERIFY(!unlock());
        QVERIFY(m_writer->writes.isEmpty());
        // The new window is a full one.
        m_clock->advance(3s);
        QVERIFY(unlock());
        QCOMPARE(m_writer->writes.size(), 1);
    }

    void aHeldKeyNeverConfirms()
    {
        QVERIFY(!unlock(true));
        QVERIFY(!m_gate->hasArmed());
        QVERIFY(!unlock());
        for (int i = 0; i < 10; ++i)
            QVERIFY(!unlock(true));
        QVERIFY(m_writer->writes.isEmpty());
        QVERIFY(m_gate->hasArmed());
        QVERIFY(unlock());
        QCOMPARE(m_writer->writes.size(), 1);
    }

    void writesThatKeepSecurityPassAtOnce()
    {
        LogCapture log;
        QVERIFY(m_gate->press(m_lock, u"locked"_s, CapabilityValue::fromBool(true), m_writer));
        QCOMPARE(m_writer->writes.size(), 1);
        QVERIFY(log.lines().isEmpty());

        // Choosing an arming mode sends at once and drops the armed disarm.
        const Device siren = alarm();
        const auto disarmed = CapabilityValue::fromString(u"disarmed"_s);
        QVERIFY(!m_gate->press(siren, u"homealarm_state"_s, disarmed, m_writer));
        QVERIFY(
            m_gate->press(siren, u"homealarm_state"_s, CapabilityValue::fromString(u"armed"_s), m_writer));
        QCOMPARE(m_writer->writes.size(), 2);
        QVERIFY(!m_gate->hasArmed());
    }

    // Every name the hub gives a disarming mode, in any letter case, waits for the second press.
    void everyDisarmingModeTakesTwoPresses_data()
    {
        QTest::addColumn<QString>("capability");
        QTest::addColumn<QString>("mode");
        QTest::newRow("disarmed") << u"homealarm_state"_s << u"disarmed"_s;
        QTest::newRow("off") << u"homealarm_state"_s << u"Off"_s;
        QTest::newRow("disarm") << u"homealarm_state"_s << u"disarm"_s;
        QTest::newRow("unarmed") << u"homealarm_state"_s << u"UNARMED"_s;
        QTest::newRow("arming command, disarm") << u"CMD_SET_ARMING"_s << u"Disarm"_s;
        QTest::newRow("lock mode, unarmed") << u"lock_mode"_s << u"unarmed"_s;
    }
    void everyDisarmingModeTakesTwoPresses()
    {
        QFETCH(QString, capability);
        QFETCH(QString, mode);
        const Device siren = alarm();
        const auto value = CapabilityValue::fromString(mode);
        QVERIFY(!m_gate->press(siren, capability, value, m_writer));
        QVERIFY(m_writer->writes.isEmpty());
        QVERIFY(m_gate->isArmed(siren.id, capability, value));
        QVERIFY(m_gate->press(siren, capability, value, m_writer));
        QCOMPARE(m_writer->writes.size(), 1);
        QCOMPARE(m_writer->writes[0].value, value);
    }

    void anotherWriteReplacesTheArmedOne()
    {
        Device back = lock();
        back.id = u"achterdeur"_s;
        const auto open = CapabilityValue::fromBool(true);
        QVERIFY(!m_gate->press(m_lock, u"button_unlatch"_s, open, m_writer));
        m_clock->advance(2s);
        QVERIFY(!m_gate->press(back, u"button_unlatch"_s, open, m_writer));
        QVERIFY(m_gate->isArmed(back.id, u"button_unlatch"_s, open));
        m_clock->advance(1s);
        QVERIFY(!m_gate->press(m_lock, u"button_unlatch"_s, open, m_writer));
        // A full window from the new press: the task of the first press ends nothing.
        m_clock->advance(3s);
        QVERIFY(m_gate->isArmed(m_lock.id, u"button_unlatch"_s, open));
        QVERIFY(m_writer->writes.isEmpty());
    }

    void cursorWalksTheOptions()
    {
        Device siren = alarm();
        siren.capabilities.at(u"homealarm_state"_s).value = CapabilityValue::fromString(u"partially_armed"_s);
        const QString mode = u"homealarm_state"_s;
        QCOMPARE(m_gate->cursor(siren, mode), u"partially_armed"_s);

        QVERIFY(!m_gate->press(siren, mode, CapabilityValue::fromString(u"disarmed"_s), m_writer));
        m_gate->moveCursor(siren, mode, 5);
        QCOMPARE(m_gate->cursor(siren, mode), u"disarmed"_s);
        QVERIFY(!m_gate->hasArmed());
        m_gate->setCursor(siren, mode, u"armed"_s);
        m_gate->moveCursor(siren, mode, -1);
        QCOMPARE(m_gate->cursor(siren, mode), u"armed"_s);

        // The hub no longer offers the stored option: the current mode counts again.
        siren.capabilities.at(mode).options.removeFirst();
        QCOMPARE(m_gate->cursor(siren, mode), u"partially_armed"_s);
    }
};

QTEST_GUILESS_MAIN(TestGuardGate)
#include "tst_guardgate.moc"
