#include "app/usage.h"

using namespace Qt::StringLiterals;

namespace Usage {

QString text(const QString &version, const QString &pidFilePath, const QString &logFilePath)
{
    // Descriptions start in column 24; continuation lines are indented to match.
    return u"Quorvane "_s + version +
           u"\n\n"
           u"  quorvane             start de app (systeemvak-icoon + sneltoets)\n"
           u"  quorvane --show      start en toon het paneel meteen; draait er al één, dan\n"
           u"                       toont die zijn paneel (via SIGUSR1) en stopt deze\n"
           u"  quorvane --live      verbind meteen met de Homey (HomeStore.start())\n"
           u"  quorvane --no-homey  start zonder ook maar één netwerkcall (alleen de schil)\n"
           u"  quorvane --query X   zet X meteen in het zoekveld (screenshots, UI-tests)\n"
           u"  quorvane --room X    zoom meteen in op kamer X (testhaak: de kamerweergave is\n"
           u"                       niet met een gesimuleerde toetsaanslag te openen)\n"
           u"  quorvane --dim 30    zet de kamer uit --room meteen op 30% (testhaak)\n"
           u"  quorvane --keep-open verberg het paneel niet als het de focus verliest (testhaak)\n"
           u"  quorvane --help      deze tekst\n"
           u"\n"
           u"Geen sneltoets onder Wayland? Koppel `quorvane` aan een sneltoets van je\n"
           u"bureaublad: een tweede start toont het paneel van de eerste.\n"
           u"\n"
           u"Draait de app al? `kill -USR1 <pid>` opent het paneel. Het pid-bestand staat in\n"_s +
           pidFilePath + u" en het logboek in "_s + logFilePath + u"."_s;
}

} // namespace Usage
