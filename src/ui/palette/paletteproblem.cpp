#include "ui/palette/paletteproblem.h"

#include "ui/keytext.h"

using namespace Qt::StringLiterals;

std::optional<PaletteProblem> PaletteProblem::of(const ConnectionState &connection,
                                                 const std::optional<HomeyError> &lastError)
{
    if (connection.kind() == ConnectionState::Kind::failed)
        return PaletteProblem{connection.text(), connection.hint()};
    if (lastError) {
        const QString description = lastError->errorDescription();
        return PaletteProblem{description.isEmpty() ? u"Er ging iets mis met de Homey."_s : description,
                              lastError->recovery()};
    }
    // Every degraded state's text already says that the live link is missing, and why: it is the title
    // as it stands, without a lead-in that would say the same again.
    if (connection.kind() == ConnectionState::Kind::degraded)
        return PaletteProblem{connection.text(),
                              u"We tonen de laatst bekende stand en proberen opnieuw te verbinden. "_s +
                                  KeyText::display(u"\u2318R"_s) + u" haalt alles nu op."_s};
    return std::nullopt;
}
