#pragma once

#include <functional>
#include <QList>
#include <QString>
#include <QVariant>

// The desktop's settings as its settings portal publishes them: each read once, then followed. Implemented
// over org.freedesktop.portal.Settings in src/platform.
class DesktopSettings {
public:
    struct Key {
        QString group;
        QString key;
    };
    // A setting's value, as a plain QVariant; on the main thread.
    using OnValue = std::function<void(const QString &group, const QString &key, const QVariant &value)>;

    virtual ~DesktopSettings() = default;

    // Reads the keys and reports each answer, then every change of any setting, to onValue for as long as
    // this object lives. Without a session bus or a portal, onValue is never called.
    virtual void watch(QList<Key> keys, OnValue onValue) = 0;
};
