#include "homey/rest/homeyclient.h"

#include "base/async/background.h"
#include "base/async/cancelled.h"
#include "base/log.h"
#include "homey/model/homeyerror.h"
#include "homey/rest/cpusampler.h"
#include "homey/rest/homeyreads.h"

#include <cmath>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUuid>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

// An id as one path segment: "/" and everything else outside a path segment is percent-encoded. The
// segments "." and ".." (and the empty one) would change which resource the path names.
std::optional<QString> pathSegment(const QString &id)
{
    if (id.isEmpty() || id == "."_L1 || id == ".."_L1)
        return std::nullopt;
    return QString::fromLatin1(QUrl::toPercentEncoding(id, "!$&'()*+,;=:@"));
}

HomeyError unbuildable(const QString &path)
{
    return HomeyError::decoding(path + u": kon het verzoek niet opbouwen"_s);
}

// Fails where the caller awaits, like every other failure of an operation.
QCoro::Task<> failed(HomeyError error)
{
    throw error;
    co_return;
}

// One JSON value as compact text.
QByteArray compactJson(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Fetches path and turns the answer into values on a worker thread: decoding a large home must not
// stall the main thread.
template <class Decode>
QCoro::Task<std::invoke_result_t<Decode, const QByteArray &, const QString &>>
read(std::shared_ptr<HomeyTransport> transport, QString path, CancelToken cancel, Decode decode)
{
    const QByteArray body = co_await HomeyTransport::perform(transport, "GET", path, std::nullopt, cancel);
    // Named: g++ 12 destroys a temporary with a destructor inside a co_await expression twice.
    auto work = [body, path, decode]() { return decode(body, path); };
    auto values = co_await Background::run(std::move(work));
    cancel.throwIfCancelled();
    co_return values;
}

template <class T>
QCoro::Task<T> get(std::shared_ptr<HomeyTransport> transport, QString path, CancelToken cancel)
{
    return read(std::move(transport), std::move(path), std::move(cancel), &HomeyReads::document<T>);
}

template <class T>
QCoro::Task<QList<T>> getAll(std::shared_ptr<HomeyTransport> transport, QString path, CancelToken cancel)
{
    return read(std::move(transport), std::move(path), std::move(cancel), &HomeyReads::collection<T>);
}

QCoro::Task<> send(std::shared_ptr<HomeyTransport> transport, QString path, QByteArray method,
                   std::optional<QByteArray> body, bool dryRun, CancelToken cancel)
{
    if (method != "GET" && dryRun) {
        const QString bodyText =
            body && QUtf8StringView(*body).isValidUtf8() ? QString::fromUtf8(*body) : u"-"_s;
        Log::shared().write(u"DRY-RUN: "_s + QString::fromLatin1(method) + u" /api/"_s + path + u' ' +
                            bodyText + u"  -> NIET verstuurd"_s);
        co_return;
    }
    co_await HomeyTransport::perform(std::move(transport), std::move(method), std::move(path),
                                     std::move(body), std::move(cancel));
}

QCoro::Task<QList<Zone>> loadZones(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    return read(std::move(transport), u"manager/zones/zone/"_s, std::move(cancel),
                [](const QByteArray &body, const QString &path) {
                    return HomeyReads::zones(HomeyReads::collection<RawZone>(body, path));
                });
}

QCoro::Task<QList<Device>> loadDevices(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    return read(std::move(transport), u"manager/devices/device/"_s, std::move(cancel),
                [](const QByteArray &body, const QString &path) {
                    return HomeyReads::devices(HomeyReads::collection<RawDevice>(body, path));
                });
}

// One of the two flow lists; when it fails it stops its sibling at once.
QCoro::Task<QList<RawFlow>> flowList(std::shared_ptr<HomeyTransport> transport, QString path, CancelToken own,
                                     CancelToken sibling)
{
    try {
        co_return co_await getAll<RawFlow>(std::move(transport), std::move(path), std::move(own));
    } catch (...) {
        sibling.cancel();
        throw;
    }
}

QCoro::Task<QList<Flow>> loadFlows(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    CancelToken standardToken;
    CancelToken advancedToken;
    const CancelRegistration forward = cancel.onCancel([standardToken, advancedToken]() mutable {
        standardToken.cancel();
        advancedToken.cancel();
    });
    auto standardTask = flowList(transport, u"manager/flow/flow/"_s, standardToken, advancedToken);
    auto advancedTask = flowList(transport, u"manager/flow/advancedflow/"_s, advancedToken, standardToken);

    QList<RawFlow> standard;
    QList<RawFlow> advanced;
    std::exception_ptr standardError;
    std::exception_ptr advancedError;
    try {
        standard = co_await std::move(standardTask);
    } catch (...) {
        standardError = std::current_exception();
    }
    try {
        advanced = co_await std::move(advancedTask);
    } catch (...) {
        advancedError = std::current_exception();
    }
    cancel.throwIfCancelled();
    if (standardError) {
        // A standard list stopped only because the advanced one failed reports the real failure.
        bool stoppedBySibling = false;
        try {
            std::rethrow_exception(standardError);
        } catch (const Cancelled &) {
            stoppedBySibling = advancedError != nullptr;
        } catch (...) {
        }
        std::rethrow_exception(stoppedBySibling ? advancedError : standardError);
    }
    if (advancedError)
        std::rethrow_exception(advancedError);
    co_return HomeyReads::flows(standard, advanced);
}

QCoro::Task<QList<Mood>> loadMoods(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    return read(std::move(transport), u"manager/moods/mood/"_s, std::move(cancel),
                [](const QByteArray &body, const QString &path) {
                    return HomeyReads::moods(HomeyReads::collection<RawMood>(body, path));
                });
}

QCoro::Task<Favorites> loadFavorites(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    co_return HomeyReads::favorites(co_await get<RawUser>(transport, u"manager/users/user/me"_s, cancel));
}

QCoro::Task<EnergyState> loadEnergy(std::shared_ptr<HomeyTransport> transport, CancelToken cancel)
{
    co_return HomeyReads::energy(co_await get<RawEnergyLive>(transport, u"manager/energy/live/"_s, cancel));
}

QCoro::Task<SystemState> loadSystem(std::shared_ptr<HomeyTransport> transport,
                                    std::shared_ptr<CPUSampler> cpu, CancelToken cancel)
{
    const RawSystem raw = co_await get<RawSystem>(transport, u"manager/system/"_s, cancel);
    co_return HomeyReads::system(raw, cpu->percent(raw.cpus.value_or(QList<RawSystem::CPU>())));
}

QCoro::Task<QList<RawNotification>> loadNotifications(std::shared_ptr<HomeyTransport> transport,
                                                      CancelToken cancel)
{
    return read(std::move(transport), u"manager/notifications/notification/"_s, std::move(cancel),
                [](const QByteArray &body, const QString &path) {
                    return HomeyReads::notifications(HomeyReads::collection<RawTimelineItem>(body, path));
                });
}

QCoro::Task<> writeCapability(std::shared_ptr<HomeyTransport> transport,
                              std::shared_ptr<HomeyRealtime> realtime, QString deviceID, QString capabilityID,
                              CapabilityValue value, bool dryRun, CancelToken cancel)
{
    const std::optional<QString> device = pathSegment(deviceID);
    const std::optional<QString> capability = pathSegment(capabilityID);
    if (!device || !capability)
        throw unbuildable(u"manager/devices/device/"_s + deviceID + u"/capability/"_s + capabilityID);
    const QString path = u"manager/devices/device/"_s + *device + u"/capability/"_s + *capability;
    // JSON has no NaN or infinity; Qt would quietly write null instead.
    if (const auto number = value.numberValue(); number && !std::isfinite(*number))
        throw unbuildable(path);
    cancel.throwIfCancelled();

    const QString transactionID =
        u"quorvane-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    // The socket must know the id before the hub can echo the write.
    if (realtime)
        co_await realtime->registerOwnTransaction(transactionID);
    cancel.throwIfCancelled();

    const QByteArray body = "{\"value\":" + compactJson(value.toJson()) +
                            ",\"transactionId\":" + compactJson(transactionID) + "}";
    co_await send(std::move(transport), path, "PUT", body, dryRun, std::move(cancel));
}

} // namespace

HomeyClient::HomeyClient(HomeyEndpoint endpoint, QString token, std::shared_ptr<HomeyRealtime> realtime,
                         Options options)
    : m_transport(std::make_shared<HomeyTransport>(std::move(endpoint), std::move(token), options.transport)),
      m_realtime(std::move(realtime)), m_cpu(std::make_shared<CPUSampler>()), m_dryRun(options.dryRun)
{}

HomeyClient::~HomeyClient()
{
    m_transport->close();
}

QCoro::Task<QList<Zone>> HomeyClient::zones(CancelToken cancel)
{
    return loadZones(m_transport, std::move(cancel));
}

QCoro::Task<QList<Device>> HomeyClient::devices(CancelToken cancel)
{
    return loadDevices(m_transport, std::move(cancel));
}

QCoro::Task<QList<Flow>> HomeyClient::flows(CancelToken cancel)
{
    return loadFlows(m_transport, std::move(cancel));
}

QCoro::Task<QList<Mood>> HomeyClient::moods(CancelToken cancel)
{
    return loadMoods(m_transport, std::move(cancel));
}

QCoro::Task<Favorites> HomeyClient::favorites(CancelToken cancel)
{
    return loadFavorites(m_transport, std::move(cancel));
}

QCoro::Task<EnergyState> HomeyClient::energy(CancelToken cancel)
{
    return loadEnergy(m_transport, std::move(cancel));
}

QCoro::Task<SystemState> HomeyClient::system(CancelToken cancel)
{
    return loadSystem(m_transport, m_cpu, std::move(cancel));
}

QCoro::Task<QList<RawNotification>> HomeyClient::notifications(CancelToken cancel)
{
    return loadNotifications(m_transport, std::move(cancel));
}

QCoro::Task<> HomeyClient::setCapability(QString deviceID, QString capabilityID, CapabilityValue value,
                                         CancelToken cancel)
{
    return writeCapability(m_transport, m_realtime, std::move(deviceID), std::move(capabilityID),
                           std::move(value), m_dryRun, std::move(cancel));
}

QCoro::Task<> HomeyClient::startFlow(QString id, bool advanced, CancelToken cancel)
{
    const std::optional<QString> segment = pathSegment(id);
    const QString kind = advanced ? u"advancedflow"_s : u"flow"_s;
    if (!segment) {
        return failed(unbuildable(u"manager/flow/"_s + kind + u'/' + id + u"/trigger"_s));
    }
    return send(m_transport, u"manager/flow/"_s + kind + u'/' + *segment + u"/trigger"_s, "POST",
                std::nullopt, m_dryRun, std::move(cancel));
}

QCoro::Task<> HomeyClient::setMood(QString id, CancelToken cancel)
{
    const std::optional<QString> segment = pathSegment(id);
    if (!segment) {
        return failed(unbuildable(u"manager/moods/mood/"_s + id + u"/set"_s));
    }
    return send(m_transport, u"manager/moods/mood/"_s + *segment + u"/set"_s, "POST", std::nullopt, m_dryRun,
                std::move(cancel));
}
