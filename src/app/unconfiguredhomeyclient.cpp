#include "app/unconfiguredhomeyclient.h"

#include "homey/model/homeyerror.h"

// Each is a coroutine, so the failure reaches the awaiting caller instead of the one who asked.

QCoro::Task<QList<Zone>> UnconfiguredHomeyClient::zones(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return QList<Zone>();
}

QCoro::Task<QList<Device>> UnconfiguredHomeyClient::devices(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return QList<Device>();
}

QCoro::Task<QList<Flow>> UnconfiguredHomeyClient::flows(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return QList<Flow>();
}

QCoro::Task<QList<Mood>> UnconfiguredHomeyClient::moods(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return QList<Mood>();
}

QCoro::Task<Favorites> UnconfiguredHomeyClient::favorites(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return Favorites();
}

QCoro::Task<EnergyState> UnconfiguredHomeyClient::energy(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return EnergyState();
}

QCoro::Task<SystemState> UnconfiguredHomeyClient::system(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return SystemState();
}

QCoro::Task<QList<RawNotification>> UnconfiguredHomeyClient::notifications(CancelToken)
{
    throw HomeyError::notConfigured();
    co_return QList<RawNotification>();
}

QCoro::Task<> UnconfiguredHomeyClient::setCapability(QString, QString, CapabilityValue, CancelToken)
{
    throw HomeyError::notConfigured();
    co_return;
}

QCoro::Task<> UnconfiguredHomeyClient::startFlow(QString, bool, CancelToken)
{
    throw HomeyError::notConfigured();
    co_return;
}

QCoro::Task<> UnconfiguredHomeyClient::setMood(QString, CancelToken)
{
    throw HomeyError::notConfigured();
    co_return;
}
