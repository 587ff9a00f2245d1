#pragma once

#include <QString>
#include <QStringList>

// Two facts of the run, read from the command line once per process.
namespace AppConfiguration {

// True when some argument is exactly "--onboarding-test".
bool isolated();

// The argument after the first "--test-id" when it is non-empty and only letters, digits and "-";
// otherwise a random UUID, generated once per process.
QString testID();

// The same rules applied to a given argument list; a fresh UUID on every call when no valid id is given.
bool isolatedFrom(const QStringList &arguments);
QString testIDFrom(const QStringList &arguments);

} // namespace AppConfiguration
