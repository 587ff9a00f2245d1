#pragma once

#include "homey/model/connectionstate.h"
#include "homey/model/reststate.h"
#include "ui/sectionheaderlook.h"
#include "ui/skeletontilelook.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>
#include <QVariantList>

// What the idle overview shows around its tiles: the scene and room headings, the loading skeleton or
// the empty state, the button for the extra rooms and the mode bar.
struct RestLook {
    Q_GADGET
    QML_VALUE_TYPE(restLook)
    Q_PROPERTY(bool showsScenes MEMBER showsScenes CONSTANT)
    Q_PROPERTY(SectionHeaderLook scenesHeader MEMBER scenesHeader CONSTANT)
    Q_PROPERTY(SectionHeaderLook roomsHeader MEMBER roomsHeader CONSTANT)
    Q_PROPERTY(bool loading MEMBER loading CONSTANT)
    Q_PROPERTY(QVariantList skeletonDelays MEMBER skeletonDelays CONSTANT)
    Q_PROPERTY(SkeletonTileLook skeleton MEMBER skeleton CONSTANT)
    Q_PROPERTY(QString skeletonAccessibleName MEMBER skeletonAccessibleName CONSTANT)
    Q_PROPERTY(bool showsEmptyRooms MEMBER showsEmptyRooms CONSTANT)
    Q_PROPERTY(QString emptyTitle MEMBER emptyTitle CONSTANT)
    Q_PROPERTY(QString emptyText MEMBER emptyText CONSTANT)
    Q_PROPERTY(bool showsRoomGrid MEMBER showsRoomGrid CONSTANT)
    Q_PROPERTY(bool showsMoreRooms MEMBER showsMoreRooms CONSTANT)
    Q_PROPERTY(QString moreRoomsText MEMBER moreRoomsText CONSTANT)
    Q_PROPERTY(QColor moreRoomsTextColor MEMBER moreRoomsTextColor CONSTANT)
    Q_PROPERTY(QColor moreRoomsPlate MEMBER moreRoomsPlate CONSTANT)
    Q_PROPERTY(QString moreRoomsAccessibleName MEMBER moreRoomsAccessibleName CONSTANT)
    Q_PROPERTY(QString chevron MEMBER chevron CONSTANT)
    Q_PROPERTY(double chevronRotation MEMBER chevronRotation CONSTANT)
    Q_PROPERTY(bool showsModes MEMBER showsModes CONSTANT)
    Q_PROPERTY(QString modesTitle MEMBER modesTitle CONSTANT)

public:
    static constexpr int skeletonTiles = 9;

    // moreRoomsShown: the extra rooms are open. moreRoomsFocused: their button has the keyboard.
    static RestLook make(const RestState &rest, const ConnectionState &connection, bool moreRoomsShown,
                         bool moreRoomsFocused = false);
    // No rooms yet while the home is still on its way: the grid shows placeholders instead of the
    // empty state.
    static bool isLoading(const RestState &rest, const ConnectionState &connection);

    bool operator==(const RestLook &other) const;

    bool showsScenes = false;
    SectionHeaderLook scenesHeader;
    SectionHeaderLook roomsHeader;
    bool loading = false;
    QVariantList skeletonDelays; // seconds before each placeholder's light starts to run
    SkeletonTileLook skeleton;
    QString skeletonAccessibleName;
    bool showsEmptyRooms = false;
    QString emptyTitle;
    QString emptyText;
    // The room tiles: neither placeholders nor the empty state.
    bool showsRoomGrid = false;
    bool showsMoreRooms = false;
    QString moreRoomsText;
    QColor moreRoomsTextColor;
    QColor moreRoomsPlate; // the selection's fill while the button has the keyboard
    QString moreRoomsAccessibleName;
    QString chevron;
    double chevronRotation = 0;
    bool showsModes = false;
    QString modesTitle;
};
