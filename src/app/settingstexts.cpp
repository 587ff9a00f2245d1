#include "app/settingstexts.h"

#include "app/appinfo.h"
#include "ui/keytext.h"

using namespace Qt::StringLiterals;

SettingsTexts SettingsTexts::make()
{
    SettingsTexts t;
    t.windowTitle = u"Quorvane, instellingen"_s;
    t.appName = u"Quorvane"_s;
    t.version = u"versie "_s + AppInfo::version();
    t.configure = u"Homey koppelen, sleutel wijzigen of wissen"_s;
    t.notifications = u"MELDINGEN"_s;
    t.pushLabel = u"Toon meldingen rechtsboven op je scherm"_s;
    t.pushNote = u"Staat dit uit, dan verzamelt Quorvane ze nog steeds. Je vindt ze met "_s +
                 KeyText::display(u"⌘N"_s) + u"."_s;
    t.sourcesCaption = u"WAARVAN"_s;
    t.p2000Caption = u"P2000-FILTER"_s;
    t.p2000Note = u"Je Homey ontvangt heel Nederland: zo'n vijf meldingen per minuut. Zonder regio "
                  u"stuurt Quorvane er dus géén. Vul hier de regio in waar je iets van wilt horen."_s;
    t.priorityLabel = u"Prio"_s;
    t.regionsLabel = u"Regio's"_s;
    t.regionsPlaceholder = u"Amsterdam-Amstelland"_s;
    t.citiesLabel = u"Steden"_s;
    t.citiesPlaceholder = u"leeg = alle steden in die regio"_s;
    // A prio 1 goes out with the critical urgency, which notification services show through
    // do-not-disturb; there is no signing that decides it here.
    t.timeSensitiveLabel = u"Laat prio 1 door 'niet storen' heen komen"_s;
    t.timeSensitiveNote = u"Een prio 1 gaat dan als kritieke melding naar je computer. De meeste "
                          u"meldingendiensten tonen die ook als 'niet storen' aan staat; sommige "
                          u"houden ook die tegen."_s;
    t.hotKey = u"SNELTOETS"_s;
    t.standard = u"Standaard"_s;
    t.recordPrompt = u"Druk een combinatie…"_s;
    t.hotKeyElsewhere = u"Wayland laat een programma geen eigen sneltoets voor de hele desktop "
                        u"vastleggen. Koppel in de instellingen van je desktop een sneltoets aan de "
                        u"opdracht quorvane: een tweede start toont het paneel."_s;
    t.registerFailed = u"Deze combinatie kon niet geregistreerd worden. Kies een andere."_s;
    t.test = u"WERKT DE SNELTOETS ECHT?"_s;
    t.testNote = u"Je computer kan een sneltoets aannemen die toch nooit bij Quorvane aankomt, "
                 u"bijvoorbeeld omdat de desktop of een andere app hem al gebruikt, zonder ook maar "
                 u"te piepen. De enige eerlijke test is: druk hem in."_s;
    t.panel = u"PANEEL"_s;
    t.resetPanel = u"Herstel standaardgrootte"_s;
    t.showLog = u"Toon logboek"_s;
    return t;
}
