#pragma once

#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QUtf8StringView>

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

// A typed view of one JSON value of a parsed document. A value of the wrong JSON type is a failure
// (JsonDecodeError), never a silent default. Readers for nested values keep a pointer to their parent,
// so the key path is built only when something fails; they live no longer than the reader they came
// from. The document itself (simdjson's DOM, one parser per document) is owned by the root reader and
// kept out of this header: it costs every file that includes it seconds to compile.
//
// When a key occurs more than once in one object, the last one counts, for single members and for
// whole maps alike.
class JsonReader {
public:
    enum class Type { null, boolean, number, text, list, object };

    // Reads a whole document, an object or an array; anything else throws "no valid JSON (...)".
    static JsonReader parse(QByteArrayView json);

    // A value Qt already parsed: written out and read again, so it is read by the same rules.
    explicit JsonReader(const QJsonValue &value);

    Type type() const;
    bool isNull() const { return type() == Type::null; }

    // A member that must be present, not null, and of T's JSON type.
    template <class T> T required(QLatin1StringView key) const
    {
        const std::optional<JsonReader> found = member(key);
        if (!found)
            missing(key);
        return found->as<T>();
    }

    // A member that may be absent or null; present with another JSON type it fails.
    template <class T> std::optional<T> optional(QLatin1StringView key) const
    {
        const std::optional<JsonReader> found = member(key);
        if (!found || found->isNull())
            return std::nullopt;
        return found->as<T>();
    }

    template <class T> T as() const { return JsonDecode<T>::decode(*this); }

    // The member named key; fails when this is no object.
    std::optional<JsonReader> member(QLatin1StringView key) const;

    // Calls visit(const JsonReader &) for each element in order; fails when this is no list.
    template <class F> void forEachElement(F visit) const
    {
        visitElements(
            &visit, [](void *context, const JsonReader &element) { (*static_cast<F *>(context))(element); });
    }

    // Calls visit(const QString &key, const JsonReader &value) for each member in order; fails when this
    // is no object.
    template <class F> void forEachMember(F visit) const
    {
        visitMembers(&visit, [](void *context, const QString &key, const JsonReader &value) {
            (*static_cast<F *>(context))(key, value);
        });
    }

    // The same value as the start of its own path: what fails inside it names only the path from here.
    JsonReader detached() const;

    // The scalars, each failing with "expected <what>, found <type>" for any other type.
    QString text() const;
    // The same text's UTF-8 bytes, without making a QString; valid as long as this reader's document.
    QUtf8StringView utf8Text() const;
    bool boolean() const;
    // Any JSON number.
    double number() const;
    // An integral number that fits a signed 64-bit integer.
    qint64 integer() const;

    [[noreturn]] void fail(const QString &reason) const;
    // "expected <what>, found <JSON type of this value>".
    [[noreturn]] void expected(const QString &what) const;
    QString path() const;

    // A JSON type in the words of our failure texts.
    static QString typeName(Type type);

private:
    struct Document;
    struct Fields;
    struct Access;
    friend struct Access;
    template <class T> friend struct JsonDecode;

    using ElementVisitor = void (*)(void *context, const JsonReader &element);
    using MemberVisitor = void (*)(void *context, const QString &key, const JsonReader &value);

    JsonReader() = default;
    void visitElements(void *context, ElementVisitor visit) const;
    // A list's length, for reserving; 0 for anything else.
    qsizetype listSize() const;
    void visitMembers(void *context, MemberVisitor visit) const;
    // Calls visit with a reader of this object whose members are found from a table of its fields,
    // instead of reading the whole object again for each member; fails when this is no object.
    void visitRecord(void *context, ElementVisitor visit) const;
    [[noreturn]] void missing(QLatin1StringView key) const;

    // The DOM element, opaque here.
    alignas(8) unsigned char m_element[16] = {};
    // Set on roots only: children live inside their root.
    std::shared_ptr<const Document> m_document;
    // The root's document, for every reader of it: where texts are made.
    const Document *m_texts = nullptr;
    // Set on records only, for the time their decoding takes.
    const Fields *m_fields = nullptr;
    const JsonReader *m_parent = nullptr;
    // The member's key as UTF-8, pointing into a literal or into the document.
    const char *m_key = nullptr;
    qsizetype m_keySize = 0;
    qsizetype m_index = -1;
};

template <class T> T JsonDecode<T>::decode(const JsonReader &reader)
{
    std::optional<T> result;
    auto visit = [&result](const JsonReader &record) { result.emplace(T::decode(record)); };
    reader.visitRecord(&visit, [](void *context, const JsonReader &record) {
        (*static_cast<decltype(visit) *>(context))(record);
    });
    return std::move(*result);
}

template <> struct JsonDecode<QString> {
    static QString decode(const JsonReader &reader) { return reader.text(); }
};

template <> struct JsonDecode<bool> {
    static bool decode(const JsonReader &reader) { return reader.boolean(); }
};

template <> struct JsonDecode<double> {
    static double decode(const JsonReader &reader) { return reader.number(); }
};

template <> struct JsonDecode<qint64> {
    static qint64 decode(const JsonReader &reader) { return reader.integer(); }
};

template <class T> struct JsonDecode<QList<T>> {
    static QList<T> decode(const JsonReader &reader)
    {
        QList<T> result;
        result.reserve(reader.listSize());
        reader.forEachElement([&result](const JsonReader &element) { result.append(element.as<T>()); });
        return result;
    }
};

template <class T> struct JsonDecode<std::map<QString, T>> {
    static std::map<QString, T> decode(const JsonReader &reader)
    {
        std::map<QString, T> result;
        reader.forEachMember([&result](const QString &key, const JsonReader &value) {
            result.insert_or_assign(key, value.as<T>());
        });
        return result;
    }
};

// Decodes a whole document. Bytes that are not JSON, or JSON of the wrong shape, throw JsonDecodeError.
template <class T> T decodeJson(QByteArrayView json)
{
    return JsonReader::parse(json).as<T>();
}
