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
           u"  quorvane --live      verbind meteen met de Homey (dat doet elke start al)\n"
           u"  quorvane --no-homey  start zonder ook maar één netwerkcall (alleen de schil)\n"
           u"  quorvane --query X   zet X meteen in het zoekveld (screenshots, UI-tests)\n"
           u"  quorvane --room X    zoom meteen in op kamer X, bij elk tonen opnieuw (testhaak:\n"
           u"                       zo vindt een script of foto de kamer op naam, waar haar\n"
           u"                       tegel in het overzicht ook staat)\n"
           u"  quorvane --dim 30    zet de kamer uit --room meteen op 30% (testhaak)\n"
           u"  quorvane --keep-open verberg het paneel niet als het de focus verliest (testhaak)\n"
           u"  quorvane --help      deze tekst\n"
           u"\n"
           u"Zelftests en testhaken. Elk maakt er een testrun van (geen lock, geen sneltoets,\n"
           u"geen systeemvak-icoon; de app van de gebruiker blijft ongemoeid), op --test-id\n"
           u"en --onboarding-probe na. Zonder --keep-open stoppen --search, --type en --keys\n"
           u"na hun verslag; een zelftest die niet kan lopen zegt dat en stopt met status 2.\n"
           u"  --search Q           druk af wat zoekopdracht Q vindt\n"
           u"  --type T             tik T in het paneel en controleer elke toetsaanslag\n"
           u"  --runs N             --type zo vaak (standaard 1)\n"
           u"  --tempo MS           pauze na elke toets van --type en --keys (standaard 75)\n"
           u"  --delay MS           wachttijd voor elke run van --type (standaard 250)\n"
           u"  --freeze MS          per run van --type houden overzicht, kamer en zoeklijst zo\n"
           u"                       lang stil na eigen schakel- of dimacties, en volgen daarna\n"
           u"                       in één keer (0: uit)\n"
           u"  --hover              --type beweegt ook de muis over de lijst\n"
           u"  --offscreen          het paneel buiten beeld, zonder de toetsen te pakken\n"
           u"  --keys A,B           druk deze toetsen in het paneel: tab, enter, return, space,\n"
           u"                       esc, escape, up, down, left, right, backspace\n"
           u"  --shot NAAM          schrijf na --keys een foto NAAM.png naast het logboek (zonder\n"
           u"                       NAAM: panel.png)\n"
           u"  --notifications      open het paneel op de meldingenlijst\n"
           u"  --settings           open meteen het instellingenvenster\n"
           u"  --dry-run            log wat naar de Homey geschreven zou worden, verstuur niets\n"
           u"  --debug-energy       log hoe de energietotalen ontstaan\n"
           u"  --onboarding-test    koppelen met een eigen sleutel en eigen instellingen\n"
           u"  --test-id ID         de naam daarvan: letters, cijfers en -\n"
           u"  --onboarding-probe S speel koppelscenario S met --onboarding-test: valid,\n"
           u"                       invalid, replace, retry of forget\n"
           u"  --mock               alleen een testrun, verder niets; zo ook --notify-test en\n"
           u"                       --guard-audit\n"
           u"\n"
           u"Geen sneltoets onder Wayland? Koppel `quorvane` aan een sneltoets van je\n"
           u"bureaublad: een tweede start toont het paneel van de eerste.\n"
           u"\n"
           u"Draait de app al? `kill -USR1 <pid>` opent het paneel. Het pid-bestand staat in\n"_s +
           pidFilePath + u" en het logboek in "_s + logFilePath + u"."_s;
}

} // namespace Usage
