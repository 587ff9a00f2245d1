#pragma once

#include "homey/model/connectionstate.h"

#include <QColor>
#include <QString>

// How a status dot is coloured and whether it breathes.
enum class StatusTone { live, busy, warn, fail, off };

StatusTone statusTone(const ConnectionState &state);
// The Dutch word for the link: the loading text itself, "Verbinden", "Vertraagd", "Fout", ...
QString connectionLabel(const ConnectionState &state);
// Whether the connection has come to rest (live, degraded or failed).
bool isSettled(const ConnectionState &state);

QColor toneColour(StatusTone tone);
