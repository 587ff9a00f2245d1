#include "app/rendererchoice.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TstRendererChoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theUsersVariableWins_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("software");
        QTest::addColumn<QString>("named");
        QTest::newRow("none set") << QStringList{} << true << QString();
        QTest::newRow("set empty") << QStringList{u"QT_QUICK_BACKEND="_s, u"QSG_RHI_BACKEND= "_s} << true
                                   << QString();
        QTest::newRow("unrelated") << QStringList{u"QT_QPA_PLATFORM=xcb"_s} << true << QString();
        QTest::newRow("rhi asked") << QStringList{u"QT_QUICK_BACKEND=rhi"_s} << false
                                   << u"QT_QUICK_BACKEND=rhi"_s;
        QTest::newRow("software asked")
            << QStringList{u"QT_QUICK_BACKEND=software"_s} << false << u"QT_QUICK_BACKEND=software"_s;
        QTest::newRow("old name") << QStringList{u"QMLSCENE_DEVICE=openvg"_s} << false
                                  << u"QMLSCENE_DEVICE=openvg"_s;
        QTest::newRow("graphics interface")
            << QStringList{u"QSG_RHI_BACKEND=vulkan"_s} << false << u"QSG_RHI_BACKEND=vulkan"_s;
    }
    void theUsersVariableWins()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, software);
        QFETCH(QString, named);
        QProcessEnvironment environment;
        for (const QString &variable : variables)
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        const RendererChoice::Choice choice = RendererChoice::choose(environment);
        QCOMPARE(choice.software, software);
        QVERIFY2(choice.line.startsWith(u"weergave: "_s), qPrintable(choice.line));
        if (!named.isEmpty())
            QVERIFY2(choice.line.contains(named), qPrintable(choice.line));
    }
};

QTEST_GUILESS_MAIN(TstRendererChoice)
#include "tst_rendererchoice.moc"
