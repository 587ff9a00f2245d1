#pragma once

#include "homey/model/hit.h"
#include "store/home/runaction.h"

#include <functional>
#include <QPointer>

class HomeStore;
class HoverGate;
class LevelCoalescer;

// What a pointer does to the rows of the results list and the room view, shared by both.
namespace RowActions {

// What Return does with the selected row, as the palette's key map runs it and the row's Return key and
// the hint bar name it: Nothing while a device's controls are open (Return then works the control that
// has the keyboard) and wherever running the row would change nothing.
RunAction onReturn(const HomeStore &store, const Hit &hit);

// A row's hover-enter: selects the row once the pointer has really moved since the panel opened.
// Without a gate every hover counts.
void hover(HomeStore *store, HoverGate *gate, int index);

// A click on the row at index: selects it, then runs what it stands for. Afterwards dismiss is called
// when that was a flow or a mood; a device or a room keeps the panel open.
void click(HomeStore *store, int index, std::function<void()> dismiss);

// A drag on a device row's level bar to level; released: the drag ended there. With a coalescer the
// writes are thinned out per lamp as the control strip's bars are (the latest level wins and the end is
// always sent), else each position is set at once.
void scrub(HomeStore *store, LevelCoalescer *coalescer, const QString &deviceID, double level, bool released);

// The hits as their rows show them: a lamp whose bar is being dragged shows the dragged level, which
// the store learns only when the coalescer sends it.
QList<Hit> withDraggedLevels(QList<Hit> hits, const HomeStore &store, const LevelCoalescer *coalescer);

// Read and clear of the gate's pointer flag by a list's selection watcher: true when the selection
// change came from the keyboard, so the list may scroll to it.
bool keyboardMoved(HoverGate *gate);

} // namespace RowActions
