#include "homey/model/homeyerror.h"

using namespace Qt::StringLiterals;

HomeyError::HomeyError(Kind kind, QString text, int status)
    : m_kind(kind), m_text(std::move(text)), m_status(status), m_what(errorDescription().toUtf8())
{}

HomeyError HomeyError::unreachable(const QString &host)
{
    return HomeyError(Kind::unreachable, host);
}

HomeyError HomeyError::http(int status, const QString &path)
{
    return HomeyError(Kind::http, path, status);
}

HomeyError HomeyError::decoding(const QString &text)
{
    return HomeyError(Kind::decoding, text);
}

HomeyError HomeyError::socket(const QString &text)
{
    return HomeyError(Kind::socket, text);
}

HomeyError HomeyError::notConfigured()
{
    return HomeyError(Kind::notConfigured);
}

HomeyError HomeyError::offline()
{
    return HomeyError(Kind::offline);
}

HomeyError HomeyError::unauthorized()
{
    return HomeyError(Kind::unauthorized);
}

QString HomeyError::errorDescription() const
{
    switch (m_kind) {
    case Kind::unreachable:
        return u"Geen contact met je Homey op "_s + m_text + u"."_s;
    case Kind::http:
        return u"De Homey gaf een fout ("_s + QString::number(m_status) + u") op "_s + m_text + u"."_s;
    case Kind::decoding:
        return u"Onverwacht antwoord van de Homey: "_s + m_text;
    case Kind::socket:
        return u"De live-verbinding viel weg: "_s + m_text;
    case Kind::notConfigured:
        return u"Nog geen Homey gekoppeld."_s;
    case Kind::offline:
        return u"Je computer heeft geen netwerkverbinding."_s;
    case Kind::unauthorized:
        return u"De Homey accepteert dit token niet meer."_s;
    }
    return {};
}

QString HomeyError::recovery() const
{
    return recovery(m_kind);
}

QString HomeyError::recovery(Kind kind)
{
    switch (kind) {
    case Kind::unreachable:
        return u"Controleer of je Homey aanstaat en of je computer op hetzelfde netwerk zit als je Homey. "
               u"Staat er een firewall aan, kijk dan of die de verbinding met je Homey niet blokkeert."_s;
    case Kind::http:
        return u"Probeer het opnieuw. Blijft het fout gaan, herstart dan je Homey."_s;
    case Kind::decoding:
        return u"Dit is waarschijnlijk een nieuwe Homey-firmware. Meld het even."_s;
    case Kind::socket:
        return u"Klik op Opnieuw proberen om opnieuw verbinding te maken."_s;
    case Kind::notConfigured:
        return u"Maak een API-sleutel aan in de Homey-webapp onder Instellingen, API-sleutels."_s;
    case Kind::offline:
        return u"Verbind je computer met hetzelfde netwerk als je Homey en probeer opnieuw."_s;
    case Kind::unauthorized:
        return u"Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
    }
    return {};
}
