#pragma once

#include "homey/model/connectionstate.h"
#include "homey/model/homeyerror.h"

#include <optional>
#include <QString>

// The banner over the palette's content: a failed connection, else the last failed command or load,
// else a live link that is gone. Nothing otherwise.
struct PaletteProblem {
    QString title;
    QString detail;

    static std::optional<PaletteProblem> of(const ConnectionState &connection,
                                            const std::optional<HomeyError> &lastError);

    bool operator==(const PaletteProblem &) const = default;
};
