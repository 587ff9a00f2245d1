#include "homey/config/envfile.h"

#include "base/regularfile.h"

#include <QStringDecoder>

namespace EnvFile {

namespace {

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

QString trimSpacesAndTabs(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isSpaceOrTab(text[start]))
        ++start;
    while (end > start && isSpaceOrTab(text[end - 1]))
        --end;
    return text.sliced(start, end - start).toString();
}

QMap<QString, QString> parse(QStringView text)
{
    QMap<QString, QString> values;
    for (QStringView line : text.split(u'\n', Qt::SkipEmptyParts)) {
        // Files saved on Windows end their lines in CR LF; the CR is no part of the value.
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = trimSpacesAndTabs(line);
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        const qsizetype equals = trimmed.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = trimSpacesAndTabs(QStringView(trimmed).first(equals));
        if (values.contains(key))
            continue;
        values.insert(key, unquoted(trimSpacesAndTabs(QStringView(trimmed).sliced(equals + 1))));
    }
    return values;
}

std::optional<QString> readText(const QString &path)
{
    const std::optional<QByteArray> bytes = RegularFile::read(path);
    if (!bytes)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace EnvFile
