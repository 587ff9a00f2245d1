#include "app/platformstart.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString waylandMissing = u"Could not find the Qt platform plugin \"wayland\" in \"\""_s;

} // namespace

// What the log says from the lines Qt writes on its way to the desktop, as Qt 6.4 words them. The
// program's own runs (tst_processentry) show the failures Qt can be brought to here.
class TstPlatformStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A Wayland session without Qt's plugin and without an X server to fall back on.
    void aMissingWaylandPluginIsNamed()
    {
        const QStringList qtLines{
            waylandMissing,
            u"Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found."_s,
            u"This application failed to start because no Qt platform plugin could be initialized."_s};
        QCOMPARE(
            PlatformStart::failureLine(qtLines),
            u"!! geen beeldscherm: Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland) en "
            u"kon ook \"xcb\" niet starten."_s);
    }

    void aPluginPassedOverIsTold_data()
    {
        QTest::addColumn<QStringList>("qtLines");
        QTest::addColumn<QString>("line");
        QTest::newRow("GNOME without the Wayland plugin")
            << QStringList{waylandMissing}
            << u"!! Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland) en draait nu op "
               u"\"xcb\"."_s;
        QTest::newRow("straight to the platform") << QStringList{u"some other warning"_s} << QString();
    }
    void aPluginPassedOverIsTold()
    {
        QFETCH(QStringList, qtLines);
        QFETCH(QString, line);
        QCOMPARE(PlatformStart::fallbackLine(qtLines, u"xcb"_s).value_or(QString()), line);
    }
};

QTEST_APPLESS_MAIN(TstPlatformStart)
#include "tst_platformstart.moc"
