#include "store/notifications/markdown.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestMarkdown : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void strip_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");

        QTest::newRow("bold") << u"Alarm **aan**"_s << u"Alarm aan"_s;
        QTest::newRow("code") << u"Run `flow` nu"_s << u"Run flow nu"_s;
        QTest::newRow("underscores") << u"_stil_"_s << u"stil"_s;
        QTest::newRow("link with address") << u"Zie [de kaart](https://x.nl/a) nu"_s << u"Zie de kaart nu"_s;
        QTest::newRow("brackets without address") << u"[tekst] erna"_s << u"tekst erna"_s;
        QTest::newRow("bracket then space then paren") << u"[a] (b)"_s << u"a (b)"_s;
        QTest::newRow("link with unclosed address") << u"[a](b"_s << u"a(b"_s;
        QTest::newRow("unclosed bracket") << u"a [b c"_s << u"a [b c"_s;
        QTest::newRow("nested brackets") << u"[a [b] c](d)"_s << u"a [b c](d)"_s;
        QTest::newRow("lone asterisk") << u"3 * 4 = 12"_s << u"3 * 4 = 12"_s;
        QTest::newRow("identifier") << u"mijn_lamp_aan"_s << u"mijnlampaan"_s;
        QTest::newRow("three open two close") << u"***a**"_s << u"***a**"_s;
        QTest::newRow("closing run may start a longer run") << u"**a***"_s << u"a*"_s;
        QTest::newRow("markers inside emphasis stay") << u"*a _b_ [c]*"_s << u"a _b_ [c]"_s;
        QTest::newRow("markers inside link stay") << u"[*a*](x)"_s << u"*a*"_s;
        QTest::newRow("unterminated run") << u"**begin zonder eind"_s << u"**begin zonder eind"_s;
        QTest::newRow("only paired markers") << u"  ** **  "_s << u""_s;
        QTest::newRow("only white space") << u" \n\t "_s << u""_s;
        QTest::newRow("empty") << u""_s << u""_s;
        QTest::newRow("other markdown passes")
            << u"# Kop\n> citaat\n- punt ]("_s << u"# Kop\n> citaat\n- punt ]("_s;
        QTest::newRow("marker with combining mark is no marker") << u"*\u0301a*"_s << u"*\u0301a*"_s;
        QTest::newRow("emoji and accents kept") << u"**Café 🚒**"_s << u"Café 🚒"_s;
    }
    void strip()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(Markdown::strip(input), expected);
    }

    void largeUnmatchedInputStaysIntact()
    {
        // Half a million brackets that never close: nothing is lost and the scan does not run away.
        QString input;
        for (int i = 0; i < 500'000; ++i)
            input += u"[ "_s;
        input = u"x "_s + input + u"y"_s;
        QCOMPARE(Markdown::strip(input), input);

        const QString megabyte(1'000'000, u'a');
        QCOMPARE(Markdown::strip(u"**"_s + megabyte + u"**"_s), megabyte);

        // Ever shorter runs: none finds its closing run.
        QString runs;
        for (int n = 300; n > 0; --n)
            runs += QString(n, u'*') + u' ';
        QCOMPARE(Markdown::strip(runs), runs.trimmed());
    }
};

QTEST_GUILESS_MAIN(TestMarkdown)
#include "tst_markdown.moc"
