#pragma once

#include <QString>
#include <QStringList>

namespace KeyScript {

// Where "--shot" puts the key script's picture, in the log's folder: the name that follows the switch
// plus ".png", or the panel picture's usual file when no plain file name follows (the switch is last,
// another switch follows, or the name would reach out of the folder).
QString picturePath(const QStringList &arguments);
// A plain file name for the picture: it stays in the log's folder.
bool isPictureName(const QString &name);

} // namespace KeyScript
