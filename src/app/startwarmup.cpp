#include "app/startwarmup.h"

#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <QByteArray>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The window system Qt 6 picks on Linux: the user's QT_QPA_PLATFORM, else the session's type.
QString platformFor(const QProcessEnvironment &environment)
{
    const QString named = environment.value(u"QT_QPA_PLATFORM"_s).section(u';', 0, 0).section(u':', 0, 0);
    if (!named.isEmpty())
        return named;
    return environment.value(u"XDG_SESSION_TYPE"_s) == u"wayland" ? u"wayland"_s : u"xcb"_s;
}

} // namespace

QStringList StartWarmup::librariesFor(const QProcessEnvironment &environment)
{
    QStringList libraries;
    const QString platform = platformFor(environment);
    if (platform == u"xcb")
        libraries << u"libQt6XcbQpa.so.6"_s << u"libXcursor.so.1"_s;
    else if (platform.startsWith(u"wayland"))
        libraries << u"libQt6WaylandClient.so.6"_s;
    // QtQuick.Layouts and QtQuick.Shapes, and QtQml.WorkerScript that QtQuick's own import brings along.
    libraries << u"libQt6QmlWorkerScript.so.6"_s << u"libQt6QuickLayouts.so.6"_s
              << u"libQt6QuickShapes.so.6"_s;
    return libraries;
}

StartWarmup::StartWarmup(const QStringList &libraries)
{
    std::vector<QByteArray> names;
    for (const QString &library : libraries)
        names.push_back(library.toLocal8Bit());
    m_libraries = std::thread([names = std::move(names)] {
        // Kept open for the whole run: closing would unload what Qt is about to open again.
        for (const QByteArray &name : names)
            dlopen(name.constData(), RTLD_NOW | RTLD_LOCAL);
    });
    m_fonts = std::thread([] { FcInit(); });
}

StartWarmup::~StartWarmup()
{
    awaitFonts();
    if (m_libraries.joinable())
        m_libraries.join();
}

void StartWarmup::awaitFonts()
{
    if (m_fonts.joinable())
        m_fonts.join();
}
