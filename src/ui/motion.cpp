#include "ui/motion.h"

#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/theme.h"

#include <cmath>
#include <QMetaMethod>

Motion::Motion(const PanelVisibility *visibility, const MotionPreference *preference, QObject *parent)
    : QObject(parent), m_visibility(visibility), m_preference(preference)
{
    connect(visibility, &PanelVisibility::isVisibleChanged, this, &Motion::changed);
    connect(preference, &MotionPreference::reducedChanged, this, &Motion::changed);
    m_beatTimer.setInterval(1000 / beatFps);
    connect(&m_beatTimer, &QTimer::timeout, this, &Motion::step);
    connect(this, &Motion::changed, this, &Motion::followRepeating);
    followRepeating();
}

double Motion::wave(double beat, double halfPeriod) const
{
    if (!(halfPeriod > 0) || !std::isfinite(beat))
        return 0;
    double t = std::fmod(std::abs(beat), 2 * halfPeriod) / halfPeriod;
    if (t > 1)
        t = 2 - t;
    // Ease in and out (quadratic), as the animations these cycles replaced.
    return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
}

void Motion::followRepeating()
{
    if (repeating() == m_beatTimer.isActive())
        return;
    if (repeating()) {
        m_sinceStart.start();
        m_beatTimer.start();
        return;
    }
    m_beatTimer.stop();
    m_beat = 0;
    Q_EMIT beatChanged();
}

void Motion::step()
{
    m_beat = double(m_sinceStart.elapsed());
    // Nothing on screen breathes or pulses: nothing to move.
    if (isSignalConnected(QMetaMethod::fromSignal(&Motion::beatChanged)))
        Q_EMIT beatChanged();
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
