#include "ui/skeletontilelook.h"

using namespace Qt::StringLiterals;

SkeletonTileLook SkeletonTileLook::make()
{
    return {u"Kamer wordt geladen"_s};
}
