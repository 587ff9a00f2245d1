#pragma once

#include <QObject>

// Proves that presses of the registered hot key really arrive: armed, the next press is taken by the
// tester instead of toggling the panel.
class HotKeyTester : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isArmed READ isArmed NOTIFY isArmedChanged)
    Q_PROPERTY(bool didFire READ didFire NOTIFY didFireChanged)

public:
    using QObject::QObject;

    bool isArmed() const { return m_armed; }
    bool didFire() const { return m_fired; }

    void arm();
    void disarm();
    // True exactly once per arm(): the press belongs to the tester.
    bool consumeFire();

Q_SIGNALS:
    void isArmedChanged();
    void didFireChanged();

private:
    void setArmed(bool armed);
    void setFired(bool fired);

    bool m_armed = false;
    bool m_fired = false;
};
