#pragma once

#include "homey/model/homeyevent.h"

#include <memory>
#include <QCoro/QCoroTask>
#include <QString>
#include <QStringList>

template <typename T> class EventChannel;

// The realtime client as the home store and the REST client see it. Parameters are taken by value:
// these are coroutines, and a reference could dangle across a suspension.
class HomeyRealtime {
public:
    virtual ~HomeyRealtime();

    // Opens the link for these devices; fails with HomeyError. The channel carries every later event.
    virtual QCoro::Task<std::shared_ptr<EventChannel<HomeyEvent>>> connect(QStringList deviceIDs) = 0;
    virtual QCoro::Task<> disconnect() = 0;
    // Announces a write of our own, so that its echo is not reported back as a change.
    virtual QCoro::Task<> registerOwnTransaction(QString transactionID) = 0;
    // While nothing shows the home, events may be gathered longer before they are handed on.
    virtual void setInBackground(bool background) { Q_UNUSED(background); }
};
