#include "app/hotkeyrecorder.h"

void HotKeyRecorder::start()
{
    if (m_recording)
        return;
    setRecording(true);
    setCaptured(std::nullopt);
}

void HotKeyRecorder::stop()
{
    setRecording(false);
}

bool HotKeyRecorder::keyPressed(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (!m_recording)
        return false;
    const quint32 mask = HotKeyCombo::carbonModifiers(modifiers);
    const std::optional<quint32> keyCode = HotKeyCombo::keyCodeOf(qtKey, modifiers);
    if (!keyCode)
        return true; // a modifier pressed on its own arrives as a key press of its own here
    if (*keyCode == HotKeyCombo::escapeKeyCode && mask == 0) {
        stop();
        return true;
    }
    const HotKeyCombo combo{*keyCode, mask};
    if (!combo.hasModifier())
        return true;
    stop();
    setCaptured(combo);
    return true;
}

void HotKeyRecorder::setRecording(bool recording)
{
    if (m_recording == recording)
        return;
    m_recording = recording;
    Q_EMIT isRecordingChanged();
}

void HotKeyRecorder::setCaptured(std::optional<HotKeyCombo> combo)
{
    if (m_captured == combo)
        return;
    m_captured = combo;
    Q_EMIT capturedChanged();
}
