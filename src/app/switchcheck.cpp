#include "app/switchcheck.h"

#include "app/boot.h"
#include "app/connectiontext.h"
#include "app/probes/keyscript.h"
#include "base/appconfiguration.h"

#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace SwitchCheck {

namespace {

enum class Takes { nothing, value, name };

// Every switch of ours and what follows it. "--shot" takes a picture name only when one follows.
const QHash<QString, Takes> &ours()
{
    static const QHash<QString, Takes> table = {
        {u"--help"_s, Takes::nothing},
        {u"-h"_s, Takes::nothing},
        {u"--show"_s, Takes::nothing},
        {u"--live"_s, Takes::nothing},
        {u"--no-homey"_s, Takes::nothing},
        {u"--keep-open"_s, Takes::nothing},
        {u"--settings"_s, Takes::nothing},
        {u"--notifications"_s, Takes::nothing},
        {u"--hover"_s, Takes::nothing},
        {u"--offscreen"_s, Takes::nothing},
        {u"--onboarding-test"_s, Takes::nothing},
        {u"--debug-energy"_s, Takes::nothing},
        {u"--dry-run"_s, Takes::nothing},
        {u"--mock"_s, Takes::nothing},
        {u"--notify-test"_s, Takes::nothing},
        {u"--guard-audit"_s, Takes::nothing},
        {u"--query"_s, Takes::value},
        {u"--room"_s, Takes::value},
        {u"--dim"_s, Takes::value},
        {u"--search"_s, Takes::value},
        {u"--type"_s, Takes::value},
        {u"--runs"_s, Takes::value},
        {u"--tempo"_s, Takes::value},
        {u"--delay"_s, Takes::value},
        {u"--freeze"_s, Takes::value},
        {u"--keys"_s, Takes::value},
        {u"--test-id"_s, Takes::value},
        {u"--onboarding-probe"_s, Takes::value},
        {u"--shot"_s, Takes::name},
    };
    return table;
}

// What Qt's application object reads from the same command line, with one dash or two; a value may
// also follow an "=".
std::optional<Takes> qtOption(const QString &argument)
{
    static const QHash<QString, Takes> table = {
        {u"platform"_s, Takes::value},        {u"platformpluginpath"_s, Takes::value},
        {u"platformtheme"_s, Takes::value},   {u"plugin"_s, Takes::value},
        {u"qwindowgeometry"_s, Takes::value}, {u"qwindowicon"_s, Takes::value},
        {u"qwindowtitle"_s, Takes::value},    {u"session"_s, Takes::value},
        {u"display"_s, Takes::value},         {u"geometry"_s, Takes::value},
        {u"style"_s, Takes::value},           {u"stylesheet"_s, Takes::value},
        {u"qmljsdebugger"_s, Takes::value},   {u"reverse"_s, Takes::nothing},
        {u"widgetcount"_s, Takes::nothing},
    };
    QString name = argument.mid(argument.startsWith(u"--"_s) ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    if (equals >= 0)
        name.truncate(equals);
    const auto found = table.constFind(name);
    if (found == table.constEnd())
        return std::nullopt;
    return equals >= 0 ? Takes::nothing : *found;
}

Problem warning(const QString &what, const QString &instead)
{
    return {u"!! opdrachtregel: "_s + what + u"; "_s + instead, false};
}

Problem stop(const QString &what, const QString &selfTest)
{
    return {u"!! opdrachtregel: "_s + what + u"; "_s + selfTest + u" kan niet lopen, Quorvane stopt"_s, true};
}

// The switch with the value the readers take, quoted; the bare switch when there is none.
QString named(const QString &name, const std::optional<QString> &value)
{
    return value ? name + u' ' + ConnectionText::quoted(*value) : name;
}

std::optional<Problem> checkNumber(const QStringList &arguments, const Boot::NumberSwitch &which)
{
    if (Boot::givenNumber(arguments, which))
        return std::nullopt;
    const std::optional<QString> text = Boot::value(arguments, which.name);
    const QString used = QString::number(which.fallback) + which.unit + u" gebruikt"_s;
    if (!text)
        return warning(which.name + u" zonder waarde"_s, used);
    return warning(named(which.name, text) + u" is geen geheel getal "_s +
                       (which.least > 0 ? u"boven "_s + QString::number(which.least - 1)
                                        : u"van "_s + QString::number(which.least) + u" of meer"_s),
                   used);
}

// The first use of one of our switches; nothing to say about the well-formed ones.
std::optional<Problem> check(const QStringList &arguments, const QString &name)
{
    const std::optional<QString> value = Boot::value(arguments, name);
    for (const Boot::NumberSwitch *number :
         {&Boot::runsSwitch, &Boot::tempoSwitch, &Boot::delaySwitch, &Boot::freezeSwitch}) {
        if (name == number->name)
            return checkNumber(arguments, *number);
    }
    if (name == u"--dim") {
        if (Boot::initialDim(arguments))
            return std::nullopt;
        return warning(value ? named(name, value) + u" is geen getal van 0 tot 100"_s
                             : name + u" zonder waarde"_s,
                       u"er wordt niet gedimd"_s);
    }
    if (name == u"--query" && !value)
        return warning(name + u" zonder tekst"_s, u"het zoekveld blijft leeg"_s);
    if (name == u"--search" && !value)
        return stop(name + u" zonder zoekopdracht"_s, u"de zoekproef"_s);
    if (name == u"--type" && !value)
        return stop(name + u" zonder tekst"_s, u"de tikproef"_s);
    if (name == u"--room" && !value)
        return stop(name + u" zonder kamernaam"_s, u"de kamerproef"_s);
    if (name == u"--keys" && Boot::keyScript(arguments).isEmpty())
        return stop(value ? named(name, value) + u" noemt geen toets"_s : name + u" zonder toetsnamen"_s,
                    u"de toetsproef"_s);
    if (name == u"--test-id" && (!value || AppConfiguration::testIDFrom(arguments) != *value)) {
        return warning(value ? named(name, value) + u" is geen id van letters, cijfers en -"_s
                             : name + u" zonder waarde"_s,
                       u"een nieuwe id gebruikt"_s);
    }
    if (name == u"--onboarding-probe") {
        if (!AppConfiguration::isolatedFrom(arguments))
            return warning(name + u" werkt alleen met --onboarding-test"_s, u"genegeerd"_s);
        if (!value)
            return stop(name + u" zonder scenario"_s, u"de koppelproef"_s);
    }
    if (name == u"--shot" && value && !value->startsWith(u"--"_s) && !KeyScript::isPictureName(*value))
        return warning(named(name, value) + u" is geen bestandsnaam"_s,
                       u"de foto gaat naar "_s + KeyScript::picturePath(arguments));
    return std::nullopt;
}

} // namespace

QList<Problem> problems(const QStringList &arguments)
{
    QList<Problem> found;
    QSet<QString> seen;
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString &argument = arguments.at(at);
        const auto known = ours().constFind(argument);
        if (known != ours().constEnd()) {
            if (!seen.contains(argument)) {
                seen.insert(argument);
                if (std::optional<Problem> problem = check(arguments, argument))
                    found.append(*problem);
            }
            // Whatever follows a switch that takes a value is its value, even another switch.
            const bool nameFollows = at + 1 < arguments.size() && !arguments.at(at + 1).startsWith(u"--"_s);
            if (*known == Takes::value || (*known == Takes::name && nameFollows))
                ++at;
            continue;
        }
        if (argument.startsWith(u'-') && argument.size() > 1) {
            if (const std::optional<Takes> qt = qtOption(argument)) {
                if (*qt == Takes::value)
                    ++at;
                continue;
            }
            found.append(warning(u"onbekende schakelaar "_s + argument, u"genegeerd"_s));
            continue;
        }
        found.append(warning(u"losse waarde "_s + ConnectionText::quoted(argument) + u" zonder schakelaar"_s,
                             u"genegeerd"_s));
    }
    return found;
}

} // namespace SwitchCheck
