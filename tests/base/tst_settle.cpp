#include "awaittask.h"
#include "base/async/locked.h"
#include "base/async/settle.h"

#include <array>
#include <atomic>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <thread>
#include <vector>

namespace {

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

class TstSettle : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TstSettle)
#include "tst_settle.moc"
