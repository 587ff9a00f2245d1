#include "homey/wire/jsonreader.h"

#include "homey/wire/jsonrepair.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <simdjson.h>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace dom = simdjson::dom;

// One parser per document: the elements point into the parser's buffers, so a document is never
// shared with another parse and may be read on any one thread at a time.
struct JsonReader::Document {
    // A realtime frame is parsed every few milliseconds: its parser's buffers are kept for the next
    // one on the same thread, as long as they are small.
    static constexpr size_t keptCapacity = 64 * 1024;
    static inline thread_local std::unique_ptr<dom::parser> spare;

    std::unique_ptr<dom::parser> parser = spare ? std::move(spare) : std::make_unique<dom::parser>();
    dom::element root;

    Document() = default;
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;
    ~Document()
    {
        if (!spare && parser->capacity() <= keptCapacity)
            spare = std::move(parser);
    }

    // Texts already made into QStrings, by their bytes: a large answer repeats the same few capability
    // ids, types, units and titles thousands of times, and a shared copy costs no allocation. A slot
    // keeps the last text that hashed to it. Small documents (realtime frames) go without.
    struct Interned {
        std::string_view bytes;
        QString text;
    };
    static constexpr qsizetype internFrom = 16 * 1024;
    mutable std::unique_ptr<Interned[]> interned;
    size_t internMask = 0;

    QString text(std::string_view bytes) const
    {
        // Longer texts are ids (36 bytes), names and time stamps: seldom repeated.
        if (!interned || bytes.size() > 32)
            return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
        Interned &slot = interned[qHash(QByteArrayView(bytes.data(), qsizetype(bytes.size()))) & internMask];
        if (slot.bytes != bytes) {
            slot.text = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
            slot.bytes = bytes;
        }
        return slot.text;
    }

    // Reads json, repairing what the hub's JavaScript may write and simdjson refuses.
    simdjson::error_code load(QByteArrayView json)
    {
        // An empty view may have no data at all, which simdjson would copy from.
        if (json.isEmpty())
            return simdjson::EMPTY;
        if (json.size() >= internFrom) {
            const size_t slots =
                std::bit_ceil(std::clamp(size_t(json.size()) / 512, size_t(256), size_t(4096)));
            interned = std::make_unique<Interned[]>(slots);
            internMask = slots - 1;
        }
        simdjson::error_code error = parser->parse(json.data(), size_t(json.size())).get(root);
        if (error == simdjson::STRING_ERROR || error == simdjson::NUMBER_ERROR) {
            if (const std::optional<QByteArray> repaired = JsonRepair::repaired(json))
                error = parser->parse(repaired->constData(), size_t(repaired->size())).get(root);
        }
        return error;
    }
};

// The fields of one record's object, looked up from the end so that the last of a repeated key counts.
struct JsonReader::Fields {
    // Trivial, so that the table costs nothing until it is filled.
    struct Field {
        const char *key;
        size_t size;
        unsigned char value[sizeof(dom::element)];
    };
    // Larger objects are read from the DOM at each lookup.
    static constexpr size_t capacity = 32;
    std::array<Field, capacity> items;
    size_t count = 0;
};

struct JsonReader::Access {
    static_assert(std::is_trivially_copyable_v<dom::element>);
    static_assert(sizeof(dom::element) <= sizeof(JsonReader::m_element));
    static_assert(alignof(dom::element) <= 8);

    static dom::element element(const JsonReader &reader)
    {
        dom::element element;
        std::memcpy(&element, reader.m_element, sizeof element);
        return element;
    }

    static JsonReader make(dom::element element, const Document *document, const JsonReader *parent,
                           const char *key, qsizetype keySize, qsizetype index)
    {
        JsonReader reader;
        std::memcpy(reader.m_element, &element, sizeof element);
        reader.m_texts = document;
        reader.m_parent = parent;
        reader.m_key = key;
        reader.m_keySize = keySize;
        reader.m_index = index;
        return reader;
    }

    static JsonReader root(std::shared_ptr<const Document> document, dom::element element)
    {
        JsonReader reader = make(element, document.get(), nullptr, nullptr, 0, -1);
        reader.m_document = std::move(document);
        return reader;
    }
};

namespace {

bool isContainer(dom::element element)
{
    return element.is_array() || element.is_object();
}

// Failure texts in the words of Qt's reader, as users and logs know them; simdjson's own words only for
// what Qt reads and simdjson does not (a number such as "1.").
QString invalidJson(QByteArrayView json, simdjson::error_code error)
{
    QJsonParseError qtError;
    QJsonDocument::fromJson(json.toByteArray(), &qtError);
    if (qtError.error != QJsonParseError::NoError)
        return u"no valid JSON ("_s + qtError.errorString() + u" at byte "_s +
               QString::number(qtError.offset) + u')';
    return u"no valid JSON ("_s + QString::fromUtf8(simdjson::error_message(error)) + u')';
}

} // namespace

JsonDecodeError::JsonDecodeError(QString path, QString reason)
    : m_path(std::move(path)), m_reason(std::move(reason)), m_what(description().toUtf8())
{}

QString JsonDecodeError::description() const
{
    return m_path.isEmpty() ? m_reason : m_path + u": "_s + m_reason;
}

JsonReader JsonReader::parse(QByteArrayView json)
{
    auto document = std::make_shared<Document>();
    const simdjson::error_code error = document->load(json);
    // Only an object or an array makes a document; a bare value is no answer of the hub.
    if (error || !isContainer(document->root))
        throw JsonDecodeError({}, invalidJson(json, error));
    const dom::element root = document->root;
    return Access::root(std::move(document), root);
}

JsonReader::JsonReader(const QJsonValue &value)
{
    const QByteArray json = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    auto document = std::make_shared<Document>();
    dom::array array;
    if (document->load(json) || document->root.get_array().get(array) || array.size() != 1)
        throw JsonDecodeError({}, u"no valid JSON"_s);
    const dom::element element = array.at(0).value_unsafe();
    *this = Access::root(std::move(document), element);
}

JsonReader::Type JsonReader::type() const
{
    switch (Access::element(*this).type()) {
    case dom::element_type::ARRAY:
        return Type::list;
    case dom::element_type::OBJECT:
        return Type::object;
    case dom::element_type::INT64:
    case dom::element_type::UINT64:
    case dom::element_type::DOUBLE:
        return Type::number;
    case dom::element_type::STRING:
        return Type::text;
    case dom::element_type::BOOL:
        return Type::boolean;
    case dom::element_type::NULL_VALUE:
        break;
    }
    return Type::null;
}

namespace {

// Most keys differ in length or in their first letter: those are passed over without calling memcmp.
bool sameKey(const char *key, size_t keySize, const char *wanted, size_t size)
{
    return keySize == size && (size == 0 || (key[0] == wanted[0] && std::memcmp(key, wanted, size) == 0));
}

} // namespace

void JsonReader::visitRecord(void *context, ElementVisitor visit) const
{
    dom::object object;
    if (Access::element(*this).get_object().get(object))
        expected(u"object"_s);
    Fields fields;
    JsonReader record = *this;
    if (object.size() <= Fields::capacity) {
        for (auto field = object.begin(); field != object.end(); ++field) {
            Fields::Field &entry = fields.items[fields.count++];
            entry.key = field.key_c_str();
            entry.size = field.key_length();
            const dom::element value = field.value();
            std::memcpy(entry.value, &value, sizeof value);
        }
        record.m_fields = &fields;
    }
    visit(context, record);
}

std::optional<JsonReader> JsonReader::member(QLatin1StringView key) const
{
    const char *wanted = key.data();
    const size_t size = size_t(key.size());
    if (m_fields) {
        for (size_t i = m_fields->count; i-- > 0;) {
            const Fields::Field &field = m_fields->items[i];
            if (sameKey(field.key, field.size, wanted, size)) {
                dom::element value;
                std::memcpy(&value, field.value, sizeof value);
                return Access::make(value, m_texts, this, key.data(), key.size(), -1);
            }
        }
        return std::nullopt;
    }
    dom::object object;
    if (Access::element(*this).get_object().get(object))
        expected(u"object"_s);
    // Every field is looked at, so that the last of a repeated key counts.
    std::optional<dom::element> found;
    const auto end = object.end();
    for (auto field = object.begin(); field != end; ++field) {
        if (sameKey(field.key_c_str(), field.key_length(), wanted, size))
            found = field.value();
    }
    if (!found)
        return std::nullopt;
    return Access::make(*found, m_texts, this, key.data(), key.size(), -1);
}

void JsonReader::visitElements(void *context, ElementVisitor visit) const
{
    dom::array array;
    if (Access::element(*this).get_array().get(array))
        expected(u"list"_s);
    qsizetype index = 0;
    for (const dom::element element : array)
        visit(context, Access::make(element, m_texts, this, nullptr, 0, index++));
}

qsizetype JsonReader::listSize() const
{
    dom::array array;
    if (Access::element(*this).get_array().get(array))
        return 0;
    // simdjson saturates the count at 0xFFFFFF; reserving that much is fine for such a list.
    return qsizetype(array.size());
}

void JsonReader::visitMembers(void *context, MemberVisitor visit) const
{
    dom::object object;
    if (Access::element(*this).get_object().get(object))
        expected(u"object"_s);
    for (auto field = object.begin(); field != object.end(); ++field) {
        const std::string_view key = field.key();
        visit(context, m_texts->text(key),
              Access::make(field.value(), m_texts, this, key.data(), qsizetype(key.size()), -1));
    }
}

JsonReader JsonReader::detached() const
{
    return Access::make(Access::element(*this), m_texts, nullptr, nullptr, 0, -1);
}

QString JsonReader::text() const
{
    std::string_view text;
    if (Access::element(*this).get_string().get(text))
        expected(u"text"_s);
    return m_texts->text(text);
}

QUtf8StringView JsonReader::utf8Text() const
{
    std::string_view text;
    if (Access::element(*this).get_string().get(text))
        expected(u"text"_s);
    return QUtf8StringView(text.data(), qsizetype(text.size()));
}

bool JsonReader::boolean() const
{
    bool value = false;
    if (Access::element(*this).get_bool().get(value))
        expected(u"Bool"_s);
    return value;
}

double JsonReader::number() const
{
    double value = 0;
    if (Access::element(*this).get_double().get(value))
        expected(u"number"_s);
    return value;
}

qint64 JsonReader::integer() const
{
    const dom::element element = Access::element(*this);
    int64_t value = 0;
    if (element.get_int64().get(value) == simdjson::SUCCESS)
        return value;
    double number = 0;
    if (element.get_double().get(number))
        expected(u"integer"_s);
    // An integral double within range is an integer, as it always was here ("2.0", "1e3").
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (std::trunc(number) == number && number >= -limit && number < limit)
        return static_cast<qint64>(number);
    fail(u"expected integer, found "_s + QString::number(number, 'g', 17));
}

void JsonReader::fail(const QString &reason) const
{
    throw JsonDecodeError(path(), reason);
}

void JsonReader::expected(const QString &what) const
{
    fail(u"expected "_s + what + u", found "_s + typeName(type()));
}

void JsonReader::missing(QLatin1StringView key) const
{
    const QString own = path();
    throw JsonDecodeError(own.isEmpty() ? QString(key) : own + u'.' + key, u"missing"_s);
}

QString JsonReader::path() const
{
    QList<const JsonReader *> chain;
    for (const JsonReader *reader = this; reader && reader->m_parent; reader = reader->m_parent)
        chain.prepend(reader);
    QString result;
    for (const JsonReader *reader : chain) {
        if (reader->m_index >= 0) {
            result += u'[' + QString::number(reader->m_index) + u']';
            continue;
        }
        if (!result.isEmpty())
            result += u'.';
        result += QString::fromUtf8(reader->m_key, reader->m_keySize);
    }
    return result;
}

QString JsonReader::typeName(Type type)
{
    switch (type) {
    case Type::null:
        return u"null"_s;
    case Type::boolean:
        return u"Bool"_s;
    case Type::number:
        return u"number"_s;
    case Type::text:
        return u"text"_s;
    case Type::list:
        return u"list"_s;
    case Type::object:
        break;
    }
    return u"object"_s;
}
