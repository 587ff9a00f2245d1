#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <QByteArray>
#include <QCoroTask>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

namespace QKeychain {
class Job;
}

struct KeychainJobOutcome {
    int error = 0; // QKeychain::Error
    QString errorString;
    QByteArray data; // read jobs only
};

// Runs one QtKeychain job when its turn comes (KeychainTurn) and waits for it until the deadline. The job
// deletes itself when it finishes, however late: its backend keeps a raw pointer to it, so it must never be
// deleted while running. A late finish reaches nothing of ours because the connection dies with the waiter.
class KeychainJobWaiter : public QObject {
    Q_OBJECT
public:
    // Makes the job (not yet started) only once it is its turn; nullopt when the deadline passed first,
    // while waiting for the turn (the job was then never made) or while the job ran.
    static QCoro::Task<std::optional<KeychainJobOutcome>> run(std::function<QKeychain::Job *()> makeJob,
                                                              QDeadlineTimer deadline);

Q_SIGNALS:
    void done();

private:
    std::optional<KeychainJobOutcome> m_outcome;
};
