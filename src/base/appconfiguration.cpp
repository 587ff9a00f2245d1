#include "base/appconfiguration.h"

#include <QCoreApplication>
#include <QFile>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace AppConfiguration {

namespace {

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

QStringList arguments()
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

bool isolatedFrom(const QStringList &arguments)
{
    return arguments.contains(u"--onboarding-test"_s);
}

QString testIDFrom(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(u"--test-id"_s);
    if (at >= 0 && at + 1 < arguments.size() && isPlausibleID(arguments.at(at + 1)))
        return arguments.at(at + 1);
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool isolated()
{
    static const bool value = isolatedFrom(arguments());
    return value;
}

QString testID()
{
    static const QString value = testIDFrom(arguments());
    return value;
}

QString service()
{
    return serviceFor(isolated(), testID());
}

QString serviceFor(bool isolated, const QString &testID)
{
    return isolated ? isolatedServicePrefix + testID : standardService;
}

std::optional<QUrl> testBaseURL(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"http"_s || url.host() != u"127.0.0.1"_s || url.hasFragment())
        return std::nullopt;
    return url;
}

} // namespace AppConfiguration
