#include "base/appconfiguration.h"

#include <QCoreApplication>
#include <QFile>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace AppConfiguration {

namespace {

QStringList processArguments()
{
    if (QCoreApplication::instance())
        return QCoreApplication::arguments();
    // Early callers (before the application object exists) still get the real command line.
    QFile file(u"/proc/self/cmdline"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList result;
    const QList<QByteArray> parts = file.readAll().split('\0');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // The kernel ends the list with a NUL, which leaves one empty trailing part.
        if (i == parts.size() - 1 && parts[i].isEmpty())
            break;
        result.append(QString::fromLocal8Bit(parts[i]));
    }
    return result;
}

bool isPlausibleID(const QString &id)
{
    if (id.isEmpty())
        return false;
    for (const char32_t c : id.toUcs4()) {
        if (c != U'-' && !QChar::isLetter(c) && !QChar::isDigit(c))
            return false;
    }
    return true;
}

} // namespace

bool isolatedFrom(const QStringList &arguments)
{
    return arguments.contains(u"--onboarding-test"_s);
}

QString testIDFrom(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(u"--test-id"_s);
    if (at >= 0 && at + 1 < arguments.size() && isPlausibleID(arguments.at(at + 1)))
        return arguments.at(at + 1);
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

bool isolated()
{
    static const bool value = isolatedFrom(processArguments());
    return value;
}

QString testID()
{
    static const QString value = testIDFrom(processArguments());
    return value;
}

} // namespace AppConfiguration
