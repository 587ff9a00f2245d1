#include "app/startwarmup.h"
#include "environmentof.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList qmlModules{u"libQt6QmlWorkerScript.so.6"_s, u"libQt6QuickLayouts.so.6"_s,
                             u"libQt6QuickShapes.so.6"_s};

} // namespace

class TstStartWarmup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theLibrariesOfTheWindowSystemQtPicks_data()
    {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QStringList>("platform");
        const QStringList x11{u"libQt6XcbQpa.so.6"_s, u"libXcursor.so.1"_s};
        const QStringList wayland{u"libQt6WaylandClient.so.6"_s};
        QTest::newRow("nothing set") << QStringList{} << x11;
        QTest::newRow("x11 session") << QStringList{u"XDG_SESSION_TYPE=x11"_s} << x11;
        QTest::newRow("wayland session") << QStringList{u"XDG_SESSION_TYPE=wayland"_s} << wayland;
        QTest::newRow("user's platform wins")
            << QStringList{u"XDG_SESSION_TYPE=wayland"_s, u"QT_QPA_PLATFORM=xcb"_s} << x11;
        QTest::newRow("first of a list") << QStringList{u"QT_QPA_PLATFORM=wayland-egl;xcb"_s} << wayland;
        QTest::newRow("with options") << QStringList{u"QT_QPA_PLATFORM=xcb:nograb"_s} << x11;
        QTest::newRow("offscreen") << QStringList{u"QT_QPA_PLATFORM=offscreen"_s} << QStringList{};
    }
    void theLibrariesOfTheWindowSystemQtPicks()
    {
        QFETCH(QStringList, variables);
        QFETCH(QStringList, platform);
        QCOMPARE(StartWarmup::librariesFor(environmentOf(variables)), platform + qmlModules);
    }

    // A name Qt no longer uses would make the warm-up load nothing, without a word.
    void everyLibraryItNamesIsInstalled()
    {
        QStringList names = StartWarmup::librariesFor(environmentOf({}));
        names += StartWarmup::librariesFor(environmentOf({u"QT_QPA_PLATFORM=wayland"_s}));
        names.removeDuplicates();
        for (const QString &name : names) {
            void *handle = dlopen(name.toLocal8Bit().constData(), RTLD_LAZY | RTLD_LOCAL);
            QVERIFY2(handle, qPrintable(name));
            dlclose(handle);
        }
    }

    void aMissingLibraryIsPassedOver()
    {
        {
            StartWarmup warmup({u"libquorvane-nonexistent.so.1"_s, u""_s});
            warmup.awaitFonts();
            QVERIFY(FcConfigGetCurrent());
        }
        QVERIFY(!dlopen("libquorvane-nonexistent.so.1", RTLD_NOLOAD));
    }
};

QTEST_APPLESS_MAIN(TstStartWarmup)
#include "tst_startwarmup.moc"
