#include "awaittask.h"
#include "base/async/background.h"
#include "base/async/cancelled.h"
#include "base/async/canceltoken.h"
#include "base/async/eventchannel.h"
#include "base/async/laterdeleter.h"
#include "base/async/locked.h"
#include "base/async/oneshot.h"
#include "base/async/requestslots.h"
#include "base/async/settle.h"
#include "base/async/sleep.h"

#include <array>
#include <atomic>
#include <map>
#include <QElapsedTimer>
#include <QPointer>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QCoro::Task<QList<int>> drain(std::shared_ptr<EventChannel<int>> channel)
{
    QList<int> seen;
    for (;;) {
        const std::optional<int> value = co_await channel->next();
        if (!value)
            break;
        seen.append(*value);
    }
    co_return seen;
}

// A raw pointer on purpose: the test destroys the channel while this waits.
QCoro::Task<std::optional<int>> nextOf(EventChannel<int> *channel)
{
    co_return co_await channel->next();
}

QCoro::Task<int> waitFor(OneShot<int> shot, int *resumes)
{
    const int value = co_await shot;
    ++*resumes;
    co_return value;
}

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

struct Outcome {
    int value = 0;
    QThread *thread = nullptr;
};

QCoro::Task<Outcome> waitFor(std::shared_ptr<Settle<int>> settle, std::shared_ptr<int> resumes)
{
    const int value = co_await settle->value();
    ++*resumes;
    co_return Outcome{value, QThread::currentThread()};
}

} // namespace

// The asynchronous building blocks: channels, sleeps, cancellation, one-shot and settling meeting points,
// request slots, work off the main thread.
class TestAsync : public QObject {
    Q_OBJECT

    std::shared_ptr<RequestSlots> slots;
    std::shared_ptr<Seen> seen;

    void release(int id)
    {
        seen->held.erase(id);
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void fullChannelDropsTheOldest()
    {
        auto channel = std::make_shared<EventChannel<int>>(3);
        for (int i = 1; i <= 5; ++i)
            channel->push(i);
        QCOMPARE(channel->dropped(), std::size_t(2));
        channel->finish();
        channel->push(6); // after the end: ignored
        QCOMPARE(awaitTask(drain(channel)), (QList<int>{3, 4, 5}));
    }

    void waitingConsumerGetsEveryEntryInOrder()
    {
        auto channel = std::make_shared<EventChannel<int>>(512);
        auto consumer = drain(channel);
        channel->push(1);
        channel->push(2);
        QTimer::singleShot(0, [channel] {
            channel->push(3);
            channel->finish();
        });
        QCOMPARE(awaitTask(std::move(consumer)), (QList<int>{1, 2, 3}));
    }

    void endOfTheChannelWakesAWaitingConsumer()
    {
        auto finished = std::make_shared<EventChannel<int>>(4);
        auto waiting = nextOf(finished.get());
        QTimer::singleShot(0, [finished] { finished->finish(); });
        QCOMPARE(awaitTask(std::move(waiting)), std::nullopt);

        auto destroyed = std::make_shared<EventChannel<int>>(4);
        auto orphaned = nextOf(destroyed.get());
        destroyed.reset();
        QCOMPARE(awaitTask(std::move(orphaned)), std::nullopt);
    }

    void handOverResumesAWaitingConsumerInsideTheCall()
    {
        auto channel = std::make_shared<EventChannel<int>>(4);
        QList<int> seen;
        // The consumer lets go of its producer's channel, as a store stopping on an event would.
        std::shared_ptr<EventChannel<int>> producers = channel;
        auto consumer = [](std::shared_ptr<EventChannel<int>> *held, QList<int> *seen) -> QCoro::Task<> {
            const std::shared_ptr<EventChannel<int>> channel = *held;
            for (;;) {
                const std::optional<int> value = co_await channel->next();
                if (!value)
                    break;
                seen->append(*value);
                if (*value == 2)
                    held->reset();
            }
        };
        consumer(&producers, &seen);
        channel.reset();
        QCoreApplication::processEvents();
        const std::shared_ptr<EventChannel<int>> mine = producers;
        mine->handOver(1);
        QCOMPARE(seen, (QList<int>{1}));
        mine->handOver(2);
        QCOMPARE(seen, (QList<int>{1, 2}));
        QVERIFY(!producers);
        mine->push(3); // waits for the event loop, as ever
        QCOMPARE(seen, (QList<int>{1, 2}));
        mine->finish();
        mine->handOver(4); // after the end: ignored
        QTRY_COMPARE(seen, (QList<int>{1, 2, 3}));
    }

    void sleepRunsItsFullTime()
    {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(awaitTask(sleepFor(20ms)), true);
        QVERIFY(clock.elapsed() >= 20);
    }

    void cancelledSleepEndsEarly_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("before the sleep") << 0;
        QTest::newRow("from the event loop") << 1;
        QTest::newRow("from another thread") << 2;
    }
    void cancelledSleepEndsEarly()
    {
        QFETCH(int, how);
        CancelToken token;
        if (how == 0)
            token.cancel();
        auto sleeping = sleepFor(std::chrono::hours(1), token);
        std::thread canceller;
        if (how == 1)
            QTimer::singleShot(0, [token]() mutable { token.cancel(); });
        if (how == 2)
            canceller = std::thread([token]() mutable { token.cancel(); });
        // A sleep that ignored the token would hit awaitTask's time-out and throw.
        QCOMPARE(awaitTask(std::move(sleeping), 5s), false);
        if (canceller.joinable())
            canceller.join();
    }

    void cancelTokenSharesItsStateAndCallsBack()
    {
        CancelToken token;
        const CancelToken copy = token;
        int called = 0;
        auto kept = copy.onCancel([&] { ++called; });
        auto dropped = copy.onCancel([&] { called += 100; });
        dropped.reset();
        copy.throwIfCancelled();
        token.cancel();
        token.cancel();
        QCOMPARE(called, 1);
        QVERIFY_THROWS_EXCEPTION(Cancelled, copy.throwIfCancelled());
        auto late = copy.onCancel([&] { called += 10; });
        QCOMPARE(called, 11);
    }

    void laterDeleterWaitsForTheEventLoop()
    {
        QPointer<QObject> object = new QObject;
        LaterDeleter()(object);
        LaterDeleter()(nullptr);
        QVERIFY(object);
        QTRY_VERIFY(!object);
    }

    void awaitTaskRethrowsAndTimesOut()
    {
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, awaitTask(sleepFor(1h), 10ms));
    }

    void firstAnswerWins_data()
    {
        QTest::addColumn<bool>("waitFirst");
        QTest::newRow("waiting, then resolved") << true;
        QTest::newRow("resolved, then waiting") << false;
    }
    void firstAnswerWins()
    {
        QFETCH(bool, waitFirst);
        OneShot<int> shot;
        int resumes = 0;
        std::optional<QCoro::Task<int>> waiting;
        if (waitFirst)
            waiting.emplace(waitFor(shot, &resumes));
        shot.resolve(1);
        // Never resumed inside resolve(): whoever answers may go on touching its own tables.
        QCOMPARE(resumes, 0);
        shot.resolve(2);
        shot.fail(std::runtime_error("late"));
        if (!waitFirst)
            waiting.emplace(waitFor(shot, &resumes));
        QCOMPARE(awaitTask(std::move(*waiting)), 1);
        QCOMPARE(resumes, 1);
    }

    void failureReachesTheWaiter()
    {
        OneShot<int> shot;
        int resumes = 0;
        auto waiting = waitFor(shot, &resumes);
        shot.fail(std::runtime_error("gone"));
        shot.resolve(3);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, awaitTask(std::move(waiting)));
        QCOMPARE(resumes, 0);
    }

    // The work waits for the main thread's event loop: it finishes only if the loop runs meanwhile.
    void mainThreadRunsWhileTheWorkRuns()
    {
        QSemaphore released;
        QTimer::singleShot(0, this, [&released] { released.release(); });
        QThread *worker = nullptr;
        const bool sawRelease = awaitTask(Background::run([&released, &worker] {
            worker = QThread::currentThread();
            return released.tryAcquire(1, 5000);
        }));
        QVERIFY(sawRelease);
        QVERIFY(worker != QThread::currentThread());
    }

    // The caller catches the work's own exception type, not a wrapper.
    void rethrowsWhatTheWorkThrew()
    {
        auto failing = []() -> int { throw std::invalid_argument("kapot"); };
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, awaitTask(Background::run(failing)));
    }

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

    void firstSettleWinsAndResumesOnce()
    {
        auto before = std::make_shared<Settle<int>>();
        before->settle(7);
        before->settle(8);
        auto resumes = std::make_shared<int>(0);
        QCOMPARE(awaitTask(waitFor(before, resumes)).value, 7);

        auto after = std::make_shared<Settle<int>>();
        auto waiting = waitFor(after, resumes);
        QTimer::singleShot(0, [after] {
            after->settle(1);
            after->settle(2);
        });
        QCOMPARE(awaitTask(std::move(waiting)).value, 1);
        QCoreApplication::processEvents();
        QCOMPARE(*resumes, 2);
        // Only one waiter per meeting point.
        QVERIFY_THROWS_EXCEPTION(std::logic_error, awaitTask(after->value()));
    }

    void settlesFromTwoThreadsResumeOnceOnTheWaitersThread_data()
    {
        QTest::addColumn<bool>("waitFirst");
        QTest::newRow("waiting, then settled") << true;
        QTest::newRow("settled, then waiting") << false;
    }
    void settlesFromTwoThreadsResumeOnceOnTheWaitersThread()
    {
        QFETCH(bool, waitFirst);
        for (int round = 0; round < 50; ++round) {
            auto settle = std::make_shared<Settle<int>>();
            auto resumes = std::make_shared<int>(0);
            std::optional<QCoro::Task<Outcome>> waiting;
            if (waitFirst)
                waiting.emplace(waitFor(settle, resumes));
            std::atomic<bool> go = false;
            std::vector<std::thread> settlers;
            for (int value : {1, 2}) {
                settlers.emplace_back([settle, &go, value] {
                    while (!go) {
                    }
                    settle->settle(value);
                });
            }
            go = true;
            if (!waitFirst) {
                for (auto &t : settlers)
                    t.join();
                waiting.emplace(waitFor(settle, resumes));
            }
            const Outcome outcome = awaitTask(std::move(*waiting));
            for (auto &t : settlers) {
                if (t.joinable())
                    t.join();
            }
            QCoreApplication::processEvents();
            QVERIFY(outcome.value == 1 || outcome.value == 2);
            QCOMPARE(outcome.thread, QThread::currentThread());
            QCOMPARE(*resumes, 1);
        }
    }

    void lockedValueIsNeverSeenTorn()
    {
        using Block = std::array<int, 64>;
        Locked<Block> box(Block{});
        std::atomic<bool> stop = false;
        std::atomic<int> torn = 0;
        std::vector<std::thread> writers;
        for (int w = 1; w <= 2; ++w) {
            writers.emplace_back([&, w] {
                for (int i = 0; i < 20000; ++i) {
                    Block b;
                    b.fill(w * 100000 + i);
                    box.set(b);
                }
            });
        }
        std::thread reader([&] {
            while (!stop) {
                const Block b = box.get();
                if (std::adjacent_find(b.begin(), b.end(), std::not_equal_to<>()) != b.end())
                    ++torn;
                box.withLock([&](Block &live) { torn += live.front() != live.back(); });
            }
        });
        for (auto &w : writers)
            w.join();
        stop = true;
        reader.join();
        QCOMPARE(torn.load(), 0);
        QCOMPARE(box.withLock([](const Block &b) { return b.front() % 100000; }), 19999);
    }
};

QTEST_GUILESS_MAIN(TestAsync)
#include "tst_async.moc"
