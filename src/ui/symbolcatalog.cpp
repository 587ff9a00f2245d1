#include "ui/symbolcatalog.h"

#include "ui/fontfamilyname.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>

using namespace Qt::StringLiterals;

namespace SymbolCatalog {

namespace {

const QString fontFile =
    u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"_s;
const QString fallback = u"square.grid.2x2"_s;
// The family the program knows its copy of the icon font by. Under the font's own name fontconfig may
// pick another copy the system holds, such as a web font that is decompressed at every start.
const QString ownFamily = u"Quorvane Symbols"_s;

// Symbol name to code point of the icon font; the comment names the Material icon.
const QHash<QString, char32_t> &table()
{
    static const QHash<QString, char32_t> map{
        // rooms
        {u"fork.knife"_s, 0xe56c},                      // restaurant
        {u"sofa"_s, 0xe16b},                            // weekend
        {u"bed.double"_s, 0xea45},                      // king_bed
        {u"shower"_s, 0xf061},                          // shower
        {u"figure.stairs"_s, 0xf1a9},                   // stairs
        {u"leaf"_s, 0xea35},                            // eco
        {u"car"_s, 0xe531},                             // directions_car
        {u"books.vertical"_s, 0xe02f},                  // library_books
        {u"house"_s, 0xe88a},                           // home
        {u"house.fill"_s, 0xea44},                      // house
        {u"square.split.bottomrightquarter"_s, 0xe871}, // dashboard
        // devices
        {u"lightbulb.fill"_s, 0xe0f0},           // lightbulb
        {u"lightbulb"_s, 0xe90f},                // lightbulb_outline
        {u"powerplug"_s, 0xe63c},                // power
        {u"sensor"_s, 0xe51e},                   // sensors
        {u"thermometer.medium"_s, 0xf076},       // thermostat
        {u"hifispeaker"_s, 0xe32d},              // speaker
        {u"tv"_s, 0xe333},                       // tv
        {u"lock"_s, 0xe897},                     // lock
        {u"bell"_s, 0xe7f5},                     // notifications_none
        {u"video"_s, 0xe04b},                    // videocam
        {u"blinds.horizontal.closed"_s, 0xec1f}, // blinds_closed
        {u"vacuum"_s, 0xf0ff},                   // cleaning_services
        {u"button.programmable"_s, 0xf1c1},      // smart_button
        {u"shield"_s, 0xe9e0},                   // shield
        {u"sun.max"_s, 0xe430},                  // wb_sunny
        {u"fan"_s, 0xe332},                      // toys
        {u"heater.vertical"_s, 0xea43},          // fireplace
        {u"square.grid.2x2"_s, 0xe9b0},          // grid_view
        // moods and flows
        {u"sparkles"_s, 0xe65f},        // auto_awesome
        {u"bolt.horizontal"_s, 0xea0b}, // bolt
        // notification sources and emergency services
        {u"antenna.radiowaves.left.and.right"_s, 0xebba}, // cell_tower
        {u"figure.walk"_s, 0xe536},                       // directions_walk
        {u"cloud.sun"_s, 0xe3dd},                         // filter_drama
        {u"arrow.triangle.branch"_s, 0xe0b6},             // call_split
        {u"gearshape"_s, 0xe8b8},                         // settings
        {u"cross.case"_s, 0xf109},                        // medical_services
        {u"flame"_s, 0xef55},                             // local_fire_department
        {u"lifepreserver"_s, 0xef73},                     // support
        {u"helicopter"_s, 0xe539},                        // flight
        // views and controls
        {u"xmark"_s, 0xe5cd},                         // close
        {u"xmark.circle.fill"_s, 0xe5c9},             // cancel
        {u"exclamationmark.triangle.fill"_s, 0xe002}, // warning
        {u"arrow.up"_s, 0xe5d8},                      // arrow_upward
        {u"arrow.down"_s, 0xe5db},                    // arrow_downward
        {u"minus"_s, 0xe15b},                         // remove
        {u"plus"_s, 0xe145},                          // add
        {u"pause.fill"_s, 0xe034},                    // pause
        {u"play.fill"_s, 0xe037},                     // play_arrow
        {u"lock.fill"_s, 0xe897},                     // lock
        {u"lock.open"_s, 0xe898},                     // lock_open
        {u"shield.fill"_s, 0xf013},                   // gpp_good
        {u"shield.slash"_s, 0xe9d4},                  // remove_moderator
        {u"magnifyingglass"_s, 0xe8b6},               // search
        {u"bell.fill"_s, 0xe7f4},                     // notifications
        {u"bell.slash"_s, 0xe7f6},                    // notifications_off
        {u"chevron.down"_s, 0xe5cf},                  // expand_more
        {u"wifi.exclamationmark"_s, 0xf066},          // signal_wifi_statusbar_connected_no_internet_4
        {u"checkmark.circle.fill"_s, 0xe86c},         // check_circle
        {u"keyboard"_s, 0xe312},                      // keyboard
    };
    return map;
}

QString &loadedFamily()
{
    static QString family = u"Material Icons"_s;
    return family;
}

// Added once: each addition is a font Qt opens and keeps.
bool addFont()
{
    QFile file(fontFile);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const std::optional<QByteArray> renamed = FontFamilyName::renamed(data, ownFamily);
    const int id = renamed ? QFontDatabase::addApplicationFontFromData(*renamed)
                           : QFontDatabase::addApplicationFont(fontFile);
    if (id < 0)
        return QFontDatabase::hasFamily(loadedFamily());
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty())
        loadedFamily() = families.first();
    return true;
}

} // namespace

std::optional<QString> find(const QString &name)
{
    const auto it = table().constFind(name);
    if (it == table().constEnd())
        return std::nullopt;
    const char32_t codePoint = it.value();
    return QString::fromUcs4(&codePoint, 1);
}

QString glyph(const QString &name)
{
    return find(name).value_or(*find(fallback));
}

QStringList names()
{
    return table().keys();
}

bool loadFont()
{
    static const bool loaded = addFont();
    return loaded;
}

QString fontFamily()
{
    return loadedFamily();
}

} // namespace SymbolCatalog
