#pragma once

#include <optional>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The focused tile of the idle overview: a scene chip (of the first nine), a room tile (of the rooms
// shown, the extra rooms included while they are open), the button that shows or hides the extra rooms,
// or a mode chip, by index.
struct TileFocus {
    Q_GADGET

public:
    enum class Kind { Scene, Room, Mode, More };
    Q_ENUM(Kind)

    Kind kind = Kind::Room;
    int index = 0;

    static TileFocus scene(int index) { return {Kind::Scene, index}; }
    static TileFocus room(int index) { return {Kind::Room, index}; }
    static TileFocus mode(int index) { return {Kind::Mode, index}; }
    static TileFocus more() { return {Kind::More, 0}; }

    bool operator==(const TileFocus &) const = default;
};

// The overview's sections by name in QML: TileFocus.Scene, TileFocus.Room, TileFocus.Mode.
namespace TileFocusForeign {
Q_NAMESPACE
QML_NAMED_ELEMENT(TileFocus)
QML_FOREIGN_NAMESPACE(TileFocus)
} // namespace TileFocusForeign

// Arrow-key arithmetic over the overview: scenes on top, the room grid in reading order, the modes below.
namespace TileNavigation {

struct Shape {
    Shape() = default;
    // columns below 1 count as 1. more: the button for the extra rooms stands under the grid.
    Shape(int scenes, int rooms, int modes, int columns, bool more = false);

    int scenes = 0;
    int rooms = 0;
    int modes = 0;
    int columns = 1;
    bool more = false;
};

inline constexpr int minColumns = 2;
inline constexpr int maxColumns = 5;

// Room-grid columns for a view this wide: tiles of about 200 px with 6 px between them and 14 px of
// margin on each side, 2 to 5 of them.
int columns(double width);

// Where the focus goes when there is none: the first room, else the first scene, else the first mode,
// else the button for the extra rooms.
std::optional<TileFocus> first(const Shape &shape);

// One arrow key: dx -1 or 1 (left, right) walks along the focused list; dy -1 or 1 (up, down) goes
// between rows, scenes and modes, by way of the button for the extra rooms between the grid and the
// modes. At an edge the focus stays.
std::optional<TileFocus> move(const std::optional<TileFocus> &focus, int dx, int dy, const Shape &shape);

} // namespace TileNavigation
