#pragma once

#include "ports/servicebrowser.h"

#include <chrono>
#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>
#include <QList>
#include <QObject>

// One browse: an Avahi service browser object on the daemon, its ItemNew signals, and the TXT record of
// every instance it reports. Frees the daemon's browser when destroyed.
class AvahiBrowseSession : public QObject {
    Q_OBJECT
public:
    AvahiBrowseSession(QDBusConnection bus, std::chrono::milliseconds callTimeout);
    ~AvahiBrowseSession() override;

    // Creates and starts the daemon's browser; false when no daemon answers.
    QCoro::Task<bool> start(QString type);
    // Takes no new results and waits (bounded) for the TXT records still being read.
    QCoro::Task<> finish();
    // One entry per instance name, in the order first seen.
    QList<BrowseEntry> entries() const;

Q_SIGNALS:
    void readsSettled();

private Q_SLOTS:
    void onItemNew(const QDBusMessage &message);

private:
    struct Found {
        BrowseEntry entry;
        quint64 latest = 0;  // sequence number of the latest report
        quint64 txtFrom = 0; // sequence number of the report whose TXT record `entry` holds
    };

    QCoro::Task<QDBusMessage> call(QDBusMessage message) const;
    void record(const QDBusMessage &message);
    void readTxt(int interface, int protocol, const QString &name, quint64 sequence);

    QDBusConnection m_bus;
    std::chrono::milliseconds m_callTimeout;
    QString m_path;              // the daemon's browser object, once created
    QList<QDBusMessage> m_early; // reports that arrived before the browser's path was known
    QList<Found> m_found;
    QHash<QString, qsizetype> m_index; // instance name -> position in m_found
    quint64 m_sequence = 0;
    int m_reading = 0;
    bool m_subscribed = false;
    bool m_closed = false;
};
