#include "ui/statusbarlook.h"

#include "ui/fmt.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QColor labelColour(ConnectionState::Kind kind)
{
    switch (kind) {
    case ConnectionState::Kind::loading:
    case ConnectionState::Kind::connecting:
        return Theme::litSoft();
    case ConnectionState::Kind::degraded:
        return Theme::lit();
    case ConnectionState::Kind::failed:
        return Theme::alarm();
    case ConnectionState::Kind::idle:
        return Theme::textFaint();
    case ConnectionState::Kind::live:
        return Theme::textDim();
    }
    return Theme::textFaint();
}

} // namespace

StatusFigure StatusFigure::make(const QString &symbolName, double watts, const QString &unit, bool warm)
{
    StatusFigure figure;
    figure.symbolName = symbolName;
    if (!symbolName.isEmpty())
        figure.symbol = SymbolCatalog::glyph(symbolName);
    figure.amount = std::isfinite(watts) ? std::abs(watts) : 0;
    figure.value = Fmt::watt(watts);
    figure.unit = unit;
    figure.warm = warm;
    figure.symbolColor = warm ? Theme::lit() : Theme::textFaint();
    figure.valueColor = warm ? Theme::lit() : Theme::text();
    figure.unitColor = warm ? Theme::fade(Theme::lit(), 0.7) : Theme::textFaint();
    return figure;
}

QString StatusFigure::valueAt(double watts) const
{
    return Fmt::watt(watts);
}

StatusBarLook StatusBarLook::make(const ConnectionState &connection, const QString &headline,
                                  const EnergyState &energy)
{
    StatusBarLook look;
    look.dot = StatusDotLook::make(statusTone(connection));
    look.label = connectionLabel(connection);
    look.labelColor = labelColour(connection.kind());
    look.headline = headline;
    look.separator = u"·"_s;

    // Within a watt of zero the grid is taken as balanced and not shown.
    look.consumption = StatusFigure::make({}, energy.consumptionW, u"verbruik"_s, false);
    look.generation = StatusFigure::make(u"sun.max"_s, energy.generationW, u"opwek"_s, false);
    look.generation.shown = energy.generationW > 1;
    if (energy.netW < -1)
        look.net = StatusFigure::make(u"arrow.up"_s, energy.netW, u"naar het net"_s, true);
    else
        look.net = StatusFigure::make(u"arrow.down"_s, energy.netW, u"van het net"_s, false);
    look.net.shown = energy.netW < -1 || energy.netW > 1;
    for (const StatusFigure &figure : {look.consumption, look.generation, look.net}) {
        if (figure.shown)
            look.figures << figure;
    }

    QString spoken = u"Verbinding: "_s + look.label + u". "_s;
    if (!headline.isEmpty())
        spoken += headline + u' ';
    spoken += u"Verbruik "_s + Fmt::watt(energy.consumptionW) + u", opwek "_s +
              Fmt::watt(energy.generationW) + u". "_s;
    spoken += Fmt::watt(energy.netW) + (energy.netW < -1 ? u" terug naar het net."_s : u" van het net."_s);
    look.accessibleName = spoken;
    return look;
}

QVariantList StatusBarLook::figureList() const
{
    QVariantList list;
    for (const StatusFigure &figure : figures)
        list << QVariant::fromValue(figure);
    return list;
}
