#pragma once

#include <QString>

// Keys are named in the Mac notation where the views are specified ("⌘", "⌘R", "⇥", "⌘⌫", "esc"); on
// this desktop they are shown the Linux way ("Ctrl", "Ctrl+R", "Tab", "Ctrl+Backspace", "Esc"). Every
// key cap goes through here.
namespace KeyText {

QString display(const QString &key);

} // namespace KeyText
