#include "app/rendererchoice.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

using namespace Qt::StringLiterals;

namespace RendererChoice {

namespace {

Choice named(const QProcessEnvironment &environment)
{
    // The variables Qt Quick reads to pick its adaptation or its graphics interface.
    for (const QString &name : {u"QT_QUICK_BACKEND"_s, u"QMLSCENE_DEVICE"_s, u"QSG_RHI_BACKEND"_s}) {
        const QString value = environment.value(name).trimmed();
        if (!value.isEmpty())
            return {false, false,
                    u"weergave: "_s + name + u"="_s + value + u" gezet, Qt kiest de renderer"_s};
    }
    return {true, false, u"weergave: software (QT_QUICK_BACKEND=rhi kiest de grafische kaart)"_s};
}

bool drawsInSoftware(const Choice &choice, const QProcessEnvironment &environment)
{
    if (choice.software)
        return true;
    for (const QString &name : {u"QT_QUICK_BACKEND"_s, u"QMLSCENE_DEVICE"_s}) {
        if (environment.value(name).trimmed() == u"software")
            return true;
    }
    return false;
}

} // namespace

Choice choose(const QProcessEnvironment &environment)
{
    Choice choice = named(environment);
    if (drawsInSoftware(choice, environment) &&
        environment.value(u"QSG_RENDER_LOOP"_s).trimmed() == u"threaded") {
        choice.basicLoop = true;
        choice.line += u"; QSG_RENDER_LOOP=threaded genegeerd (de software-renderer loopt daarmee vast)"_s;
    }
    return choice;
}

void apply(const Choice &choice)
{
    if (choice.software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // Read by Qt Quick when it makes the first window.
    if (choice.basicLoop)
        qputenv("QSG_RENDER_LOOP", "basic");
}

} // namespace RendererChoice
