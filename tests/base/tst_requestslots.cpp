#include "base/async/cancelled.h"
#include "base/async/requestslots.h"

#include <map>
#include <QCoroTask>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Seen {
    QStringList events;
    std::map<int, RequestSlots::Slot> held;
};

QCoro::Task<> take(std::shared_ptr<RequestSlots> slots, int id, CancelToken cancel,
                   std::shared_ptr<Seen> seen)
{
    try {
        RequestSlots::Slot slot = co_await slots->acquire(cancel);
        seen->held.emplace(id, std::move(slot));
        seen->events.append(QString::number(id));
    } catch (const Cancelled &) {
        seen->events.append(u"cancelled "_s + QString::number(id));
    }
}

} // namespace

class TestRequestSlots : public QObject {
    Q_OBJECT

    std::shared_ptr<RequestSlots> slots;
    std::shared_ptr<Seen> seen;

    void release(int id)
    {
        seen->held.erase(id);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void init()
    {
        slots = std::make_shared<RequestSlots>(2);
        seen = std::make_shared<Seen>();
    }

    void servesTheQueueInCallOrder()
    {
        for (int id = 0; id < 5; ++id)
            take(slots, id, {}, seen);
        QCOMPARE(seen->events, (QStringList{u"0"_s, u"1"_s}));
        QCOMPARE(slots->waiting(), 3);
        release(1);
        QCOMPARE(seen->events.last(), u"2"_s);
        release(0);
        release(2);
        QCOMPARE(seen->events, (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
        QCOMPARE(slots->inUse(), 2);
    }

    void cancelledWaiterLeavesTheQueue()
    {
        CancelToken cancel;
        take(slots, 0, {}, seen);
        take(slots, 1, {}, seen);
        take(slots, 2, cancel, seen);
        take(slots, 3, {}, seen);
        cancel.cancel();
        QCoreApplication::processEvents();
        QCOMPARE(seen->events.last(), u"cancelled 2"_s);
        release(0);
        QCOMPARE(seen->events.last(), u"3"_s);
        QCOMPARE(slots->waiting(), 0);
    }

    void closingFailsWaitersEvenOnceGranted()
    {
        for (int id = 0; id < 4; ++id)
            take(slots, id, {}, seen);
        // The grant to 2 is on its way through the event loop when the slots close.
        seen->held.erase(0);
        slots->close();
        QCoreApplication::processEvents();
        QCOMPARE(seen->events, (QStringList{u"0"_s, u"1"_s, u"cancelled 2"_s, u"cancelled 3"_s}));
        take(slots, 4, {}, seen);
        QCOMPARE(seen->events.last(), u"cancelled 4"_s);
        release(1);
        QCOMPARE(slots->inUse(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRequestSlots)
#include "tst_requestslots.moc"
