#include "ui/motionpreference.h"

using namespace Qt::StringLiterals;

MotionPreference::MotionPreference(QObject *parent)
    : MotionPreference(parseOverride(qEnvironmentVariable("QUORVANE_REDUCE_MOTION")), parent)
{}

MotionPreference::MotionPreference(std::optional<bool> override, QObject *parent)
    : QObject(parent), m_override(override)
{}

std::optional<bool> MotionPreference::parseOverride(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == u"1" || t == u"true" || t == u"yes" || t == u"on")
        return true;
    if (t == u"0" || t == u"false" || t == u"no" || t == u"off")
        return false;
    return std::nullopt;
}

void MotionPreference::setDesktopReduced(bool reduced)
{
    const bool before = this->reduced();
    m_desktop = reduced;
    if (this->reduced() != before)
        Q_EMIT reducedChanged();
}
