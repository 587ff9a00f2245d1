#include "ui/desktopmotionsetting.h"

#include "ui/motionpreference.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"org.freedesktop.portal.Desktop"_s;
const QString path = u"/org/freedesktop/portal/desktop"_s;
const QString interface = u"org.freedesktop.portal.Settings"_s;

struct Source {
    QString group;
    QString key;
};

const std::array<Source, 3> &sources()
{
    static const std::array<Source, 3> list{{
        {u"org.freedesktop.appearance"_s, u"reduced-motion"_s},
        {u"org.gnome.desktop.interface"_s, u"enable-animations"_s},
        {u"org.kde.kdeglobals.KDE"_s, u"AnimationDurationFactor"_s},
    }};
    return list;
}

// The portal wraps a setting in one or two variants, depending on its version.
QVariant unwrap(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

DesktopMotionSetting::DesktopMotionSetting(MotionPreference *preference)
    : QObject(preference), m_preference(preference)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(service, path, interface, u"SettingChanged"_s, this,
                SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    for (std::size_t i = 0; i < sources().size(); ++i) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, u"Read"_s);
        call << sources()[i].group << sources()[i].key;
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, i](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<QDBusVariant> reply = *w;
            if (reply.isError())
                return;
            take(i, interpret(sources()[i].group, sources()[i].key, reply.value().variant()));
        });
    }
}

std::optional<bool> DesktopMotionSetting::interpret(const QString &group, const QString &key,
                                                    const QVariant &value)
{
    const QVariant v = unwrap(value);
    bool ok = false;
    if (group == sources()[0].group && key == sources()[0].key) {
        const uint mode = v.toUInt(&ok);
        return ok ? std::optional<bool>(mode == 1) : std::nullopt;
    }
    if (group == sources()[1].group && key == sources()[1].key) {
        if (v.metaType() != QMetaType::fromType<bool>())
            return std::nullopt;
        return !v.toBool();
    }
    if (group == sources()[2].group && key == sources()[2].key) {
        const double factor = v.toDouble(&ok);
        return ok ? std::optional<bool>(factor <= 0) : std::nullopt;
    }
    return std::nullopt;
}

void DesktopMotionSetting::onSettingChanged(const QString &group, const QString &key,
                                            const QDBusVariant &value)
{
    for (std::size_t i = 0; i < sources().size(); ++i) {
        if (sources()[i].group == group && sources()[i].key == key)
            take(i, interpret(group, key, value.variant()));
    }
}

void DesktopMotionSetting::take(std::size_t source, std::optional<bool> reduced)
{
    if (!reduced)
        return;
    m_answers[source] = reduced;
    for (const auto &answer : m_answers) {
        if (answer) {
            m_preference->setDesktopReduced(*answer);
            return;
        }
    }
}
