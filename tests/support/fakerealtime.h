#pragma once

#include "base/async/clock.h"
#include "base/async/eventchannel.h"
#include "homey/model/homeyerror.h"
#include "homey/model/homeyrealtime.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QList>
#include <QStringList>

// The hub's realtime side in memory, for store tests: each connect opens a fresh stream that starts
// with connected, as the real socket's does; tests push events into it, end it, or make connects fail.
class FakeRealtime final : public HomeyRealtime {
public:
    // The stream of the latest successful connect.
    std::shared_ptr<EventChannel<HomeyEvent>> stream;
    // The device ids of every connect attempt, failed ones included.
    QList<QStringList> connects;
    int disconnects = 0;
    QStringList ownTransactions;
    // Every setInBackground, in order.
    QList<bool> backgrounds;
    // While set, every connect fails with it.
    std::optional<HomeyError> connectFailure;
    // How long a connect and a disconnect take, on this clock; none means at once.
    std::shared_ptr<Clock> clock;
    std::chrono::milliseconds connectLatency{0};
    std::chrono::milliseconds disconnectLatency{0};

    QCoro::Task<std::shared_ptr<EventChannel<HomeyEvent>>> connect(QStringList deviceIDs) override
    {
        connects.append(deviceIDs);
        if (clock && connectLatency.count() > 0)
            co_await clock->sleep(connectLatency, CancelToken());
        end();
        if (connectFailure)
            throw *connectFailure;
        stream = std::make_shared<EventChannel<HomeyEvent>>(512);
        stream->push(HomeyEvent::Connected{});
        // A copy: co_return moves from what it names.
        std::shared_ptr<EventChannel<HomeyEvent>> opened = stream;
        co_return opened;
    }
    QCoro::Task<> disconnect() override
    {
        ++disconnects;
        if (clock && disconnectLatency.count() > 0)
            co_await clock->sleep(disconnectLatency, CancelToken());
        end();
    }
    QCoro::Task<> registerOwnTransaction(QString transactionID) override
    {
        ownTransactions.append(transactionID);
        co_return;
    }
    void setInBackground(bool background) override { backgrounds.append(background); }

    void push(HomeyEvent event)
    {
        if (stream)
            stream->push(std::move(event));
    }
    // The link is gone for good: the store's pump sees the stream end.
    void end()
    {
        if (stream)
            stream->finish();
        stream.reset();
    }
};
