#pragma once

#include "app/hotkeycombo.h"

#include <optional>
#include <QObject>

// Picks a new hot key from the keyboard. While recording, whoever receives key presses (the settings
// window) hands each one to keyPressed() and drops it when told so, so no press reaches a field.
class HotKeyRecorder : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY isRecordingChanged)
    Q_PROPERTY(QString capturedDisplay READ capturedDisplay NOTIFY capturedChanged)

public:
    using QObject::QObject;

    bool isRecording() const { return m_recording; }
    std::optional<HotKeyCombo> captured() const { return m_captured; }
    // The captured combination's display text, empty when none.
    QString capturedDisplay() const { return m_captured ? m_captured->display() : QString(); }

    // Starts afresh (no capture) unless already recording.
    void start();
    // Ends recording; a capture is kept.
    void stop();

    // One key press. Plain Esc ends recording without a capture; a key of the table with Control, Alt,
    // Shift or Super is captured and ends it; anything else (a bare key, a modifier key on its own, a key
    // that cannot be stored) is ignored. True while recording: the press is spent.
    bool keyPressed(int qtKey, Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    void isRecordingChanged();
    void capturedChanged();

private:
    void setRecording(bool recording);
    void setCaptured(std::optional<HotKeyCombo> combo);

    bool m_recording = false;
    std::optional<HotKeyCombo> m_captured;
};
