#include "ui/fontfamilyname.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainterPath>
#include <QRawFont>
#include <QtEndian>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString iconFont =
    u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"_s;

QByteArray iconFontData()
{
    QFile file(iconFont);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The font with one table record's offset replaced.
QByteArray withOffset(QByteArray font, int record, quint32 offset)
{
    qToBigEndian(offset, font.data() + 12 + 16 * record + 8);
    return font;
}

// The font with the tag of every "name" record changed, so it has none.
QByteArray withoutNames(QByteArray font)
{
    const int tables = qFromBigEndian<quint16>(font.constData() + 4);
    for (int i = 0; i < tables; ++i) {
        if (font.mid(12 + 16 * i, 4) == "name")
            font.replace(12 + 16 * i, 4, "nam_");
    }
    return font;
}

} // namespace

class TstFontFamilyName : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (!QFile::exists(iconFont))
            QSKIP("the icon font is not installed (scripts/install-deps)");
    }

    void theRenamedFontKeepsItsGlyphs()
    {
        const std::optional<QByteArray> renamed =
            FontFamilyName::renamed(iconFontData(), u"Quorvane Symbols"_s);
        QVERIFY(renamed);
        const QRawFont raw(*renamed, 24);
        QVERIFY(raw.isValid());
        QCOMPARE(raw.familyName(), u"Quorvane Symbols"_s);
        QCOMPARE(raw.styleName(), u"Regular"_s);
        // The lightbulb and the home of the catalogue draw as before.
        const QRawFont original(iconFontData(), 24);
        for (const char32_t codePoint : {char32_t(0xe0f0), char32_t(0xe88a)}) {
            const QString glyph = QString::fromUcs4(&codePoint, 1);
            QVERIFY(raw.supportsCharacter(glyph.at(0)));
            const quint32 index = raw.glyphIndexesForString(glyph).value(0);
            QCOMPARE(index, original.glyphIndexesForString(glyph).value(0));
            QCOMPARE(raw.pathForGlyph(index), original.pathForGlyph(index));
        }
    }

    void badInputGivesNothing_data()
    {
        QTest::addColumn<QByteArray>("font");
        QTest::addColumn<QString>("family");
        const QByteArray font = iconFontData();
        QTest::newRow("empty") << QByteArray() << u"Quorvane Symbols"_s;
        QTest::newRow("header cut short") << font.left(10) << u"Quorvane Symbols"_s;
        QTest::newRow("table records cut short") << font.left(40) << u"Quorvane Symbols"_s;
        QTest::newRow("web font") << QByteArray("wOF2").append(font.mid(4)) << u"Quorvane Symbols"_s;
        QTest::newRow("collection") << QByteArray("ttcf").append(font.mid(4)) << u"Quorvane Symbols"_s;
        QTest::newRow("table beyond the end") << withOffset(font, 0, 0xfffffff0u) << u"Quorvane Symbols"_s;
        QTest::newRow("no name table") << withoutNames(font) << u"Quorvane Symbols"_s;
        QTest::newRow("no family") << font << QString();
        QTest::newRow("zero tables") << font.left(4).append(QByteArray(8, '\0')) << u"Quorvane Symbols"_s;
    }
    void badInputGivesNothing()
    {
        QFETCH(QByteArray, font);
        QFETCH(QString, family);
        QVERIFY(!FontFamilyName::renamed(font, family));
    }
};

QTEST_MAIN(TstFontFamilyName)
#include "tst_fontfamilyname.moc"
