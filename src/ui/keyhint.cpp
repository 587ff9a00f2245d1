#include "ui/keyhint.h"

KeyHint::KeyHint(const QStringList &keys, const QString &what)
    : id(keys.join(QString()) + what), keys(keys), what(what)
{}

QVariantList KeyHint::caps() const
{
    QVariantList list;
    for (const QString &key : keys)
        list << QVariant::fromValue(KeyCapLook::make(key));
    return list;
}

QVariantList KeyHintBarLook::hintList() const
{
    QVariantList list;
    for (const KeyHint &hint : hints)
        list << QVariant::fromValue(hint);
    return list;
}
