#pragma once

#include <QHash>
#include <QtGlobal>

// Tells a new press by a person from a key that is still held. Qt marks most repeats of a held key, but
// on X11 a repeat of the server sometimes arrives as a plain release and a plain press that carry the
// same time stamp. A press is new only after a real release of the same key: one that is not followed
// at once, at the same time stamp, by the next press.
class HeldKeys {
public:
    // key: any number that is the same for the press and the release of one key.
    // True for a new press; false for a repeat of a key that was never really let go.
    bool press(quint64 key, quint64 timestamp, bool autoRepeat);
    void release(quint64 key, quint64 timestamp, bool autoRepeat);
    // The window lost the keyboard: releases go elsewhere now, so nothing counts as held any more.
    void forget() { m_keys.clear(); }

private:
    struct State {
        bool down = false;
        bool released = false;
        quint64 releasedAt = 0;
    };
    QHash<quint64, State> m_keys;
};
