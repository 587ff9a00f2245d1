#include "awaittask.h"
#include "base/async/oneshot.h"

#include <QTest>
#include <stdexcept>

namespace {

QCoro::Task<int> waitFor(OneShot<int> shot, int *resumes)
{
    const int value = co_await shot;
    ++*resumes;
    co_return value;
}

} // namespace

class TstOneShot : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
};

QTEST_GUILESS_MAIN(TstOneShot)
#include "tst_oneshot.moc"
