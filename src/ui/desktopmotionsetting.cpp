#include "ui/desktopmotionsetting.h"

#include "ports/desktopsettings.h"
#include "ui/motionpreference.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

const std::array<DesktopSettings::Key, 3> &sources()
{
    static const std::array<DesktopSettings::Key, 3> list{{
        {u"org.freedesktop.appearance"_s, u"reduced-motion"_s},
        {u"org.gnome.desktop.interface"_s, u"enable-animations"_s},
        {u"org.kde.kdeglobals.KDE"_s, u"AnimationDurationFactor"_s},
    }};
    return list;
}

} // namespace

DesktopMotionSetting::DesktopMotionSetting(MotionPreference *preference, DesktopSettings &settings)
    : QObject(preference), m_preference(preference)
{
    settings.watch(QList<DesktopSettings::Key>(sources().begin(), sources().end()),
                   [self = QPointer(this)](const QString &group, const QString &key, const QVariant &value) {
                       for (std::size_t i = 0; self && i < sources().size(); ++i) {
                           if (sources()[i].group == group && sources()[i].key == key)
                               self->take(i, interpret(group, key, value));
                       }
                   });
}

std::optional<bool> DesktopMotionSetting::interpret(const QString &group, const QString &key,
                                                    const QVariant &value)
{
    bool ok = false;
    if (group == sources()[0].group && key == sources()[0].key) {
        const uint mode = value.toUInt(&ok);
        return ok ? std::optional<bool>(mode == 1) : std::nullopt;
    }
    if (group == sources()[1].group && key == sources()[1].key) {
        if (value.metaType() != QMetaType::fromType<bool>())
            return std::nullopt;
        return !value.toBool();
    }
    if (group == sources()[2].group && key == sources()[2].key) {
        const double factor = value.toDouble(&ok);
        return ok ? std::optional<bool>(factor <= 0) : std::nullopt;
    }
    return std::nullopt;
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
