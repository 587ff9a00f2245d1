#pragma once

#include <QObject>
#include <QtQmlIntegration>

// Whether the palette panel is on screen. Repeating animations run only while it is set; the panel
// controller sets it on show and clears it after hiding.
class PanelVisibility : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the panel controller")
    Q_PROPERTY(bool isVisible READ isVisible WRITE set NOTIFY isVisibleChanged)

public:
    using QObject::QObject;

    bool isVisible() const { return m_visible; }
    // Announces only a real change, so a repeated show or hide wakes nobody.
    void set(bool visible);

Q_SIGNALS:
    void isVisibleChanged();

private:
    bool m_visible = false;
};
