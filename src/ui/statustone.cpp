#include "ui/statustone.h"

#include "ui/theme.h"

using namespace Qt::StringLiterals;

StatusTone statusTone(const ConnectionState &state)
{
    switch (state.kind()) {
    case ConnectionState::Kind::loading:
    case ConnectionState::Kind::connecting:
        return StatusTone::busy;
    case ConnectionState::Kind::degraded:
        return StatusTone::warn;
    case ConnectionState::Kind::failed:
        return StatusTone::fail;
    case ConnectionState::Kind::idle:
        return StatusTone::off;
    case ConnectionState::Kind::live:
        return StatusTone::live;
    }
    return StatusTone::off;
}

QString connectionLabel(const ConnectionState &state)
{
    switch (state.kind()) {
    case ConnectionState::Kind::loading:
        return state.text();
    case ConnectionState::Kind::connecting:
        return u"Verbinden"_s;
    case ConnectionState::Kind::degraded:
        return u"Vertraagd"_s;
    case ConnectionState::Kind::failed:
        return u"Fout"_s;
    case ConnectionState::Kind::idle:
        return u"Niet gekoppeld"_s;
    case ConnectionState::Kind::live:
        return u"Live"_s;
    }
    return {};
}

bool isSettled(const ConnectionState &state)
{
    switch (state.kind()) {
    case ConnectionState::Kind::degraded:
    case ConnectionState::Kind::failed:
    case ConnectionState::Kind::live:
        return true;
    case ConnectionState::Kind::loading:
    case ConnectionState::Kind::connecting:
    case ConnectionState::Kind::idle:
        return false;
    }
    return false;
}

QColor toneColour(StatusTone tone)
{
    switch (tone) {
    case StatusTone::live:
        return QColor::fromRgbF(0.31f, 0.8f, 0.52f);
    case StatusTone::busy:
        return Theme::litSoft();
    case StatusTone::warn:
        return Theme::lit();
    case StatusTone::fail:
        return Theme::alarm();
    case StatusTone::off:
        return Theme::textFaint();
    }
    return Theme::textFaint();
}
