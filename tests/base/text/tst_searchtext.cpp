#include "base/text/searchtext.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSearchText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("camel and digits")
            << u"WoonkamerLamp2"_s << QStringList{u"woonkamer"_s, u"lamp"_s, u"2"_s};
        QTest::newRow("lower then upper") << u"iPhone"_s << QStringList{u"i"_s, u"phone"_s};
        QTest::newRow("upper run stays") << u"HUE2go"_s << QStringList{u"hue"_s, u"2"_s, u"go"_s};
        QTest::newRow("separators and accents")
            << u"  Eet-kámer / LAMP "_s << QStringList{u"eet"_s, u"kamer"_s, u"lamp"_s};
        QTest::newRow("only punctuation") << u"---"_s << QStringList{};
        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("percent separates") << u"lamp 40%"_s << QStringList{u"lamp"_s, u"40"_s};
        QTest::newRow("full width") << u"ＬＡＭＰ２"_s << QStringList{u"lamp"_s, u"2"_s};
        QTest::newRow("sharp s") << u"Straße"_s << QStringList{u"strasse"_s};
        QTest::newRow("ligature") << u"ﬁets"_s << QStringList{u"fiets"_s};
        // A decomposed é is one character: the mark neither splits the word nor hides the case border.
        QTest::newRow("decomposed accent") << u"Cafe\u0301Bar"_s << QStringList{u"cafe"_s, u"bar"_s};
        QTest::newRow("non-ASCII digits") << u"Lamp\u0663"_s << QStringList{u"lamp"_s, u"\u0663"_s};
        QTest::newRow("emoji separates") << u"Lamp🔥hal"_s << QStringList{u"lamp"_s, u"hal"_s};
        QTest::newRow("supplementary letters")
            << u"𝐀𝐁c"_s << QStringList{u"abc"_s}; // mathematical bold capitals fold to plain letters
        QTest::newRow("duplicates stay") << u"Lamp lamp"_s << QStringList{u"lamp"_s, u"lamp"_s};
        QTest::newRow("Greek") << u"Σαλόνι"_s << QStringList{u"σαλονι"_s};
    }
    void tokens()
    {
        QFETCH(QString, text);
        QTEST(SearchText::tokens(text), "expected");
    }

    void fold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("blank stays") << u"Ça Va"_s << u"ca va"_s;
        QTest::newRow("not trimmed") << u" A-1 "_s << u" a-1 "_s;
        QTest::newRow("capital sharp s") << u"STRAẞE"_s << u"strasse"_s;
        QTest::newRow("umlaut") << u"Zoë's Kamer"_s << u"zoe's kamer"_s;
        QTest::newRow("full width") << u"Ｋｅｕｋｅｎ"_s << u"keuken"_s;
    }
    void fold()
    {
        QFETCH(QString, text);
        QTEST(SearchText::fold(text), "expected");
    }

    void splitCamel_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty") << QString() << QStringList{};
        QTest::newRow("upper run") << u"HUE"_s << QStringList{u"HUE"_s};
        QTest::newRow("case kept") << u"iPhone"_s << QStringList{u"i"_s, u"Phone"_s};
        QTest::newRow("digits") << u"Lamp12b"_s << QStringList{u"Lamp"_s, u"12"_s, u"b"_s};
        // Only letters and numbers mark borders: a hyphen before a capital does not.
        QTest::newRow("punctuation") << u"eet-Kamer"_s << QStringList{u"eet-Kamer"_s};
    }
    void splitCamel()
    {
        QFETCH(QString, word);
        QTEST(SearchText::splitCamel(word), "expected");
    }

    void foldIgnoresTheProcessLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        const QString folded = SearchText::fold(u"IJSKAST İ"_s);
        const QStringList words = SearchText::tokens(u"Inrit"_s);
        QLocale::setDefault(saved);
        QCOMPARE(folded, u"ijskast i"_s);
        QCOMPARE(words, QStringList{u"inrit"_s});
    }

    void maskPrefilterRejectsMissingCharacters()
    {
        const quint64 item = SearchText::mask(SearchText::tokens(u"Woonkamer lamp"_s));
        const auto covers = [item](const QString &query) {
            const quint64 q = SearchText::mask(SearchText::tokens(query));
            return (q & item) == q;
        };
        QVERIFY(covers(u"wnkmr"_s));
        QVERIFY(covers(u"Lamp WOON"_s));
        QVERIFY(!covers(u"lamp 2"_s));
        QVERIFY(!covers(u"keuken"_s));
        QVERIFY(!covers(u"lamp σ"_s)); // beyond a to z and digits
    }
};

QTEST_GUILESS_MAIN(TestSearchText)
#include "tst_searchtext.moc"
