#pragma once

#include "base/async/canceltoken.h"
#include "homey/model/capabilityvalue.h"
#include "homey/model/device.h"
#include "homey/model/energystate.h"
#include "homey/model/favorites.h"
#include "homey/model/flow.h"
#include "homey/model/mood.h"
#include "homey/model/rawnotification.h"
#include "homey/model/systemstate.h"
#include "homey/model/zone.h"

#include <QCoroTask>
#include <QList>
#include <QString>

// How the home store reads and writes the hub. Every operation fails with HomeyError, or with
// Cancelled once its token is cancelled. Parameters are by value: these are coroutines.
class HomeyRESTClient {
public:
    virtual ~HomeyRESTClient();

    virtual QCoro::Task<QList<Zone>> zones(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<QList<Device>> devices(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<QList<Flow>> flows(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<QList<Mood>> moods(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<Favorites> favorites(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<EnergyState> energy(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<SystemState> system(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<QList<RawNotification>> notifications(CancelToken cancel = {}) = 0;
    virtual QCoro::Task<> setCapability(QString deviceID, QString capabilityID, CapabilityValue value,
                                        CancelToken cancel = {}) = 0;
    virtual QCoro::Task<> startFlow(QString id, bool advanced, CancelToken cancel = {}) = 0;
    virtual QCoro::Task<> setMood(QString id, CancelToken cancel = {}) = 0;
};
