#include "ui/palette/heldkeys.h"

bool HeldKeys::press(quint64 key, quint64 timestamp, bool autoRepeat)
{
    State &state = m_keys[key];
    const bool repeat = autoRepeat || state.down || (state.released && state.releasedAt == timestamp);
    state.down = true;
    return !repeat;
}

void HeldKeys::release(quint64 key, quint64 timestamp, bool autoRepeat)
{
    // A release Qt already knows to be a repeat's leaves the key held.
    if (autoRepeat)
        return;
    State &state = m_keys[key];
    state.down = false;
    state.released = true;
    state.releasedAt = timestamp;
}
