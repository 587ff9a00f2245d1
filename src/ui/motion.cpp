#include "ui/motion.h"

#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/theme.h"

Motion::Motion(const PanelVisibility *visibility, const MotionPreference *preference, QObject *parent)
    : QObject(parent), m_visibility(visibility), m_preference(preference)
{
    connect(visibility, &PanelVisibility::isVisibleChanged, this, &Motion::changed);
    connect(preference, &MotionPreference::reducedChanged, this, &Motion::changed);
}

bool Motion::reduced() const
{
    return m_preference->reduced();
}

bool Motion::repeating() const
{
    return animates();
}

bool Motion::animates() const
{
    return m_visibility->isVisible() && !reduced();
}

int Motion::quick() const
{
    return reduced() ? 0 : Theme::quickMs;
}

int Motion::smooth() const
{
    return reduced() ? 0 : Theme::smoothMs;
}

int Motion::count() const
{
    return animates() ? Theme::countMs : 0;
}

double Motion::hoverLift() const
{
    return reduced() ? 0 : -1;
}
