#pragma once

#include <chrono>
#include <QCoroTask>
#include <QDeadlineTimer>
#include <QObject>

// QtKeychain runs its jobs one at a time, in order, for the whole process. A job handed to it behind one
// that waits on an unlock prompt would start whenever that prompt ends, long after its caller was told it
// failed. So we hand over one job at a time ourselves: the turn passes on when the running job is gone,
// and a caller whose deadline passes while it waits never gets its job started.
class KeychainTurn : public QObject {
    Q_OBJECT
public:
    static KeychainTurn &instance();

    // True once the turn is free, false when the deadline passed first. Whoever gets true hands its job to
    // hold() before it next suspends.
    static QCoro::Task<bool> wait(QDeadlineTimer deadline);
    // The turn stays taken until `job` is destroyed, however late that is.
    void hold(QObject *job);

    // What is left of a deadline, at least 1 ms, for the time-outs of waits.
    static std::chrono::milliseconds left(const QDeadlineTimer &deadline);

Q_SIGNALS:
    void freed();

private:
    bool m_taken = false;
};
