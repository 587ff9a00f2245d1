#pragma once

#include <optional>
#include <QString>
#include <QStringList>
#include <QUrl>

// Facts of the run, read from the command line once per process. The look-ups of the token and the hub
// that depend on them live with the application (app/appconfigurationlookup.h).
namespace AppConfiguration {

inline const QString standardService = QStringLiteral("ai.velkor.quorvane");
inline const QString isolatedServicePrefix = QStringLiteral("ai.velkor.quorvane.onboarding-test.");

// The process arguments, the program path first; also before the application object exists.
QStringList arguments();

// True when some argument is exactly "--onboarding-test".
bool isolated();

// The argument after the first "--test-id" when it is non-empty and only letters, digits and "-";
// otherwise a random upper-case UUID, generated once per process.
QString testID();

// The keyring service and, in an isolated run, the settings suite of everything the run keeps:
// standardService, or isolatedServicePrefix followed by testID().
QString service();
QString serviceFor(bool isolated, const QString &testID);

// The isolated run's hub: an absolute "http" URL whose host is exactly 127.0.0.1 (any port), without a
// fragment; anything else is refused.
std::optional<QUrl> testBaseURL(const QString &text);

// The same rules applied to a given argument list; a fresh UUID on every call when no valid id is given.
bool isolatedFrom(const QStringList &arguments);
QString testIDFrom(const QStringList &arguments);

} // namespace AppConfiguration
