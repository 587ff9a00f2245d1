#pragma once

#include <QProcessEnvironment>
#include <QStringList>

// "NAME=value" lines as an environment.
inline QProcessEnvironment environmentOf(const QStringList &variables)
{
    QProcessEnvironment environment;
    for (const QString &variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    return environment;
}
