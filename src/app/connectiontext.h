#pragma once

#include "homey/model/connectionstate.h"

#include <QString>

// The connection state in words, for the log and for the settings window.
namespace ConnectionText {

// The text in double quotes with quotes, backslashes and control characters escaped (\n, \t, \u{1b}): one
// line, always.
QString quoted(const QString &text);

// The state in a few words for the log, its texts quoted after them: live, niet verbonden,
// bezig met laden: "Apparaten ophalen...".
QString plain(const ConnectionState &state);

// One line for the user; a run without the hub says so whatever the state.
QString summary(const ConnectionState &state, bool connectsToHomey);

} // namespace ConnectionText
