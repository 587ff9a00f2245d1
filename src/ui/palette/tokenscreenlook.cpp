#include "ui/palette/tokenscreenlook.h"

#include "ui/symbolcatalog.h"

using namespace Qt::StringLiterals;

const QString TokenScreenLook::webAppHost = u"my.homey.app"_s;

QUrl TokenScreenLook::webAppURL()
{
    return QUrl(u"https://"_s + webAppHost + u'/');
}

TokenScreenLook TokenScreenLook::make(bool checking, bool hasToken, const std::optional<QString> &message,
                                      const QString &token, bool isolated)
{
    TokenScreenLook look;
    look.titleSymbol = SymbolCatalog::glyph(u"house.fill"_s);
    look.title = u"Koppel je Homey"_s;
    look.intro = u"Bedien je Homey Pro vanaf je computer. Verbind beide met hetzelfde netwerk."_s;
    look.linkText = u"1. Open "_s + webAppHost;
    look.stepTwo = u"2. Kies je Homey en open Instellingen > API-sleutels. Maak een nieuwe sleutel voor "
                   u"Quorvane aan."_s;
    look.stepThree =
        u"3. Geef toegang tot apparaten, zones, flows, moods en de gegevens die je wilt bekijken. "
        u"Kopieer de sleutel en plak hem hieronder."_s;
    look.fieldLabel = u"Personal Access Token (API-sleutel)"_s;
    look.placeholder = u"Plak je API-sleutel"_s;
    look.fieldAccessibleName = u"API-sleutel"_s;
    look.fieldEnabled = !checking;
    look.note = u"De sleutel wordt eerst bij je Homey gecontroleerd en daarna alleen in de sleutelbos van je "
                u"bureaublad bewaard."_s;
    look.message = message.value_or(QString());
    look.saveTitle = checking ? u"Controleren\u2026"_s : u"Controleren en bewaren"_s;
    look.saveEnabled = !checking && !token.trimmed().isEmpty();
    look.showsProgress = checking;
    look.showsKeyButtons = hasToken;
    look.keyButtonsEnabled = !checking;
    look.cancelText = u"Annuleren"_s;
    look.forgetText = u"Sleutel wissen"_s;
    if (isolated)
        look.isolatedNote = u"Testconfiguratie: je eigen Homey en sleutelbos blijven ongemoeid."_s;
    look.confirmTitle = u"API-sleutel wissen?"_s;
    look.confirmMessage = u"Quorvane verbreekt de verbinding. Je kunt later opnieuw een sleutel plakken."_s;
    look.confirmForgetText = u"Wis de sleutel"_s;
    look.confirmCancelText = u"Annuleren"_s;
    return look;
}
