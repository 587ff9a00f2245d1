#pragma once

#include <QObject>
#include <QtQmlIntegration>

class MotionPreference;
class PanelVisibility;

// What the views may animate right now. Repeating animations (a breathing dot, a pulse, a sweep) run
// only while the panel is on screen and motion is not reduced; state changes animate only when motion
// is not reduced.
class Motion : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(bool reduced READ reduced NOTIFY changed)
    Q_PROPERTY(bool repeating READ repeating NOTIFY changed)
    Q_PROPERTY(int quick READ quick NOTIFY changed)
    Q_PROPERTY(int smooth READ smooth NOTIFY changed)
    Q_PROPERTY(double hoverLift READ hoverLift NOTIFY changed)

public:
    Motion(const PanelVisibility *visibility, const MotionPreference *preference, QObject *parent = nullptr);

    bool reduced() const;
    bool repeating() const;
    // Durations in milliseconds of the two standard animations; 0 when motion is reduced.
    int quick() const;
    int smooth() const;
    // How far a hovered tile rises (negative: up); it stays put when motion is reduced.
    double hoverLift() const;

Q_SIGNALS:
    void changed();

private:
    const PanelVisibility *m_visibility;
    const MotionPreference *m_preference;
};
