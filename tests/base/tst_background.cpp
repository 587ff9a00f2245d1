#include "awaittask.h"
#include "base/async/background.h"

#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <stdexcept>

class TstBackground : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
};

QTEST_GUILESS_MAIN(TstBackground)
#include "tst_background.moc"
