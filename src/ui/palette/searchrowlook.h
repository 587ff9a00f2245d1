#pragma once

#include "homey/model/roomscope.h"
#include "ui/keycaplook.h"
#include "ui/palette/notificationrowlook.h"
#include "ui/scopechiplook.h"

#include <optional>
#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// The palette's search row: the magnifying glass, the chip of the room or of the notifications list,
// the field's prompt, the bell, and at the end either a clear button with the Esc cap or the hot key.
struct SearchRowLook {
    Q_GADGET
    QML_VALUE_TYPE(searchRowLook)
    Q_PROPERTY(QString magnifier MEMBER magnifier CONSTANT)
    Q_PROPERTY(QColor magnifierColor MEMBER magnifierColor CONSTANT)
    Q_PROPERTY(bool showsChip MEMBER showsChip CONSTANT)
    Q_PROPERTY(ScopeChipLook chip MEMBER chip CONSTANT)
    Q_PROPERTY(QString prompt MEMBER prompt CONSTANT)
    Q_PROPERTY(QString accessibleLabel MEMBER accessibleLabel CONSTANT)
    Q_PROPERTY(bool showsBell MEMBER showsBell CONSTANT)
    Q_PROPERTY(NotificationBellLook bell MEMBER bell CONSTANT)
    Q_PROPERTY(bool showsClear MEMBER showsClear CONSTANT)
    Q_PROPERTY(QString clearGlyph MEMBER clearGlyph CONSTANT)
    Q_PROPERTY(QString clearLabel MEMBER clearLabel CONSTANT)
    Q_PROPERTY(bool showsEscape MEMBER showsEscape CONSTANT)
    Q_PROPERTY(KeyCapLook escapeCap MEMBER escapeCap CONSTANT)
    Q_PROPERTY(bool showsHotKey MEMBER showsHotKey CONSTANT)
    Q_PROPERTY(QString hotKeyLabel MEMBER hotKeyLabel CONSTANT)

public:
    struct State {
        QString query;
        bool showsNotifications = false;
        // The scoped room, when there is one.
        std::optional<RoomScope> room;
        int unread = 0;
        // Empty where the desktop allows no global hot key.
        QString hotKeyLabel;

        bool operator==(const State &) const = default;
    };

    static SearchRowLook make(const State &state);
    // What the empty field asks for.
    static QString promptText(bool showsNotifications, bool scoped);

    bool operator==(const SearchRowLook &other) const;

    QString magnifier;
    QColor magnifierColor;
    bool showsChip = false;
    // Which chip: the notifications list's, else the room's.
    bool notificationsChip = false;
    ScopeChipLook chip;
    QString prompt;
    QString accessibleLabel;
    bool showsBell = false;
    NotificationBellLook bell;
    bool showsClear = false;
    QString clearGlyph;
    QString clearLabel;
    bool showsEscape = false;
    KeyCapLook escapeCap;
    bool showsHotKey = false;
    QString hotKeyLabel;
};
