#pragma once

#include <QPointF>
#include <QSizeF>
#include <Qt>

// Which edges of a frameless window a pointer is on, and the cursor that says so. Positions are in the
// window's own coordinates.
namespace WindowEdges {

// How far in from an edge the edge can still be taken: the panel's lists start 6 in.
inline constexpr double band = 6;
// How far along an edge its corner reaches: a corner is hard to hit within the band alone.
inline constexpr double corner = 16;

// The edges under the point; none inside the band or outside the window. Within `corner` of a corner,
// the band of either side takes both edges. A window too narrow for two bands counts the left and the
// top one.
Qt::Edges at(QPointF point, QSizeF size);

// The resize cursor for those edges; the plain arrow for none.
Qt::CursorShape cursorFor(Qt::Edges edges);

} // namespace WindowEdges
