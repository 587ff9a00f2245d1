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
    void argumentsAreReadExactly_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("isolated");
        QTest::addColumn<QString>("testID"); // empty: a fresh UUID
        QTest::newRow("nothing") << QStringList{} << false << QString();
        QTest::newRow("isolated, plain id")
            << QStringList{u"--onboarding-test"_s, u"--test-id"_s, u"abc-1"_s} << true << u"abc-1"_s;
        QTest::newRow("isolated with a value") << QStringList{u"--onboarding-test=1"_s} << false << QString();
        QTest::newRow("other case") << QStringList{u"--Onboarding-Test"_s} << false << QString();
        QTest::newRow("non-ASCII letters") << QStringList{u"--test-id"_s, u"één-2"_s} << false << u"één-2"_s;
        QTest::newRow("flag last") << QStringList{u"--test-id"_s} << false << QString();
        QTest::newRow("empty") << QStringList{u"--test-id"_s, QString()} << false << QString();
        QTest::newRow("underscore") << QStringList{u"--test-id"_s, u"abc_1"_s} << false << QString();
        QTest::newRow("path") << QStringList{u"--test-id"_s, u"../x"_s} << false << QString();
        QTest::newRow("first flag counts")
            << QStringList{u"--test-id"_s, u"bad!"_s, u"--test-id"_s, u"good"_s} << false << QString();
    }
    void argumentsAreReadExactly()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, testID);
        arguments.prepend(u"quorvane"_s);
        QTEST(AppConfiguration::isolatedFrom(arguments), "isolated");
        const QString id = AppConfiguration::testIDFrom(arguments);
        if (!testID.isEmpty()) {
            QCOMPARE(id, testID);
            return;
        }
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
