#include "homey/wire/jsonreader.h"

#include <QJsonDocument>
#include <QJsonParseError>

using namespace Qt::StringLiterals;

JsonDecodeError::JsonDecodeError(QString path, QString reason)
    : m_path(std::move(path)), m_reason(std::move(reason)), m_what(description().toUtf8())
{}

QString JsonDecodeError::description() const
{
    return m_path.isEmpty() ? m_reason : m_path + u": "_s + m_reason;
}

const QJsonObject &JsonReader::object() const
{
    if (!m_object) {
        if (!m_value.isObject())
            expected(u"object"_s);
        m_object = m_value.toObject();
    }
    return *m_object;
}

void JsonReader::fail(const QString &reason) const
{
    throw JsonDecodeError(path(), reason);
}

void JsonReader::expected(const QString &what) const
{
    fail(u"expected "_s + what + u", found "_s + typeName(m_value));
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
        result += reader->m_hasOwnedKey ? reader->m_ownedKey : QString(reader->m_key);
    }
    return result;
}

QString JsonReader::typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return u"null"_s;
    case QJsonValue::Bool:
        return u"Bool"_s;
    case QJsonValue::Double:
        return u"number"_s;
    case QJsonValue::String:
        return u"text"_s;
    case QJsonValue::Array:
        return u"list"_s;
    case QJsonValue::Object:
        return u"object"_s;
    case QJsonValue::Undefined:
        break;
    }
    return u"nothing"_s;
}

QString JsonDecode<QString>::decode(const JsonReader &reader)
{
    if (!reader.value().isString())
        reader.expected(u"text"_s);
    return reader.value().toString();
}

bool JsonDecode<bool>::decode(const JsonReader &reader)
{
    if (!reader.value().isBool())
        reader.expected(u"Bool"_s);
    return reader.value().toBool();
}

double JsonDecode<double>::decode(const JsonReader &reader)
{
    if (!reader.value().isDouble())
        reader.expected(u"number"_s);
    return reader.value().toDouble();
}

qint64 JsonDecode<qint64>::decode(const JsonReader &reader)
{
    const QJsonValue &value = reader.value();
    if (!value.isDouble())
        reader.expected(u"integer"_s);
    // toInteger gives its default for a fraction or a number out of range; two defaults tell that
    // apart from a real 0.
    const qint64 integer = value.toInteger(0);
    if (integer == 0 && value.toInteger(1) != 0)
        reader.fail(u"expected integer, found "_s + QString::number(value.toDouble(), 'g', 17));
    return integer;
}

QJsonValue parseJson(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw JsonDecodeError({}, u"no valid JSON ("_s + error.errorString() + u" at byte "_s +
                                      QString::number(error.offset) + u')');
    if (document.isArray())
        return document.array();
    return document.object();
}
