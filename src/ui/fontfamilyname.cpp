#include "ui/fontfamilyname.h"

#include <QList>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace FontFamilyName {

namespace {

constexpr qsizetype headerSize = 12;
constexpr qsizetype recordSize = 16;

quint32 read32(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

void put16(QByteArray &data, quint16 value)
{
    char bytes[2];
    qToBigEndian(value, bytes);
    data.append(bytes, 2);
}

void set32(QByteArray &data, qsizetype at, quint32 value)
{
    qToBigEndian(value, data.data() + at);
}

quint32 checksum(const QByteArray &table)
{
    quint32 sum = 0;
    for (qsizetype at = 0; at < table.size(); at += 4) {
        quint32 word = 0;
        for (qsizetype i = 0; i < 4; ++i)
            word = (word << 8) | quint8(at + i < table.size() ? table[at + i] : 0);
        sum += word;
    }
    return sum;
}

struct Name {
    quint16 platform;
    quint16 encoding;
    quint16 language;
    quint16 id;
    QByteArray text;
};

QByteArray utf16BigEndian(const QString &text)
{
    QByteArray bytes;
    for (const QChar c : text)
        put16(bytes, c.unicode());
    return bytes;
}

// Macintosh (Roman) and Windows (Unicode BMP) records of family, style, full name and PostScript name,
// in the order the format asks for: by platform, encoding, language, then name.
QByteArray nameTable(const QString &family)
{
    QString postScript = family;
    postScript.remove(u' ');
    const QList<std::pair<quint16, QString>> texts{
        {1, family}, {2, u"Regular"_s}, {4, family}, {6, postScript}};
    QList<Name> names;
    for (const auto &[id, text] : texts)
        names.append({1, 0, 0, id, text.toLatin1()});
    for (const auto &[id, text] : texts)
        names.append({3, 1, 0x409, id, utf16BigEndian(text)});

    QByteArray table;
    put16(table, 0);
    put16(table, quint16(names.size()));
    put16(table, quint16(6 + 12 * names.size()));
    QByteArray strings;
    for (const Name &name : std::as_const(names)) {
        put16(table, name.platform);
        put16(table, name.encoding);
        put16(table, name.language);
        put16(table, name.id);
        put16(table, quint16(name.text.size()));
        put16(table, quint16(strings.size()));
        strings += name.text;
    }
    return table + strings;
}

} // namespace

std::optional<QByteArray> renamed(const QByteArray &font, const QString &family)
{
    if (family.isEmpty() || family.size() > 63 || font.size() < headerSize)
        return std::nullopt;
    const quint32 version = read32(font, 0);
    // TrueType outlines (0x00010000, "true") or CFF ("OTTO"); a collection or a compressed web font is
    // not one font file.
    if (version != 0x00010000 && version != 0x74727565 && version != 0x4f54544f)
        return std::nullopt;
    const quint16 tables = qFromBigEndian<quint16>(font.constData() + 4);
    if (tables == 0 || font.size() < headerSize + recordSize * tables)
        return std::nullopt;
    qsizetype nameRecord = -1;
    for (quint16 i = 0; i < tables; ++i) {
        const qsizetype record = headerSize + recordSize * i;
        const quint64 offset = read32(font, record + 8);
        const quint64 length = read32(font, record + 12);
        if (offset + length > quint64(font.size()))
            return std::nullopt;
        if (font.mid(record, 4) == "name")
            nameRecord = record;
    }
    if (nameRecord < 0)
        return std::nullopt;

    // The new table goes at the end, four-byte aligned; the old one stays where it is, unreferenced.
    QByteArray result = font;
    while (result.size() % 4 != 0)
        result.append('\0');
    const QByteArray table = nameTable(family);
    set32(result, nameRecord + 4, checksum(table));
    set32(result, nameRecord + 8, quint32(result.size()));
    set32(result, nameRecord + 12, quint32(table.size()));
    result += table;
    while (result.size() % 4 != 0)
        result.append('\0');
    return result;
}

} // namespace FontFamilyName
