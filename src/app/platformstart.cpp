#include "app/platformstart.h"

#include "base/log.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace PlatformStart {

namespace {

std::mutex linesMutex;
QStringList watchedLines;
QtMessageHandler previousHandler = nullptr;

// The plugins Qt names in its lines with this wording: "... platform plugin "wayland" in ...".
QStringList pluginsNamed(const QStringList &qtLines, const QString &wording)
{
    static const QRegularExpression named(u"platform plugin \"([^\"]*)\""_s);
    QStringList names;
    for (const QString &line : qtLines) {
        if (!line.contains(wording))
            continue;
        const QRegularExpressionMatch match = named.match(line);
        if (match.hasMatch() && !names.contains(match.captured(1)))
            names << match.captured(1);
    }
    return names;
}

QStringList missing(const QStringList &qtLines)
{
    return pluginsNamed(qtLines, u"Could not find"_s);
}

QStringList unloadable(const QStringList &qtLines)
{
    return pluginsNamed(qtLines, u"Could not load"_s);
}

bool waylandAmong(const QStringList &names)
{
    return std::any_of(names.begin(), names.end(),
                       [](const QString &name) { return name.startsWith(u"wayland"_s); });
}

QString quoted(const QStringList &names)
{
    return u"\""_s + names.join(u"\", \""_s) + u"\""_s;
}

void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        const std::lock_guard lock(linesMutex);
        watchedLines << message;
    }
    if (previousHandler)
        previousHandler(type, context, message);
    if (type != QtFatalMsg)
        return;
    QStringList lines;
    {
        const std::lock_guard lock(linesMutex);
        lines = watchedLines;
    }
    log(failureLine(lines));
    Log::shared().flush();
    // Qt would abort next; nothing of the half-made application needs taking down.
    std::_Exit(failureStatus);
}

} // namespace

void watch()
{
    {
        const std::lock_guard lock(linesMutex);
        watchedLines.clear();
    }
    previousHandler = qInstallMessageHandler(handle);
}

void started(const QString &platformName)
{
    qInstallMessageHandler(previousHandler);
    QStringList lines;
    {
        const std::lock_guard lock(linesMutex);
        lines.swap(watchedLines);
    }
    if (const std::optional<QString> line = fallbackLine(lines, platformName))
        log(*line);
}

QString failureLine(const QStringList &qtLines)
{
    const QStringList absent = missing(qtLines);
    const QStringList failed = unloadable(qtLines);
    QString line = u"!! geen beeldscherm: "_s;
    if (waylandAmong(absent))
        line += u"Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland)"_s;
    else if (!absent.isEmpty())
        line += u"Qt heeft geen plugin voor "_s + quoted(absent);
    if (!absent.isEmpty()) {
        if (!failed.isEmpty())
            line += u" en kon ook "_s + quoted(failed) + u" niet starten"_s;
        return line + u"."_s;
    }
    if (!failed.isEmpty()) {
        return line + u"Qt kon de desktop niet bereiken (geprobeerd: "_s + quoted(failed) +
               u"). Start Quorvane in een grafische sessie."_s;
    }
    const QString reason = qtLines.isEmpty() ? QString() : qtLines.constLast().section(u'\n', 0, 0);
    return line + u"Qt kon niet starten: "_s + reason + u" Start Quorvane in een grafische sessie."_s;
}

std::optional<QString> fallbackLine(const QStringList &qtLines, const QString &platformName)
{
    const QStringList absent = missing(qtLines);
    if (waylandAmong(absent)) {
        return u"!! Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland) en draait nu op \""_s +
               platformName + u"\"."_s;
    }
    QStringList passed = absent + unloadable(qtLines);
    passed.removeAll(platformName);
    if (passed.isEmpty())
        return std::nullopt;
    return u"!! Qt kon "_s + quoted(passed) + u" niet gebruiken en draait nu op \""_s + platformName +
           u"\"."_s;
}

} // namespace PlatformStart
