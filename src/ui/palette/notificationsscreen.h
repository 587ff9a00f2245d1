#pragma once

#include "ui/keycaplook.h"
#include "ui/palette/notificationsmodel.h"
#include "ui/screens/rowscreen.h"

#include <functional>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class HomeStore;
class HoverGate;
class WhileShown;

// The palette's notifications mode: the header with the count, a hint when the desktop shows no
// banners, "filters" and "wis alles", then the store's filtered notifications newest first, or an empty
// state. Keys are the palette's; this follows the store and answers clicks.
class NotificationsScreen : public RowScreen {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the palette")
    Q_PROPERTY(QString count READ count NOTIFY changed)
    Q_PROPERTY(bool showsPermissionHint READ showsPermissionHint NOTIFY changed)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString permissionSymbol READ permissionSymbol CONSTANT)
    Q_PROPERTY(QString permissionText READ permissionText CONSTANT)
    Q_PROPERTY(QString permissionTooltip READ permissionTooltip CONSTANT)
    Q_PROPERTY(QString filtersText READ filtersText CONSTANT)
    Q_PROPERTY(QString clearText READ clearText CONSTANT)
    Q_PROPERTY(KeyCapLook clearCap READ clearCap CONSTANT)
    Q_PROPERTY(QString emptySymbol READ emptySymbol CONSTANT)
    Q_PROPERTY(QString emptyTitle READ emptyTitle CONSTANT)
    Q_PROPERTY(QString emptyText READ emptyText CONSTANT)

public:
    // Whether the desktop shows our banners: unavailable (no banners in this run at all), not known yet,
    // granted (a notification server is there) or denied (none is).
    enum class Permission { Unavailable, Unknown, Granted, Denied };
    Q_ENUM(Permission)

    struct Actions {
        std::function<void()> openSettings;
        std::function<void()> requestPermission;
    };

    NotificationsScreen(HomeStore *store, HoverGate *gate, Actions actions, QObject *parent = nullptr);

    void followBeat(const Motion *motion) override;

    void setPermission(Permission permission);
    Permission permission() const { return m_permission; }

    NotificationsModel *rows() { return &m_rows; }
    QAbstractItemModel *rowModel() override { return &m_rows; }
    bool isEmpty() const override { return m_rows.rows().isEmpty(); }
    QString count() const;
    bool showsPermissionHint() const { return m_permission == Permission::Denied; }
    QString title() const;
    QString permissionSymbol() const;
    QString permissionText() const;
    QString permissionTooltip() const;
    QString filtersText() const;
    QString clearText() const;
    KeyCapLook clearCap() const;
    QString emptySymbol() const;
    QString emptyTitle() const;
    QString emptyText() const;

    // A click selects the notification; it runs nothing.
    void activate(int index) override;
    Q_INVOKABLE void clear();
    Q_INVOKABLE void openSettings();
    Q_INVOKABLE void requestPermission();

private:
    void refresh();
    void selectionMoved();

    WhileShown *m_follow;
    Actions m_actions;
    NotificationsModel m_rows;
    Permission m_permission = Permission::Unknown;
};
