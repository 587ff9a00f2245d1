#include "base/settingsstore.h"

#include "base/regularfile.h"
#include "base/settingsfile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

// Stored form: a one-letter type tag, a colon, then the value as text ("b:true", "i:-3", "d:0.1",
// "s:text", "l:[...]" and "m:{...}" as compact JSON, the map's numbers as shortest round-trip text).

namespace {

QString configFolder()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!config.isEmpty() && QDir::isAbsolutePath(config))
        return config;
    return QDir::homePath() + u"/.config"_s;
}

// QSettings reads "/" and "\" in a key as group separators; escaping them (and the escape itself) keeps
// every key one flat entry that round-trips exactly. Dots need nothing.
QString storedKey(const QString &key)
{
    QString out;
    out.reserve(key.size());
    for (const QChar c : key) {
        if (c == u'%')
            out += u"%25"_s;
        else if (c == u'/')
            out += u"%2F"_s;
        else if (c == u'\\')
            out += u"%5C"_s;
        else
            out += c;
    }
    return out;
}

QString doubleText(double d)
{
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> parseDouble(const QString &text)
{
    bool ok = false;
    const double d = text.toDouble(&ok);
    return ok ? std::optional(d) : std::nullopt;
}

qint64 truncated(double d)
{
    if (std::isnan(d))
        return 0;
    // Out-of-range conversions are undefined behaviour: clamp first.
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return qint64(d);
}

std::optional<qint64> parseNumber(const QString &text)
{
    bool ok = false;
    const qint64 i = text.trimmed().toLongLong(&ok);
    if (ok)
        return i;
    if (const auto d = parseDouble(text); d && !std::isnan(*d))
        return truncated(*d);
    return std::nullopt;
}

template <typename T> std::optional<T> exactly(const std::optional<SettingsValue> &v)
{
    if (v && std::holds_alternative<T>(*v))
        return std::get<T>(*v);
    return std::nullopt;
}

} // namespace

SettingsStore::SettingsStore(const QString &suite)
    : m_suite(suite), m_filePath(configFolder() + u"/Quorvane/"_s + suite + u".conf"_s),
      m_file(SettingsFile::at(m_filePath))
{}

SettingsStore SettingsStore::standard()
{
    return SettingsStore(u"quorvane"_s);
}

QString SettingsStore::encode(const SettingsValue &value)
{
    struct Visitor {
        QString operator()(bool b) const { return b ? u"b:true"_s : u"b:false"_s; }
        QString operator()(qint64 i) const { return u"i:"_s + QString::number(i); }
        QString operator()(double d) const { return u"d:"_s + doubleText(d); }
        QString operator()(const QString &s) const { return u"s:"_s + s; }
        QString operator()(const QStringList &list) const
        {
            // Lists of plain ids are stored often (the feed's seen ones, at every notification): those
            // are written here as the JSON writer would write them, without building its document.
            const auto plain = [](const QString &text) {
                return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
                    return c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'"' && c != u'\\';
                });
            };
            if (!std::all_of(list.cbegin(), list.cend(), plain))
                return u"l:"_s +
                       QString::fromUtf8(
                           QJsonDocument(QJsonArray::fromStringList(list)).toJson(QJsonDocument::Compact));
            qsizetype size = 4;
            for (const QString &text : list)
                size += text.size() + 3;
            QString out;
            out.reserve(size);
            out += u"l:["_s;
            for (qsizetype i = 0; i < list.size(); ++i) {
                if (i > 0)
                    out += u',';
                out += u'"';
                out += list[i];
                out += u'"';
            }
            out += u']';
            return out;
        }
        QString operator()(const QMap<QString, double> &map) const
        {
            QJsonObject object;
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                object.insert(it.key(), doubleText(it.value()));
            return u"m:"_s + QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
        }
    };
    return std::visit(Visitor{}, value);
}

std::optional<SettingsValue> SettingsStore::decode(const QString &stored)
{
    if (stored.size() < 2 || stored.at(1) != u':')
        return SettingsValue(stored); // written by hand or by something else: plain text
    const QString body = stored.mid(2);
    switch (stored.at(0).unicode()) {
    case u'b':
        if (body == u"true"_s)
            return SettingsValue(true);
        if (body == u"false"_s)
            return SettingsValue(false);
        return std::nullopt;
    case u'i': {
        bool ok = false;
        const qint64 i = body.toLongLong(&ok);
        return ok ? std::optional(SettingsValue(i)) : std::nullopt;
    }
    case u'd':
        if (const auto d = parseDouble(body))
            return SettingsValue(*d);
        return std::nullopt;
    case u's':
        return SettingsValue(body);
    case u'l': {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(body.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isArray())
            return std::nullopt;
        QStringList list;
        for (const QJsonValue &item : doc.array()) {
            if (!item.isString())
                return std::nullopt;
            list.append(item.toString());
        }
        return SettingsValue(list);
    }
    case u'm': {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(body.toUtf8(), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return std::nullopt;
        QMap<QString, double> map;
        const QJsonObject object = doc.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            const auto d = it.value().isString() ? parseDouble(it.value().toString()) : std::nullopt;
            if (!d)
                return std::nullopt;
            map.insert(it.key(), *d);
        }
        return SettingsValue(map);
    }
    default:
        return SettingsValue(stored);
    }
}

std::optional<SettingsValue> SettingsStore::value(const QString &key) const
{
    // QSettings would open a FIFO or a device at the file's place and wait on it forever.
    if (key.isEmpty() || !RegularFile::absentOrRegular(m_filePath))
        return std::nullopt;
    // The file is read again when another process has changed it.
    const QVariant stored = m_file->value(storedKey(key));
    if (!stored.isValid())
        return std::nullopt;
    // An untagged entry with a comma comes back from the INI reader as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return SettingsValue(stored.toStringList());
    return decode(stored.toString());
}

void SettingsStore::setValue(const QString &key, const SettingsValue &value)
{
    // The file looks at its place itself, once for a burst of changes.
    if (key.isEmpty())
        return;
    m_file->change(storedKey(key), encode(value));
}

void SettingsStore::setValueLater(const QString &key, std::function<SettingsValue()> value)
{
    if (key.isEmpty())
        return;
    m_file->changeLater(storedKey(key), [value = std::move(value)] { return encode(value()); });
}

void SettingsStore::remove(const QString &key)
{
    // The file looks at its place itself, once for a burst of changes.
    if (key.isEmpty())
        return;
    m_file->change(storedKey(key), std::nullopt);
}

void SettingsStore::flush()
{
    m_file->flush();
}

void SettingsStore::flushAll()
{
    SettingsFile::flushAll();
}

bool SettingsStore::contains(const QString &key) const
{
    return value(key).has_value();
}

std::optional<bool> SettingsStore::boolValue(const QString &key) const
{
    return exactly<bool>(value(key));
}

std::optional<qint64> SettingsStore::integerValue(const QString &key) const
{
    return exactly<qint64>(value(key));
}

std::optional<double> SettingsStore::doubleValue(const QString &key) const
{
    return exactly<double>(value(key));
}

std::optional<QString> SettingsStore::stringValue(const QString &key) const
{
    return exactly<QString>(value(key));
}

std::optional<QStringList> SettingsStore::stringListValue(const QString &key) const
{
    return exactly<QStringList>(value(key));
}

std::optional<QMap<QString, double>> SettingsStore::doubleMapValue(const QString &key) const
{
    return exactly<QMap<QString, double>>(value(key));
}

bool SettingsStore::boolReading(const QString &key) const
{
    const auto v = value(key);
    if (!v)
        return false;
    if (const bool *b = std::get_if<bool>(&*v))
        return *b;
    if (const qint64 *i = std::get_if<qint64>(&*v))
        return *i != 0;
    if (const double *d = std::get_if<double>(&*v))
        return *d != 0 && !std::isnan(*d);
    if (const QString *s = std::get_if<QString>(&*v)) {
        const QString text = s->trimmed();
        if (text.compare(u"true"_s, Qt::CaseInsensitive) == 0 ||
            text.compare(u"yes"_s, Qt::CaseInsensitive) == 0)
            return true;
        const auto d = parseDouble(text);
        return d && *d != 0 && !std::isnan(*d);
    }
    return false;
}

qint64 SettingsStore::integerReading(const QString &key) const
{
    const auto v = value(key);
    if (!v)
        return 0;
    if (const bool *b = std::get_if<bool>(&*v))
        return *b ? 1 : 0;
    if (const qint64 *i = std::get_if<qint64>(&*v))
        return *i;
    if (const double *d = std::get_if<double>(&*v))
        return truncated(*d);
    if (const QString *s = std::get_if<QString>(&*v))
        return parseNumber(*s).value_or(0);
    return 0;
}
