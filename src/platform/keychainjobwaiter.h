#pragma once

#include <chrono>
#include <optional>
#include <QByteArray>
#include <QCoroTask>
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

// Runs one QtKeychain job and waits for it at most `timeout`. The job deletes itself when it finishes,
// however late: its backend keeps a raw pointer to it, so it must never be deleted while running. A late
// finish reaches nothing of ours because the connection dies with the waiter.
class KeychainJobWaiter : public QObject {
    Q_OBJECT
public:
    // Takes the job (not yet started); nullopt when it did not finish in time.
    static QCoro::Task<std::optional<KeychainJobOutcome>> run(QKeychain::Job *job,
                                                              std::chrono::milliseconds timeout);

Q_SIGNALS:
    void done();

private:
    std::optional<KeychainJobOutcome> m_outcome;
};
