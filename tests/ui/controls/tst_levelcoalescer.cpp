#include "manualclock.h"
#include "recordingwriter.h"
#include "ui/controls/levelcoalescer.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class TestLevelCoalescer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aDragSendsItsEndAndAtMostOneWritePerPeriod()
    {
        auto clock = std::make_shared<ManualClock>();
        auto writer = std::make_shared<RecordingWriter>(clock);
        const auto period = LevelCoalescer::defaultPeriod;
        LevelCoalescer coalescer(writer, clock);
        const QString lamp = u"lamp"_s;
        const QString dim = u"dim"_s;

        for (int step = 1; step <= 20; ++step) {
            coalescer.scrub(lamp, dim, step / 20.0);
            QCOMPARE(coalescer.pending(lamp, dim), step / 20.0);
            // Another lamp dragged meanwhile has its own rhythm.
            if (step == 5)
                coalescer.scrub(u"spot"_s, dim, 0.3);
            clock->advance(13ms);
        }
        coalescer.release(lamp, dim, 0.97);
        clock->advance(1s);

        QList<RecordingWriter::Write> ours;
        for (const auto &write : writer->writes) {
            if (write.deviceID == lamp)
                ours.append(write);
        }
        QCOMPARE(ours.first().value, CapabilityValue::fromNumber(0.05));
        QCOMPARE(ours.last().value, CapabilityValue::fromNumber(0.97));
        for (int i = 1; i < ours.size(); ++i)
            QVERIFY(ours[i].at - ours[i - 1].at >= period);
        QVERIFY(ours.size() <= 4);
        QCOMPARE(writer->writes.size() - ours.size(), 1);
        QCOMPARE(coalescer.pending(lamp, dim), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestLevelCoalescer)
#include "tst_levelcoalescer.moc"
