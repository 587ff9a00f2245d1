#include "homey/model/capability.h"

using namespace Qt::StringLiterals;

QString Capability::Kind::raw() const
{
    switch (value) {
    case boolean:
        return u"boolean"_s;
    case number:
        return u"number"_s;
    case string:
        return u"string"_s;
    case enumeration:
        return u"enum"_s;
    }
    return {};
}

std::optional<Capability::Kind> Capability::Kind::fromRaw(const QString &raw)
{
    for (Value v : {boolean, number, string, enumeration}) {
        if (Kind(v).raw() == raw)
            return Kind(v);
    }
    return std::nullopt;
}

std::optional<QString> Capability::optionTitle() const
{
    if (!value)
        return std::nullopt;
    const auto text = value->stringValue();
    if (!text)
        return std::nullopt;
    for (const Option &option : options) {
        if (option.id == *text)
            return option.title;
    }
    return text;
}
