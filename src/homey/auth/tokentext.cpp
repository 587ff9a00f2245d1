#include "homey/auth/tokentext.h"

#include <algorithm>
#include <QStringDecoder>

namespace TokenText {

std::optional<QString> fromStoredBytes(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(data);
    if (decoder.hasError() || text.isEmpty())
        return std::nullopt;
    return text;
}

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

std::optional<QString> cleaned(const QString &text)
{
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || hasControlCharacter(trimmed))
        return std::nullopt;
    return trimmed;
}

} // namespace TokenText
