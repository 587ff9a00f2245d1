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

using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int value = 0;
    QThread *thread = nullptr;
};

QCoro::Task<Outcome> waitFor(std::shared_ptr<Settle<int>> settle, int *resumes)
{
    const int value = co_await settle->value();
    ++*resumes;
    co_return Outcome{value, QThread::currentThread()};
}

} // namespace

class TstSettle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void valueSettledBeforeTheWait()
    {
        auto settle = std::make_shared<Settle<int>>();
        settle->settle(7);
        settle->settle(8);
        int resumes = 0;
        QCOMPARE(awaitTask(waitFor(settle, &resumes)).value, 7);
        QCOMPARE(resumes, 1);
    }

    void firstOfTwoSettlesWins()
    {
        auto settle = std::make_shared<Settle<int>>();
        int resumes = 0;
        auto waiting = waitFor(settle, &resumes);
        QVERIFY(!settle->isSettled());
        QTimer::singleShot(0, [settle] {
            settle->settle(1);
            settle->settle(2);
        });
        QCOMPARE(awaitTask(std::move(waiting)).value, 1);
        QCoreApplication::processEvents();
        QCOMPARE(resumes, 1);
        // Only one waiter per meeting point.
        QVERIFY_THROWS_EXCEPTION(std::logic_error, awaitTask(settle->value()));
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
            int resumes = 0;
            std::optional<QCoro::Task<Outcome>> waiting;
            if (waitFirst)
                waiting.emplace(waitFor(settle, &resumes));
            std::atomic<bool> go = false;
            std::thread a([settle, &go] {
                while (!go) {
                }
                settle->settle(1);
            });
            std::thread b([settle, &go] {
                while (!go) {
                }
                settle->settle(2);
            });
            go = true;
            if (!waitFirst) {
                a.join();
                b.join();
                waiting.emplace(waitFor(settle, &resumes));
            }
            const Outcome outcome = awaitTask(std::move(*waiting));
            if (waitFirst) {
                a.join();
                b.join();
            }
            QCoreApplication::processEvents();
            QVERIFY(outcome.value == 1 || outcome.value == 2);
            QCOMPARE(outcome.thread, QThread::currentThread());
            QCOMPARE(resumes, 1);
        }
    }

    void absentIsASettledValue()
    {
        auto settle = std::make_shared<Settle<std::optional<QString>>>();
        settle->settle(std::nullopt);
        settle->settle(u"10.0.0.2"_s);
        QCOMPARE(awaitTask(settle->value()), std::nullopt);
    }

    void lockedValueIsNeverSeenTorn()
    {
        using Block = std::array<int, 64>;
        Locked<Block> box(Block{});
        std::atomic<bool> stop = false;
        std::atomic<int> torn = 0;
        std::vector<std::thread> threads;
        for (int w = 1; w <= 2; ++w) {
            threads.emplace_back([&, w] {
                for (int i = 0; i < 20000; ++i) {
                    Block b;
                    b.fill(w * 100000 + i);
                    box.set(b);
                }
            });
        }
        for (int r = 0; r < 2; ++r) {
            threads.emplace_back([&] {
                while (!stop) {
                    const Block b = box.get();
                    if (std::adjacent_find(b.begin(), b.end(), std::not_equal_to<>()) != b.end())
                        ++torn;
                    box.withLock([&](Block &live) {
                        if (live.front() != live.back())
                            ++torn;
                    });
                }
            });
        }
        threads[0].join();
        threads[1].join();
        stop = true;
        threads[2].join();
        threads[3].join();
        QCOMPARE(torn.load(), 0);
        QCOMPARE(box.withLock([](const Block &b) { return b.front() % 100000; }), 19999);
    }
};

QTEST_GUILESS_MAIN(TstSettle)
#include "tst_settle.moc"
