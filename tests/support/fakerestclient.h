#pragma once

#include "base/async/cancelled.h"
#include "base/async/clock.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/homeyrestclient.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <QHash>
#include <QStringList>

// The hub's REST side in memory, for store tests: serves a home, applies successful writes to it, and
// delays or fails any operation on request. Delays run on the given clock, so a ManualClock decides
// when an answer arrives.
class FakeRestClient final : public HomeyRESTClient {
public:
    struct Home {
        QList<Zone> zones;
        QList<Device> devices;
        QList<Flow> flows;
        QList<Mood> moods;
        Favorites favorites;
        EnergyState energy;
        SystemState system;
        QList<RawNotification> timeline;
    };
    // How one operation answers: after latency, with failure when set.
    struct Behaviour {
        std::chrono::milliseconds latency{0};
        std::optional<HomeyError> failure;
    };
    struct Write {
        QString deviceID;
        QString capabilityID;
        CapabilityValue value;
        bool operator==(const Write &) const = default;
    };

    explicit FakeRestClient(std::shared_ptr<Clock> clock) : m_clock(std::move(clock)) {}

    Home home;
    // Every call in order: "zones", "devices", ..., "setCapability", "startFlow", "setMood".
    QStringList calls;
    // Writes that reached the hub, in the order they arrived.
    QList<Write> writes;
    QStringList startedFlows;
    QStringList activatedMoods;
    int inFlight = 0;
    int maxInFlight = 0;

    // Operation names as in calls; the behaviour holds until replaced.
    void script(const QString &operation, Behaviour behaviour) { m_behaviours.insert(operation, behaviour); }
    void fail(const QString &operation, HomeyError error)
    {
        script(operation, {behaviour(operation).latency, error});
    }
    void heal(const QString &operation) { script(operation, {behaviour(operation).latency, std::nullopt}); }
    void delay(const QString &operation, std::chrono::milliseconds latency)
    {
        script(operation, {latency, behaviour(operation).failure});
    }
    Behaviour behaviour(const QString &operation) const { return m_behaviours.value(operation); }
    // The next call of operation takes this long instead of its scripted latency; queued in order.
    void delayNext(const QString &operation, std::chrono::milliseconds latency)
    {
        m_nextLatencies[operation].append(latency);
    }

    QCoro::Task<QList<Zone>> zones(CancelToken cancel) override
    {
        return serve(u"zones", &Home::zones, cancel);
    }
    QCoro::Task<QList<Device>> devices(CancelToken cancel) override
    {
        return serve(u"devices", &Home::devices, cancel);
    }
    QCoro::Task<QList<Flow>> flows(CancelToken cancel) override
    {
        return serve(u"flows", &Home::flows, cancel);
    }
    QCoro::Task<QList<Mood>> moods(CancelToken cancel) override
    {
        return serve(u"moods", &Home::moods, cancel);
    }
    QCoro::Task<Favorites> favorites(CancelToken cancel) override
    {
        return serve(u"favorites", &Home::favorites, cancel);
    }
    QCoro::Task<EnergyState> energy(CancelToken cancel) override
    {
        return serve(u"energy", &Home::energy, cancel);
    }
    QCoro::Task<SystemState> system(CancelToken cancel) override
    {
        return serve(u"system", &Home::system, cancel);
    }
    QCoro::Task<QList<RawNotification>> notifications(CancelToken cancel) override
    {
        return serve(u"notifications", &Home::timeline, cancel);
    }
    QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value,
                                CancelToken cancel) override
    {
        co_await answer(QStringLiteral("setCapability"), cancel);
        writes.append({deviceID, capabilityID, value});
        for (Device &device : home.devices) {
            if (device.id == deviceID && device.capabilities.contains(capabilityID))
                device.capabilities[capabilityID].value = value;
        }
    }
    QCoro::Task<> startFlow(QString id, bool advanced, CancelToken cancel) override
    {
        Q_UNUSED(advanced);
        co_await answer(QStringLiteral("startFlow"), cancel);
        startedFlows.append(id);
    }
    QCoro::Task<> setMood(QString id, CancelToken cancel) override
    {
        co_await answer(QStringLiteral("setMood"), cancel);
        activatedMoods.append(id);
    }

private:
    // The home's member as it is when the answer comes.
    template <typename T> QCoro::Task<T> serve(const char16_t *operation, T Home::*member, CancelToken cancel)
    {
        co_await answer(QString::fromUtf16(operation), cancel);
        T answer = home.*member; // a copy: co_return moves from what it names
        co_return answer;
    }
    // Counts the request in flight for its whole latency, then fails or returns.
    QCoro::Task<> answer(QString operation, CancelToken cancel)
    {
        calls.append(operation);
        Behaviour how = behaviour(operation);
        if (QList<std::chrono::milliseconds> &next = m_nextLatencies[operation]; !next.isEmpty())
            how.latency = next.takeFirst();
        ++inFlight;
        maxInFlight = std::max(maxInFlight, inFlight);
        if (how.latency.count() > 0)
            co_await m_clock->sleep(how.latency, cancel);
        --inFlight;
        cancel.throwIfCancelled();
        if (how.failure)
            throw *how.failure;
    }

    std::shared_ptr<Clock> m_clock;
    QHash<QString, Behaviour> m_behaviours;
    QHash<QString, QList<std::chrono::milliseconds>> m_nextLatencies;
};
