#include "awaittask.h"
#include "base/async/cancelled.h"
#include "base/async/canceltoken.h"
#include "base/async/eventchannel.h"
#include "base/async/laterdeleter.h"
#include "base/async/sleep.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <thread>

using namespace std::chrono_literals;

namespace {

QCoro::Task<QList<int>> drain(std::shared_ptr<EventChannel<int>> channel)
{
    QList<int> seen;
    while (const auto value = co_await channel->next())
        seen.append(*value);
    co_return seen;
}

// A raw pointer on purpose: the test destroys the channel while this waits.
QCoro::Task<std::optional<int>> nextOf(EventChannel<int> *channel)
{
    co_return co_await channel->next();
}

} // namespace

class TstAsyncHelpers : public QObject {
    Q_OBJECT
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
};

QTEST_GUILESS_MAIN(TstAsyncHelpers)
#include "tst_asynchelpers.moc"
