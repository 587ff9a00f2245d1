#include "app/rendererchoice.h"
#include "environmentof.h"

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
        const RendererChoice::Choice choice = RendererChoice::choose(environmentOf(variables));
        QCOMPARE(choice.software, software);
        QVERIFY2(choice.line.startsWith(u"weergave: "_s), qPrintable(choice.line));
        if (!named.isEmpty())
            QVERIFY2(choice.line.contains(named), qPrintable(choice.line));
    }

    // Qt's threaded loop for the software scene graph crashes in the panel's shapes: whoever picked the
    // software scene graph gets the basic loop, a graphics card keeps the loop the user asked for.
    void theSoftwareSceneGraphDrawsOnTheBasicLoop_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<bool>("basicLoop");
        QTest::newRow("program's choice") << QStringList{u"QSG_RENDER_LOOP=threaded"_s} << true;
        QTest::newRow("user's software")
            << QStringList{u"QT_QUICK_BACKEND=software"_s, u"QSG_RENDER_LOOP= threaded"_s} << true;
        QTest::newRow("graphics card")
            << QStringList{u"QT_QUICK_BACKEND=rhi"_s, u"QSG_RENDER_LOOP=threaded"_s} << false;
        QTest::newRow("basic asked") << QStringList{u"QSG_RENDER_LOOP=basic"_s} << false;
    }
    void theSoftwareSceneGraphDrawsOnTheBasicLoop()
    {
        QFETCH(QStringList, variables);
        QFETCH(bool, basicLoop);
        const RendererChoice::Choice choice = RendererChoice::choose(environmentOf(variables));
        QCOMPARE(choice.basicLoop, basicLoop);
        QCOMPARE(choice.line.contains(u"QSG_RENDER_LOOP=threaded genegeerd"_s), basicLoop);
    }
};

QTEST_GUILESS_MAIN(TstRendererChoice)
#include "tst_rendererchoice.moc"
