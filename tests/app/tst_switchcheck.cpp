#include "app/probes/keyscript.h"
#include "app/switchcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Problems = QList<SwitchCheck::Problem>;

SwitchCheck::Problem warns(const QString &text)
{
    return {u"!! opdrachtregel: "_s + text, false};
}

SwitchCheck::Problem stops(const QString &text)
{
    return {u"!! opdrachtregel: "_s + text + u", Quorvane stopt"_s, true};
}

} // namespace

class TstSwitchCheck : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saysWhatIsDoneInstead_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Problems>("problems");
        QTest::newRow("well-formed") << QStringList{u"--search"_s,
                                                    u"woon"_s,
                                                    u"--type"_s,
                                                    u"lamp"_s,
                                                    u"--runs"_s,
                                                    u"2"_s,
                                                    u"--tempo"_s,
                                                    u"50"_s,
                                                    u"--delay"_s,
                                                    u"0"_s,
                                                    u"--freeze"_s,
                                                    u"0"_s,
                                                    u"--room"_s,
                                                    u"Hal"_s,
                                                    u"--dim"_s,
                                                    u"12.5"_s,
                                                    u"--keys"_s,
                                                    u"Down, enter"_s,
                                                    u"--shot"_s,
                                                    u"na"_s,
                                                    u"--query"_s,
                                                    u"x"_s,
                                                    u"--show"_s,
                                                    u"--no-homey"_s,
                                                    u"--test-id"_s,
                                                    u"ab-1"_s,
                                                    u"--onboarding-test"_s,
                                                    u"--onboarding-probe"_s,
                                                    u"valid"_s}
                                     << Problems();
        // A value is whatever follows its switch; a name follows --shot only when it is no switch.
        QTest::newRow("a switch as a value") << QStringList{u"--query"_s, u"--frobnicate"_s} << Problems();
        QTest::newRow("a shot without a name")
            << QStringList{u"--shot"_s, u"--keys"_s, u"down"_s} << Problems();
        QTest::newRow("Qt's own options")
            << QStringList{u"-platform"_s, u"offscreen"_s, u"--style=Fusion"_s, u"-reverse"_s} << Problems();
        QTest::newRow("unknown switches")
            << QStringList{u"--frobnicate"_s, u"--query=x"_s, u"-x"_s}
            << Problems{warns(u"onbekende schakelaar --frobnicate; genegeerd"_s),
                        warns(u"onbekende schakelaar --query=x; genegeerd"_s),
                        warns(u"onbekende schakelaar -x; genegeerd"_s)};
        QTest::newRow("a stray value")
            << QStringList{u"--show"_s, u"woon"_s}
            << Problems{warns(u"losse waarde \"woon\" zonder schakelaar; genegeerd"_s)};
        QTest::newRow("numbers")
            << QStringList{u"--dim"_s, u"abc"_s,     u"--runs"_s, u"-3"_s,       u"--tempo"_s,
                           u"x"_s,     u"--delay"_s, u"-1"_s,     u"--freeze"_s, u"1e3"_s}
            << Problems{warns(u"--dim \"abc\" is geen getal van 0 tot 100; er wordt niet gedimd"_s),
                        warns(u"--runs \"-3\" is geen geheel getal boven 0; 1 gebruikt"_s),
                        warns(u"--tempo \"x\" is geen geheel getal boven 0; 75 ms gebruikt"_s),
                        warns(u"--delay \"-1\" is geen geheel getal van 0 of meer; 250 ms gebruikt"_s),
                        warns(u"--freeze \"1e3\" is geen geheel getal van 0 of meer; 0 ms gebruikt"_s)};
        QTest::newRow("out of range")
            << QStringList{u"--dim"_s, u"101"_s, u"--runs"_s, u"0"_s, u"--tempo"_s, u"99999999999"_s}
            << Problems{warns(u"--dim \"101\" is geen getal van 0 tot 100; er wordt niet gedimd"_s),
                        warns(u"--runs \"0\" is geen geheel getal boven 0; 1 gebruikt"_s),
                        warns(u"--tempo \"99999999999\" is geen geheel getal boven 0; 75 ms gebruikt"_s)};
        QTest::newRow("numbers without one")
            << QStringList{u"--runs"_s, QString(), u"--dim"_s}
            << Problems{warns(u"--runs zonder waarde; 1 gebruikt"_s),
                        warns(u"--dim zonder waarde; er wordt niet gedimd"_s)};
        // The readers take the first value: only that one is judged.
        QTest::newRow("given twice") << QStringList{u"--runs"_s, u"x"_s, u"--runs"_s, u"2"_s}
                                     << Problems{warns(
                                            u"--runs \"x\" is geen geheel getal boven 0; 1 gebruikt"_s)};
        QTest::newRow("a bare search")
            << QStringList{u"--search"_s}
            << Problems{stops(u"--search zonder zoekopdracht; de zoekproef kan niet lopen"_s)};
        QTest::newRow("an empty search")
            << QStringList{u"--search"_s, QString(), u"--keep-open"_s}
            << Problems{stops(u"--search zonder zoekopdracht; de zoekproef kan niet lopen"_s)};
        QTest::newRow("self-tests without what they need")
            << QStringList{u"--keys"_s, u",,,"_s, u"--room"_s, QString(), u"--type"_s}
            << Problems{stops(u"--keys \",,,\" noemt geen toets; de toetsproef kan niet lopen"_s),
                        stops(u"--room zonder kamernaam; de kamerproef kan niet lopen"_s),
                        stops(u"--type zonder tekst; de tikproef kan niet lopen"_s)};
        QTest::newRow("a bare query") << QStringList{u"--query"_s}
                                      << Problems{warns(u"--query zonder tekst; het zoekveld blijft leeg"_s)};
        QTest::newRow("a test id of other characters")
            << QStringList{u"--onboarding-test"_s, u"--test-id"_s, u"a_b"_s}
            << Problems{warns(
                   u"--test-id \"a_b\" is geen id van letters, cijfers en -; een nieuwe id gebruikt"_s)};
        QTest::newRow("a pairing scenario outside its run")
            << QStringList{u"--onboarding-probe"_s, u"valid"_s}
            << Problems{warns(u"--onboarding-probe werkt alleen met --onboarding-test; genegeerd"_s)};
        QTest::newRow("a pairing run without its scenario")
            << QStringList{u"--onboarding-test"_s, u"--onboarding-probe"_s}
            << Problems{stops(u"--onboarding-probe zonder scenario; de koppelproef kan niet lopen"_s)};
    }
    void saysWhatIsDoneInstead()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Problems, problems);
        QCOMPARE(SwitchCheck::problems(QStringList{u"/usr/bin/quorvane"_s} + arguments), problems);
    }

    // A picture name that would reach out of the log's folder goes to the usual picture.
    void aShotNameThatIsNoFileName()
    {
        const QStringList arguments{u"quorvane"_s, u"--shot"_s, u"../weg"_s};
        QCOMPARE(SwitchCheck::problems(arguments),
                 Problems{warns(u"--shot \"../weg\" is geen bestandsnaam; de foto gaat naar "_s +
                                KeyScript::picturePath(arguments))});
        QVERIFY(KeyScript::picturePath(arguments).endsWith(u"/panel.png"_s));
    }
};

QTEST_GUILESS_MAIN(TstSwitchCheck)
#include "tst_switchcheck.moc"
