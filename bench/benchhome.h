#pragma once

#include "fakehub/fakehub.h"

#include <QJsonObject>
#include <QString>

// The fake hub's demo home grown to a given number of devices: its devices again and again, each copy
// with an id and a name of its own, in the same rooms.
namespace BenchHome {

inline QJsonObject make(int deviceCount)
{
    using namespace Qt::StringLiterals;
    QJsonObject home = FakeHub::readHomeFile(FakeHub::demoHomePath()).value_or(QJsonObject());
    const QJsonObject originals = home.value(u"devices"_s).toObject();
    const QStringList keys = originals.keys();
    QJsonObject devices;
    for (int i = 0; i < deviceCount && !keys.isEmpty(); ++i) {
        QJsonObject device = originals.value(keys.at(i % keys.size())).toObject();
        const QString id = u"00000000-0000-4000-8000-"_s + QString::number(i).rightJustified(12, u'0');
        device.insert(u"id"_s, id);
        if (i >= keys.size())
            device.insert(u"name"_s,
                          device.value(u"name"_s).toString() + u' ' + QString::number(i / keys.size() + 1));
        devices.insert(id, device);
    }
    home.insert(u"devices"_s, devices);
    return home;
}

} // namespace BenchHome
