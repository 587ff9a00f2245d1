#pragma once

#include <QString>

// The code names a key by one short symbol per modifier ("⌘", "⌘R", "⇥", "⌘⌫", "esc"), so a hint is
// built and compared as one short text; a person sees it the Linux way ("Ctrl", "Ctrl+R", "Tab",
// "Ctrl+Backspace", "Esc"). Every key cap goes through here.
namespace KeyText {

QString display(const QString &key);

} // namespace KeyText
