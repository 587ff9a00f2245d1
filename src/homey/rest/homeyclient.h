#pragma once

#include "homey/config/homeyendpoint.h"
#include "homey/model/homeyrealtime.h"
#include "homey/rest/homeyrestclient.h"
#include "homey/rest/homeytransport.h"

#include <memory>

class CPUSampler;

struct HomeyClientOptions {
    HomeyTransport::Options transport;
    // Writes are logged and not sent (the program's "--dry-run"); reads still go out.
    bool dryRun = false;
};

// The hub's REST interface over HTTP. Deleting the client aborts what it still runs: every waiting
// caller then gets Cancelled, and nothing queued is sent any more.
class HomeyClient final : public HomeyRESTClient {
public:
    using Options = HomeyClientOptions;

    HomeyClient(HomeyEndpoint endpoint, QString token, std::shared_ptr<HomeyRealtime> realtime,
                Options options = {});
    ~HomeyClient() override;
    HomeyClient(const HomeyClient &) = delete;
    HomeyClient &operator=(const HomeyClient &) = delete;

    const HomeyEndpoint &endpoint() const { return m_transport->endpoint(); }

    bool dryRun() const { return m_dryRun; }

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

private:
    // Everything a running operation needs lives behind shared pointers, so a coroutine that resumes
    // after the client is gone touches nothing freed.
    std::shared_ptr<HomeyTransport> m_transport;
    std::shared_ptr<HomeyRealtime> m_realtime;
    std::shared_ptr<CPUSampler> m_cpu;
    const bool m_dryRun;
};
