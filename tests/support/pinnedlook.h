#pragma once

#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <memory>
#include <QFont>
#include <QGuiApplication>

// What makes rendered pictures repeatable: the icon font, one pinned text family, a visible panel and
// reduced motion, so every frame of an unchanged scene is the same.
struct PinnedLook {
    std::unique_ptr<PanelVisibility> visibility = std::make_unique<PanelVisibility>();
    std::unique_ptr<MotionPreference> preference = std::make_unique<MotionPreference>(true, nullptr);
    std::unique_ptr<Motion> motion = std::make_unique<Motion>(visibility.get(), preference.get());

    // False when the icon font is missing.
    bool pin()
    {
        Theme::useFamilies(QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono"));
        QGuiApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
        visibility->set(true);
        return SymbolCatalog::loadFont();
    }
};
