#pragma once

#include <QString>

// The name of the cursor the X server shows now, as the cursor theme calls it ("size_hor"); empty when
// the cursor has none or there is no display.
QString cursorName();
