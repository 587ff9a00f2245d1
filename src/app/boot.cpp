#include "app/boot.h"

#include "base/appconfiguration.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace Boot {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool isTestInstance(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (testSwitches.contains(argument))
            return true;
    }
    return false;
}

bool isTestInstance()
{
    static const bool result = isTestInstance(AppConfiguration::arguments());
    return result;
}

bool connectsToHomey(const QStringList &arguments)
{
    return !arguments.contains(u"--no-homey"_s);
}

bool autoHidesOnFocusLoss(const QStringList &arguments)
{
    return !arguments.contains(u"--keep-open"_s);
}

bool isDryRun(const QStringList &arguments)
{
    return arguments.contains(u"--dry-run"_s);
}

std::optional<QString> value(const QStringList &arguments, const QString &of)
{
    const qsizetype at = arguments.indexOf(of);
    if (at < 0 || at + 1 >= arguments.size() || arguments.at(at + 1).isEmpty())
        return std::nullopt;
    return arguments.at(at + 1);
}

std::optional<double> initialDim(const QStringList &arguments)
{
    const std::optional<QString> text = value(arguments, u"--dim"_s);
    const std::optional<double> number = text ? decimalFrom(*text) : std::nullopt;
    if (!number || !(*number >= 0 && *number <= 100))
        return std::nullopt;
    return *number / 100;
}

std::optional<int> givenNumber(const QStringList &arguments, const NumberSwitch &which)
{
    const std::optional<QString> text = value(arguments, which.name);
    const std::optional<int> number = text ? integerFrom(*text) : std::nullopt;
    if (!number || *number < which.least)
        return std::nullopt;
    return number;
}

int number(const QStringList &arguments, const NumberSwitch &which)
{
    return givenNumber(arguments, which).value_or(which.fallback);
}

int typeRuns(const QStringList &arguments)
{
    return number(arguments, runsSwitch);
}

int typeTempo(const QStringList &arguments)
{
    return number(arguments, tempoSwitch);
}

int typeDelay(const QStringList &arguments)
{
    return number(arguments, delaySwitch);
}

int typeFreeze(const QStringList &arguments)
{
    return number(arguments, freezeSwitch);
}

QStringList keyScript(const QStringList &arguments)
{
    const std::optional<QString> text = value(arguments, u"--keys"_s);
    if (!text)
        return {};
    QStringList keys;
    for (const QString &piece : text->split(u',', Qt::SkipEmptyParts)) {
        qsizetype begin = 0;
        qsizetype end = piece.size();
        while (begin < end && (piece.at(begin) == u' ' || piece.at(begin) == u'\t'))
            ++begin;
        while (end > begin && (piece.at(end - 1) == u' ' || piece.at(end - 1) == u'\t'))
            --end;
        keys.append(piece.mid(begin, end - begin).toLower());
    }
    return keys;
}

std::optional<int> integerFrom(const QString &text)
{
    qsizetype at = 0;
    if (at < text.size() && (text.at(at) == u'+' || text.at(at) == u'-'))
        ++at;
    if (at == text.size())
        return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (!isDigit(text.at(i)))
            return std::nullopt;
    }
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    return ok ? std::optional(number) : std::nullopt;
}

std::optional<double> decimalFrom(const QString &text)
{
    qsizetype at = 0;
    if (at < text.size() && (text.at(at) == u'+' || text.at(at) == u'-'))
        ++at;
    int digits = 0;
    int points = 0;
    for (qsizetype i = at; i < text.size(); ++i) {
        if (isDigit(text.at(i)))
            ++digits;
        else if (text.at(i) == u'.' && ++points == 1)
            continue;
        else
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace Boot
