#include "app/notraynotice.h"

using namespace Qt::StringLiterals;

NoTrayNotice NoTrayNotice::make(const QString &wayIn, const QString &logPath)
{
    return {u"Quorvane kon geen systeemvak-icoon plaatsen"_s,
            u"Je desktop biedt geen systeemvak aan.\n\nDit gebeurt als de desktop geen systeemvak heeft, "
            u"zoals GNOME zonder uitbreiding voor systeemvak-iconen, of als een ander programma het "
            u"blokkeert. Quorvane draait wél: "_s +
                wayIn + u" Deze melding krijg je maar één keer.\n\nHet volledige logboek staat in:\n"_s +
                logPath};
}

QString NoTrayNotice::hotKeyWayIn(const HotKeyCombo &combo)
{
    return combo.display() + u" opent het paneel nog steeds."_s;
}

QString NoTrayNotice::secondStartWayIn()
{
    return u"een tweede start van quorvane toont het paneel. Een eigen sneltoets voor de hele desktop "
           u"laat Wayland niet toe: koppel daarom in de instellingen van je desktop een sneltoets aan de "
           u"opdracht quorvane."_s;
}
