#include "base/async/locked.h"
#include "homey/config/envfile.h"
#include "homey/config/homeyconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

using namespace Qt::StringLiterals;

namespace HomeyConfig {

namespace {

Locked<std::optional<EnvironmentMap>> &envCache()
{
    static Locked<std::optional<EnvironmentMap>> cache;
    return cache;
}

EnvironmentMap processEnvironment()
{
    EnvironmentMap variables;
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys())
        variables.insert(name, environment.value(name));
    return variables;
}

// The value of the first of `names` that is set at all, even to an empty text.
std::optional<QString> firstPresent(const EnvironmentMap &values, std::initializer_list<QString> names)
{
    for (const QString &name : names) {
        const auto found = values.constFind(name);
        if (found != values.constEnd())
            return *found;
    }
    return std::nullopt;
}

} // namespace

std::optional<HomeyEndpoint> fromEnvironment()
{
    return fromEnvironment(environmentValues());
}

std::optional<HomeyEndpoint> fromEnvironment(const EnvironmentMap &values)
{
    const std::optional<QString> base = firstPresent(values, {u"HOMEY_BASE"_s, u"QUORVANE_BASE"_s});
    if (!base)
        return std::nullopt;
    const std::optional<QUrl> url = HomeyEndpoint::parseBaseURL(EnvFile::trimSpacesAndTabs(*base));
    if (!url)
        return std::nullopt;
    const QString id = firstPresent(values, {u"HOMEY_ID"_s, u"QUORVANE_HOMEY_ID"_s}).value_or(QString());
    if (id.isEmpty())
        return std::nullopt;
    return HomeyEndpoint{*url, id, firstPresent(values, {u"HOMEY_NAME"_s})};
}

EnvironmentMap environmentValues()
{
    if (std::optional<EnvironmentMap> cached = envCache().get())
        return *cached;
    // Built outside the lock: two first callers may both build it, with equal results.
    EnvironmentMap values = buildEnvironmentValues(processEnvironment(), QDir::currentPath());
    envCache().set(values);
    return values;
}

QStringList envFileCandidates(const EnvironmentMap &processEnvironment, const QString &workingDirectory)
{
    QStringList paths;
    const QDir working(workingDirectory);
    const auto named = processEnvironment.constFind(u"QUORVANE_ENV_FILE"_s);
    if (named != processEnvironment.constEnd())
        paths << working.absoluteFilePath(*named);

    QString directory = QDir::cleanPath(working.absolutePath());
    for (int level = 0; level < 5; ++level) {
        paths << QDir(directory).filePath(u".env"_s);
        const QString parent = QDir::cleanPath(directory + u"/.."_s);
        if (parent == directory)
            break;
        directory = parent;
    }

    QStringList existing;
    for (const QString &path : std::as_const(paths)) {
        // Regular files only: a FIFO called ".env" would block the read forever.
        if (QFileInfo(path).isFile())
            existing << path;
    }
    return existing;
}

EnvironmentMap buildEnvironmentValues(const EnvironmentMap &processEnvironment,
                                      const QString &workingDirectory)
{
    EnvironmentMap values;
    for (const QString &path : envFileCandidates(processEnvironment, workingDirectory)) {
        if (std::optional<QString> text = EnvFile::readText(path)) {
            values = EnvFile::parse(*text);
            break;
        }
    }
    for (auto it = processEnvironment.constBegin(); it != processEnvironment.constEnd(); ++it)
        values.insert(it.key(), it.value());
    return values;
}

} // namespace HomeyConfig
