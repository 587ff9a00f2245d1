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
                              advice(lastError->kind())};
    }
    // Every degraded state's text already says that the live link is missing, and why: it is the title
    // as it stands, without a lead-in that would say the same again.
    if (connection.kind() == ConnectionState::Kind::degraded)
        return PaletteProblem{connection.text(),
                              u"We tonen de laatst bekende stand en proberen opnieuw te verbinden. "_s +
                                  KeyText::display(u"\u2318R"_s) + u" haalt alles nu op."_s};
    return std::nullopt;
}

QString PaletteProblem::advice(HomeyError::Kind kind)
{
    switch (kind) {
    case HomeyError::Kind::unreachable:
        return u"Sta Quorvane toe je lokale netwerk te gebruiken (de firewall in de systeeminstellingen). "
               u"Zonder die toestemming kan hij je Homey niet zien, ook al ben je thuis. Staat dat al aan? "
               u"Controleer dan of je Homey aanstaat."_s;
    case HomeyError::Kind::http:
        return u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s;
    case HomeyError::Kind::decoding:
        return u"Dit is waarschijnlijk een nieuwe Homey-firmware. Meld het even."_s;
    case HomeyError::Kind::socket:
        return u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s;
    case HomeyError::Kind::notConfigured:
        return u"Maak een API-sleutel aan in de Homey-webapp onder Instellingen, API-sleutels."_s;
    case HomeyError::Kind::offline:
        return u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s;
    case HomeyError::Kind::unauthorized:
        return u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
    }
    return {};
}
