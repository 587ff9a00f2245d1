#include "app/rendererchoice.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

using namespace Qt::StringLiterals;

namespace RendererChoice {

Choice choose(const QProcessEnvironment &environment)
{
    // The variables Qt Quick reads to pick its adaptation or its graphics interface.
    for (const QString &name : {u"QT_QUICK_BACKEND"_s, u"QMLSCENE_DEVICE"_s, u"QSG_RHI_BACKEND"_s}) {
        const QString value = environment.value(name).trimmed();
        if (!value.isEmpty())
            return {false, u"weergave: "_s + name + u"="_s + value + u" gezet, Qt kiest de renderer"_s};
    }
    return {true, u"weergave: software (QT_QUICK_BACKEND=rhi kiest de grafische kaart)"_s};
}

void apply(const Choice &choice)
{
    if (choice.software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace RendererChoice
