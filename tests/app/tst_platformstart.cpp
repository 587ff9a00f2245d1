#include "app/platformstart.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString waylandMissing = u"Could not find the Qt platform plugin \"wayland\" in \"\""_s;
const QString waylandUnloadable =
    u"Could not load the Qt platform plugin \"wayland\" in \"\" even though it was found."_s;
const QString xcbUnloadable =
    u"Could not load the Qt platform plugin \"xcb\" in \"\" even though it was found."_s;
const QString gaveUp =
    u"This application failed to start because no Qt platform plugin could be initialized. "
    u"Reinstalling the application may fix this problem.\n\nAvailable platform plugins are: "
    u"minimal, offscreen, xcb."_s;

} // namespace

// What the log says from the lines Qt writes on its way to the desktop, as Qt 6.4 words them.
class TstPlatformStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failureSaysWhatIsMissing_data()
    {
        QTest::addColumn<QStringList>("qtLines");
        QTest::addColumn<QString>("line");
        QTest::newRow("Wayland without its plugin nor an X server")
            << QStringList{waylandMissing, xcbUnloadable, gaveUp}
            << u"!! geen beeldscherm: Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland) "
               u"en kon "
               u"ook \"xcb\" niet starten."_s;
        QTest::newRow("nothing answers")
            << QStringList{u"Failed to create wl_display (No such file or directory)"_s, waylandUnloadable,
                           xcbUnloadable, gaveUp}
            << u"!! geen beeldscherm: Qt kon de desktop niet bereiken (geprobeerd: \"wayland\", \"xcb\"). "
               u"Start "
               u"Quorvane in een grafische sessie."_s;
        QTest::newRow("words Qt never wrote")
            << QStringList{gaveUp}
            << u"!! geen beeldscherm: Qt kon niet starten: This application failed to start because no Qt "
               u"platform plugin could be initialized. Reinstalling the application may fix this problem. "
               u"Start Quorvane in een grafische sessie."_s;
    }
    void failureSaysWhatIsMissing()
    {
        QFETCH(QStringList, qtLines);
        QFETCH(QString, line);
        QCOMPARE(PlatformStart::failureLine(qtLines), line);
    }

    void aPluginPassedOverIsTold_data()
    {
        QTest::addColumn<QStringList>("qtLines");
        QTest::addColumn<QString>("line");
        QTest::newRow("GNOME without the Wayland plugin")
            << QStringList{waylandMissing}
            << u"!! Qt mist zijn plugin voor Wayland (installeer het pakket qt6-wayland) en draait nu op \"xcb\"."_s;
        QTest::newRow("compositor gone, X server there")
            << QStringList{waylandUnloadable}
            << u"!! Qt kon \"wayland\" niet gebruiken en draait nu op \"xcb\"."_s;
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
