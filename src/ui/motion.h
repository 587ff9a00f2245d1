#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QtQmlIntegration>

class MotionPreference;
class PanelVisibility;

// What the views may animate right now. Repeating animations (a breathing dot, a pulse, a sweep) run
// only while the panel is on screen and motion is not reduced; state changes animate only when motion
// is not reduced. The changes a person watches happen (the control strip sliding in under its row, the
// row growing for it, the status bar's figures counting) animate only while the panel is on screen
// and motion is not reduced too: a hidden panel takes them at once.
//
// The slow repeating animations (a breath, a pulse) follow one shared beat instead of running animations of
// their own: a running animation has the window drawn at the display's rate, where these need no more than
// beatFps to look smooth, and the beat moves only what reads it.
class Motion : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(bool reduced READ reduced NOTIFY changed)
    Q_PROPERTY(bool repeating READ repeating NOTIFY changed)
    Q_PROPERTY(bool animates READ animates NOTIFY changed)
    Q_PROPERTY(int count READ count NOTIFY changed)
    Q_PROPERTY(int quick READ quick NOTIFY changed)
    Q_PROPERTY(int smooth READ smooth NOTIFY changed)
    Q_PROPERTY(double hoverLift READ hoverLift NOTIFY changed)
    Q_PROPERTY(double beat READ beat NOTIFY beatChanged)

public:
    Motion(const PanelVisibility *visibility, const MotionPreference *preference, QObject *parent = nullptr);

    bool reduced() const;
    bool repeating() const;
    bool animates() const;
    // Durations in milliseconds of the two standard animations; 0 when motion is reduced.
    int quick() const;
    int smooth() const;
    // How long a changed figure counts to its new value; 0 while nothing animates.
    int count() const;
    // How far a hovered tile rises (negative: up); it stays put when motion is reduced.
    double hoverLift() const;

    static constexpr int beatFps = 20;
    // Milliseconds since the repeating animations started, stepped beatFps times a second while they run.
    double beat() const { return m_beat; }
    bool beats() const { return m_beatTimer.isActive(); }
    // Where a cycle that eases from 0 to 1 in halfPeriod milliseconds and back stands at the beat.
    Q_INVOKABLE double wave(double beat, double halfPeriod) const;

Q_SIGNALS:
    void changed();
    void beatChanged();

private:
    void followRepeating();
    void step();

    const PanelVisibility *m_visibility;
    const MotionPreference *m_preference;
    QTimer m_beatTimer;
    QElapsedTimer m_sinceStart;
    double m_beat = 0;
};
