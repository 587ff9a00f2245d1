#include "ports/keychainerror.h"

using namespace Qt::StringLiterals;

KeychainError::KeychainError(Kind kind, int status) : m_kind(kind), m_status(status)
{
    m_what = errorDescription().toUtf8();
}

KeychainError KeychainError::unhandled(int status)
{
    return KeychainError(Kind::Unhandled, status);
}

KeychainError KeychainError::denied()
{
    return KeychainError(Kind::Denied, 0);
}

KeychainError KeychainError::timedOut()
{
    return KeychainError(Kind::TimedOut, 0);
}

QString KeychainError::errorDescription() const
{
    switch (m_kind) {
    case Kind::Unhandled:
        return u"De sleutelbos gaf een fout ("_s + QString::number(m_status) + u")."_s;
    case Kind::Denied:
        return u"De computer gaf geen toegang tot de sleutelbos."_s;
    case Kind::TimedOut:
        return u"De sleutelbos reageerde niet op tijd."_s;
    }
    return {};
}

QString KeychainError::recovery() const
{
    switch (m_kind) {
    case Kind::Unhandled:
        return u"Koppel je Homey opnieuw via Instellingen."_s;
    case Kind::Denied:
        return u"Klik in het toegangsvenster op 'Altijd toestaan'. Blijft het misgaan, koppel je Homey dan "
               u"opnieuw."_s;
    case Kind::TimedOut:
        return u"Ontgrendel de sleutelbos als daarom gevraagd wordt en probeer het opnieuw."_s;
    }
    return {};
}

const char *KeychainError::what() const noexcept
{
    return m_what.constData();
}
