#pragma once

#include <exception>
#include <map>
#include <optional>
#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

// A record or document that does not have the shape we read. path leads to the offending value
// ("capabilitiesObj.dim.min", "values[2].id"); empty for the value the decoding started from.
class JsonDecodeError : public std::exception {
public:
    JsonDecodeError(QString path, QString reason);

    QString path() const { return m_path; }
    QString reason() const { return m_reason; }
    // "path: reason", or the reason alone at the top.
    QString description() const;
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_path;
    QString m_reason;
    QByteArray m_what;
};

class JsonReader;

// How one type is read from one JSON value. Records provide `static T decode(const JsonReader &)`;
// the primitive and container types are specialised below.
template <class T> struct JsonDecode {
    static T decode(const JsonReader &reader);
};

// A typed view of one JSON value. Unlike QJsonValue's accessors, a value of the wrong JSON type is a
// failure (JsonDecodeError) instead of a silent default. Readers for nested values keep a pointer to
// their parent so the key path is built only when something fails.
class JsonReader {
public:
    explicit JsonReader(const QJsonValue &value) : m_value(value) {}

    const QJsonValue &value() const { return m_value; }

    // The value as an object; fails when it is something else.
    const QJsonObject &object() const;

    // A member that must be present, not null, and of T's JSON type.
    template <class T> T required(QLatin1StringView key) const
    {
        const QJsonValue member = object().value(key);
        if (member.isUndefined())
            JsonReader(member, this, key).fail(QStringLiteral("missing"));
        return JsonReader(member, this, key).as<T>();
    }

    // A member that may be absent or null; present with another JSON type it fails.
    template <class T> std::optional<T> optional(QLatin1StringView key) const
    {
        const QJsonValue member = object().value(key);
        if (member.isUndefined() || member.isNull())
            return std::nullopt;
        return JsonReader(member, this, key).as<T>();
    }

    template <class T> T as() const { return JsonDecode<T>::decode(*this); }

    // Children for the container decoders.
    JsonReader element(const QJsonValue &value, qsizetype index) const { return {value, this, index}; }
    JsonReader member(const QJsonValue &value, const QString &key) const { return {value, this, key}; }

    [[noreturn]] void fail(const QString &reason) const;
    // "expected <what>, found <JSON type of this value>".
    [[noreturn]] void expected(const QString &what) const;
    QString path() const;

    // The JSON type of a value in the words of our failure texts.
    static QString typeName(const QJsonValue &value);

private:
    JsonReader(const QJsonValue &value, const JsonReader *parent, QLatin1StringView key)
        : m_value(value), m_parent(parent), m_key(key)
    {}
    JsonReader(const QJsonValue &value, const JsonReader *parent, qsizetype index)
        : m_value(value), m_parent(parent), m_index(index)
    {}
    JsonReader(const QJsonValue &value, const JsonReader *parent, const QString &key)
        : m_value(value), m_parent(parent), m_ownedKey(key), m_hasOwnedKey(true)
    {}

    QJsonValue m_value;
    mutable std::optional<QJsonObject> m_object;
    const JsonReader *m_parent = nullptr;
    QLatin1StringView m_key;
    qsizetype m_index = -1;
    QString m_ownedKey;
    bool m_hasOwnedKey = false;
};

template <class T> T JsonDecode<T>::decode(const JsonReader &reader)
{
    reader.object();
    return T::decode(reader);
}

template <> struct JsonDecode<QString> {
    static QString decode(const JsonReader &reader);
};

template <> struct JsonDecode<bool> {
    static bool decode(const JsonReader &reader);
};

// A JSON number of any kind.
template <> struct JsonDecode<double> {
    static double decode(const JsonReader &reader);
};

// An integral JSON number that fits a signed 64-bit integer.
template <> struct JsonDecode<qint64> {
    static qint64 decode(const JsonReader &reader);
};

template <class T> struct JsonDecode<QList<T>> {
    static QList<T> decode(const JsonReader &reader)
    {
        if (!reader.value().isArray())
            reader.expected(QStringLiteral("list"));
        const QJsonArray array = reader.value().toArray();
        QList<T> result;
        result.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i)
            result.append(reader.element(array.at(i), i).template as<T>());
        return result;
    }
};

template <class T> struct JsonDecode<std::map<QString, T>> {
    static std::map<QString, T> decode(const JsonReader &reader)
    {
        const QJsonObject &object = reader.object();
        std::map<QString, T> result;
        for (auto it = object.begin(); it != object.end(); ++it) {
            const QString key = it.key();
            result.insert_or_assign(key, reader.member(it.value(), key).template as<T>());
        }
        return result;
    }
};

// Decodes a whole document. Bytes that are not JSON, or JSON of the wrong shape, throw JsonDecodeError.
QJsonValue parseJson(const QByteArray &bytes);

template <class T> T decodeJson(const QByteArray &bytes)
{
    return JsonReader(parseJson(bytes)).as<T>();
}
