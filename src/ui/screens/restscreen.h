#pragma once

#include "homey/model/room.h"
#include "ui/screens/chipsmodel.h"
#include "ui/screens/restlook.h"
#include "ui/screens/tilenavigation.h"
#include "ui/screens/tilesmodel.h"

#include <optional>
#include <QObject>
#include <QPointer>
#include <QtQmlIntegration>

class HomeStore;
class Motion;
class WhileShown;

// The idle overview while nothing is typed: scene chips, the room grid (placeholders while loading, an
// empty state, the extra rooms on request) and the mode bar. It keeps the tile focus, the open state of
// the extra rooms and the grid's columns, and writes the focus into the store's selection as one flat
// index: the first nine scenes, then the rooms shown, then the modes.
class RestScreen : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(ChipsModel *scenes READ scenes CONSTANT)
    Q_PROPERTY(TilesModel *rooms READ rooms CONSTANT)
    Q_PROPERTY(ChipsModel *modes READ modes CONSTANT)
    Q_PROPERTY(RestLook look READ look NOTIFY changed)
    // The rooms heading on its own: its count of lamps on moves with every lamp, and would otherwise make
    // every binding on the look re-read it.
    Q_PROPERTY(SectionHeaderLook roomsHeader READ roomsHeader NOTIFY roomsHeaderChanged)
    Q_PROPERTY(int columns READ columns NOTIFY columnsChanged)
    Q_PROPERTY(bool moreRoomsShown READ moreRoomsShown NOTIFY changed)

public:
    explicit RestScreen(HomeStore *store, QObject *parent = nullptr);

    // While the panel breathes, the hub's changes to the overview wait for its next beat (see WhileShown).
    void followBeat(const Motion *motion);

    ChipsModel *scenes() { return &m_scenes; }
    TilesModel *rooms() { return &m_rooms; }
    ChipsModel *modes() { return &m_modes; }
    const RestLook &look() const { return m_look; }
    const SectionHeaderLook &roomsHeader() const { return m_look.roomsHeader; }
    int columns() const { return m_columns; }
    bool moreRoomsShown() const { return m_moreRoomsShown; }

    std::optional<TileFocus> focus() const { return m_focus; }
    void setFocus(std::optional<TileFocus> focus);
    // An arrow key on the overview.
    void move(int dx, int dy);
    // The rooms, then the extra rooms while they are open.
    QList<Room> visibleRooms() const;
    TileNavigation::Shape shape() const;
    // The store's selection for a focus; -1 for the button of the extra rooms, which is no row of the
    // store's.
    int selectionIndex(const TileFocus &focus) const;

    // The view's width, which sets the grid's columns.
    Q_INVOKABLE void setWidth(double width);
    // The visible part of the overview changed its size: the tiles may have moved under it.
    Q_INVOKABLE void viewResized();
    Q_INVOKABLE void clickScene(int index);
    Q_INVOKABLE void clickRoom(int index);
    Q_INVOKABLE void clickMode(int index);
    Q_INVOKABLE void toggleMoreRooms();

Q_SIGNALS:
    // The look changed, apart from the rooms heading.
    void changed();
    void roomsHeaderChanged();
    void columnsChanged();
    void focusChanged();
    // Bring the focused tile into view: its section and its index there.
    void scrollRequested(TileFocus::Kind section, int index);
    // Bring the focused tile wholly into view, moving as little as it can: the view around it changed.
    void revealRequested(TileFocus::Kind section, int index);

private:
    void refresh();
    void syncSelection();
    // The ids of a section's tiles as shown, in order: the scenes' and the modes' hits, the rooms' zones.
    QStringList tileIDs(TileFocus::Kind kind) const;
    // The focus on the tile it was on wherever the overview moved it; in its place, within what is left
    // of its section, where that tile is gone.
    std::optional<TileFocus> followedFocus() const;

    QPointer<HomeStore> m_store;
    WhileShown *m_follow;
    ChipsModel m_scenes{ChipsModel::Kind::scenes};
    TilesModel m_rooms;
    ChipsModel m_modes{ChipsModel::Kind::modes};
    RestLook m_look;
    std::optional<TileFocus> m_focus;
    // The focused tile's id in its section, taken as the focus was set: none for the button.
    std::optional<QString> m_focusID;
    bool m_moreRoomsShown = false;
    int m_columns = 3;
};
