#pragma once

#include "homey/rest/homeyrestclient.h"

// The stand-in hub client of a store that has no hub yet: every operation fails with
// HomeyError notConfigured, and nothing touches the network.
class UnconfiguredHomeyClient final : public HomeyRESTClient {
public:
    QCoro::Task<QList<Zone>> zones(CancelToken cancel) override;
    QCoro::Task<QList<Device>> devices(CancelToken cancel) override;
    QCoro::Task<QList<Flow>> flows(CancelToken cancel) override;
    QCoro::Task<QList<Mood>> moods(CancelToken cancel) override;
    QCoro::Task<Favorites> favorites(CancelToken cancel) override;
    QCoro::Task<EnergyState> energy(CancelToken cancel) override;
    QCoro::Task<SystemState> system(CancelToken cancel) override;
    QCoro::Task<QList<RawNotification>> notifications(CancelToken cancel) override;
    QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value,
                                CancelToken cancel) override;
    QCoro::Task<> startFlow(QString id, bool advanced, CancelToken cancel) override;
    QCoro::Task<> setMood(QString id, CancelToken cancel) override;
};
