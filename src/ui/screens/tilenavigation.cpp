#include "ui/screens/tilenavigation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace TileNavigation {

namespace {

int countOf(TileFocus::Kind kind, const Shape &shape)
{
    switch (kind) {
    case TileFocus::Kind::Scene:
        return shape.scenes;
    case TileFocus::Kind::Room:
        return shape.rooms;
    case TileFocus::Kind::Mode:
        return shape.modes;
    case TileFocus::Kind::More:
        return shape.more ? 1 : 0;
    }
    return 0;
}

TileFocus fromScene(int i, int dy, const Shape &shape)
{
    if (dy < 0)
        return TileFocus::scene(i);
    if (shape.rooms > 0)
        return TileFocus::room(std::min(i, shape.rooms - 1));
    if (shape.more)
        return TileFocus::more();
    return shape.modes > 0 ? TileFocus::mode(0) : TileFocus::scene(i);
}

TileFocus fromRoom(int i, int dy, const Shape &shape)
{
    const int c = shape.columns;
    const int column = i % c;
    if (dy < 0) {
        if (i - c >= 0)
            return TileFocus::room(i - c);
        return shape.scenes > 0 ? TileFocus::scene(std::min(column, shape.scenes - 1)) : TileFocus::room(i);
    }
    if (std::int64_t(i) + c < shape.rooms)
        return TileFocus::room(i + c);
    if (shape.more)
        return TileFocus::more();
    if (shape.modes > 0)
        return TileFocus::mode(std::min(column, shape.modes - 1));
    return TileFocus::room(shape.rooms - 1);
}

TileFocus fromMode(int i, int dy, const Shape &shape)
{
    if (dy > 0)
        return TileFocus::mode(i);
    if (shape.more)
        return TileFocus::more();
    if (shape.rooms > 0) {
        // The first tile of the last grid row, then as far along it as the mode's own index.
        const int lastRow = (shape.rooms - 1) / shape.columns * shape.columns;
        return TileFocus::room(int(std::min<std::int64_t>(std::int64_t(lastRow) + i, shape.rooms - 1)));
    }
    return shape.scenes > 0 ? TileFocus::scene(std::min(i, shape.scenes - 1)) : TileFocus::mode(i);
}

// The button sits under the grid at its trailing edge: up goes to the last tile, down to the first mode.
TileFocus fromMore(int dy, const Shape &shape)
{
    if (dy > 0)
        return shape.modes > 0 ? TileFocus::mode(0) : TileFocus::more();
    if (shape.rooms > 0)
        return TileFocus::room(shape.rooms - 1);
    return shape.scenes > 0 ? TileFocus::scene(0) : TileFocus::more();
}

} // namespace

Shape::Shape(int scenes, int rooms, int modes, int columns, bool more)
    : scenes(scenes), rooms(rooms), modes(modes), columns(std::max(columns, 1)), more(more)
{}

int columns(double width)
{
    const double fitting = (width - 28 + 6) / 206;
    if (!(fitting >= minColumns)) // also NaN
        return minColumns;
    return fitting >= maxColumns ? maxColumns : int(fitting);
}

std::optional<TileFocus> first(const Shape &shape)
{
    if (shape.rooms >= 1)
        return TileFocus::room(0);
    if (shape.scenes >= 1)
        return TileFocus::scene(0);
    if (shape.modes >= 1)
        return TileFocus::mode(0);
    if (shape.more)
        return TileFocus::more();
    return std::nullopt;
}

std::optional<TileFocus> move(const std::optional<TileFocus> &focus, int dx, int dy, const Shape &shape)
{
    if (!focus)
        return first(shape);
    if (dx != 0) {
        const int count = countOf(focus->kind, shape);
        const std::int64_t index =
            std::clamp<std::int64_t>(std::int64_t(focus->index) + dx, 0, std::max(count - 1, 0));
        return TileFocus{focus->kind, int(index)};
    }
    if (dy == 0)
        return focus;
    switch (focus->kind) {
    case TileFocus::Kind::Scene:
        return fromScene(focus->index, dy, shape);
    case TileFocus::Kind::Room:
        return fromRoom(focus->index, dy, shape);
    case TileFocus::Kind::Mode:
        return fromMode(focus->index, dy, shape);
    case TileFocus::Kind::More:
        return fromMore(dy, shape);
    }
    return focus;
}

} // namespace TileNavigation
