#pragma once

#include <functional>
#include <QPointer>
#include <QPointF>

class HomeStore;
class HoverGate;

// What a pointer does to the rows of the results list and the room view, shared by both.
namespace RowActions {

// A row's hover-enter with the pointer at pointer (screen coordinates): selects the row once the
// pointer has really moved since the panel opened. Without a gate every hover counts.
void hover(HomeStore *store, HoverGate *gate, int index, QPointF pointer);

// A click on the row at index: selects it, then runs what it stands for. Afterwards dismiss is called
// when that was a flow or a mood; a device or a room keeps the panel open.
void click(HomeStore *store, int index, std::function<void()> dismiss);

// Read and clear of the gate's pointer flag by a list's selection watcher: true when the selection
// change came from the keyboard, so the list may scroll to it.
bool keyboardMoved(HoverGate *gate);

} // namespace RowActions
