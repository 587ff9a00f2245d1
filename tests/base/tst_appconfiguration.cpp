#include "base/appconfiguration.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <QTextStream>
#include <QUuid>

using namespace Qt::StringLiterals;

class TstAppConfiguration : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void isolatedNeedsTheExactArgument_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("isolated");
        QTest::newRow("absent") << QStringList{u"quorvane"_s} << false;
        QTest::newRow("present") << QStringList{u"quorvane"_s, u"--onboarding-test"_s} << true;
        QTest::newRow("with a value") << QStringList{u"quorvane"_s, u"--onboarding-test=1"_s} << false;
        QTest::newRow("other case") << QStringList{u"quorvane"_s, u"--Onboarding-Test"_s} << false;
    }
    void isolatedNeedsTheExactArgument()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, isolated);
        QCOMPARE(AppConfiguration::isolatedFrom(arguments), isolated);
    }

    void testIDKeepsOnlyPlainIDs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected"); // empty: a fresh UUID
        const QString exe = u"quorvane"_s;
        QTest::newRow("plain") << QStringList{exe, u"--test-id"_s, u"abc-1"_s} << u"abc-1"_s;
        QTest::newRow("letters and digits") << QStringList{exe, u"--test-id"_s, u"Run42"_s} << u"Run42"_s;
        QTest::newRow("non-ASCII letters") << QStringList{exe, u"--test-id"_s, u"één-2"_s} << u"één-2"_s;
        QTest::newRow("missing") << QStringList{exe} << QString();
        QTest::newRow("flag last") << QStringList{exe, u"--test-id"_s} << QString();
        QTest::newRow("empty") << QStringList{exe, u"--test-id"_s, QString()} << QString();
        QTest::newRow("underscore") << QStringList{exe, u"--test-id"_s, u"abc_1"_s} << QString();
        QTest::newRow("path") << QStringList{exe, u"--test-id"_s, u"../x"_s} << QString();
        QTest::newRow("space") << QStringList{exe, u"--test-id"_s, u"a b"_s} << QString();
        QTest::newRow("first flag counts")
            << QStringList{exe, u"--test-id"_s, u"bad!"_s, u"--test-id"_s, u"good"_s} << QString();
    }
    void testIDKeepsOnlyPlainIDs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        const QString id = AppConfiguration::testIDFrom(arguments);
        if (!expected.isEmpty()) {
            QCOMPARE(id, expected);
            return;
        }
        QCOMPARE(id.size(), 36);
        QVERIFY(!QUuid::fromString(id).isNull());
        QVERIFY(AppConfiguration::testIDFrom(arguments) != id);
    }

    void processValuesAreWorkedOutOnce()
    {
        QCOMPARE(AppConfiguration::isolated(), false);
        const QString id = AppConfiguration::testID();
        QVERIFY(!QUuid::fromString(id).isNull());
        QCOMPARE(AppConfiguration::testID(), id);
    }

    void valuesAreReadBeforeTheApplicationExists()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {u"--probe-early"_s, u"--onboarding-test"_s, u"--test-id"_s, u"vroeg-7"_s});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardOutput(), QByteArray("true vroeg-7"));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--probe-early") == 0) {
        // No application object yet: the values come from the kernel's copy of the command line.
        const bool isolated = AppConfiguration::isolated();
        const QString id = AppConfiguration::testID();
        QCoreApplication app(argc, argv);
        QTextStream(stdout) << (isolated ? u"true "_s : u"false "_s) << id;
        return 0;
    }
    QCoreApplication app(argc, argv);
    TstAppConfiguration test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_appconfiguration.moc"
