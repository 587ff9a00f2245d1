// Renders every component of the interface kit in each of its states, and the control strips of a few
// devices, into one PNG per state, with the offscreen platform, the software renderer, one pinned font
// and reduced motion, so pictures are the same on every machine. Usage: quorvane_gallery <folder>.
// Exits non-zero when a component fails to load.

#include "gallerystrips.h"
#include "homey/model/connectionstate.h"
#include "homey/model/energystate.h"
#include "homey/model/hit.h"
#include "homey/model/room.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/errorbarlook.h"
#include "ui/glowbarlook.h"
#include "ui/keycaplook.h"
#include "ui/keyhint.h"
#include "ui/keyhintsmodel.h"
#include "ui/modechiplook.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/panelvisibility.h"
#include "ui/resultrowlook.h"
#include "ui/roomtilelook.h"
#include "ui/scenechiplook.h"
#include "ui/scopechiplook.h"
#include "ui/sectionheaderlook.h"
#include "ui/skeletontilelook.h"
#include "ui/statusbarlook.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTextStream>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

// Every picture has this much of the panel's surface around the component.
constexpr int margin = 10;

struct Shot {
    QString name;
    QString component; // a type of the module, or QML source of its own
    double width = 0;  // 0: the component's own width
    QVariantMap properties;
};

template <typename T> QVariant v(const T &value)
{
    return QVariant::fromValue(value);
}

// A gadget's properties by name, as a delegate gets them from a model with a role per property.
template <typename T> QVariantMap properties(const T &gadget)
{
    QVariantMap map;
    for (int i = 0; i < T::staticMetaObject.propertyCount(); ++i) {
        const QMetaProperty property = T::staticMetaObject.property(i);
        map.insert(QString::fromLatin1(property.name()), property.readOnGadget(&gadget));
    }
    return map;
}

Hit deviceHit(const QString &title, const std::optional<QString> &subtitle, const QString &symbol,
              Hit::Accessory accessory)
{
    return Hit{.id = u"device:1"_s,
               .target = Hit::Target::device(u"1"_s),
               .title = title,
               .subtitle = subtitle,
               .symbol = symbol,
               .accessory = std::move(accessory)};
}

Hit moodHit(const QString &title)
{
    return Hit{.id = u"mood:1"_s,
               .target = Hit::Target::mood(u"1"_s),
               .title = title,
               .symbol = u"sparkles"_s,
               .accessory = Hit::Accessory::run()};
}

Room room(int lightsOn, int lightsTotal, double brightness, bool active, std::optional<double> temperature)
{
    return Room{.id = u"z1"_s,
                .name = u"Woonkamer"_s,
                .symbol = u"sofa"_s,
                .deviceCount = 7,
                .lightsOn = lightsOn,
                .lightsTotal = lightsTotal,
                .brightness = brightness,
                .temperature = temperature,
                .active = active};
}

QList<Shot> shots(const GalleryStrips &strips)
{
    QList<Shot> list;
    const auto add = [&](const QString &name, const QString &component, double width,
                         QVariantMap properties) {
        list << Shot{name, component, width, std::move(properties)};
    };

    const std::pair<const char *, ConnectionState> states[] = {
        {"live", ConnectionState::live()},
        {"loading", ConnectionState::loading(u"Apparaten ophalen..."_s)},
        {"connecting", ConnectionState::connecting()},
        {"degraded", ConnectionState::degraded(u"Geen live verbinding"_s)},
        {"failed", ConnectionState::failed(u"Homey onbereikbaar"_s, u"Controleer het netwerk"_s)},
        {"idle", ConnectionState::idle()},
    };
    for (const auto &[name, state] : states) {
        add(u"statusdot-"_s + QLatin1StringView(name), u"StatusDot"_s, 0,
            {{u"look"_s, v(StatusDotLook::make(statusTone(state)))}, {u"size"_s, 12}});
    }

    using Tint = GlowBarLook::Tint;
    const std::tuple<const char *, double, Tint, bool> bars[] = {
        {"warm", 0.6, Tint::warm(), true},
        {"warm-empty", 0, Tint::warm(), true},
        {"warm-tiny", 0.01, Tint::warm(), true},
        {"warm-noglow", 0.6, Tint::warm(), false},
        {"temperature", 0.5, Tint::temperature(), true},
        {"hue", 0.5, Tint::hueWheel(), true},
        {"saturation", 0.7, Tint::saturation(0.6), true},
        {"neutral", 0.4, Tint::neutral(), true},
    };
    for (const auto &[name, value, tint, glows] : bars) {
        add(u"glowbar-"_s + QLatin1StringView(name), u"GlowBar"_s, 200,
            {{u"look"_s, v(GlowBarLook::make(value, tint, glows))}, {u"height"_s, 6}});
    }

    const std::tuple<const char *, Room, bool, bool> tiles[] = {
        {"lit-selected", room(2, 5, 0.6, true, 21.5), true, false},
        {"lit", room(2, 5, 0.6, false, 21.5), false, false},
        {"faint", room(1, 5, 0.05, false, std::nullopt), false, false},
        {"dark", room(0, 3, 0, false, 19), false, false},
        {"dark-hover", room(0, 3, 0, false, 19), false, true},
        {"no-lights", room(0, 0, 0, true, std::nullopt), false, false},
    };
    for (const auto &[name, r, selected, hovering] : tiles) {
        QVariantMap tile = properties(RoomTileLook::make(r, selected));
        tile.insert(u"hovering"_s, hovering);
        add(u"roomtile-"_s + QLatin1StringView(name), u"RoomTile"_s, 240, tile);
    }
    add(u"skeletontile"_s, u"SkeletonTile"_s, 240, {{u"look"_s, v(SkeletonTileLook::make())}});

    const Hit evening = moodHit(u"Avond"_s);
    add(u"scenechip"_s, u"SceneChip"_s, 0,
        {{u"look"_s, v(SceneChipLook::make(evening, std::nullopt, false))}});
    add(u"scenechip-shortcut"_s, u"SceneChip"_s, 0, {{u"look"_s, v(SceneChipLook::make(evening, 3, false))}});
    add(u"scenechip-selected"_s, u"SceneChip"_s, 0, {{u"look"_s, v(SceneChipLook::make(evening, 3, true))}});
    add(u"scenechip-hover"_s, u"SceneChip"_s, 0,
        {{u"look"_s, v(SceneChipLook::make(evening, 1, false))}, {u"hovering"_s, true}});

    add(u"scopechip"_s, u"ScopeChip"_s, 0,
        {{u"look"_s, v(ScopeChipLook::make(u"Keuken"_s, u"fork.knife"_s))}});
    add(u"scopechip-hover"_s, u"ScopeChip"_s, 0,
        {{u"look"_s, v(ScopeChipLook::make(u"Keuken"_s, u"fork.knife"_s))}, {u"hovering"_s, true}});

    const Hit away = deviceHit(u"Afwezig"_s, std::nullopt, u"house"_s, Hit::Accessory::toggle(true));
    const Hit night = deviceHit(u"Nacht"_s, std::nullopt, u"house"_s, Hit::Accessory::toggle(false));
    add(u"modechip-on"_s, u"ModeChip"_s, 0, {{u"look"_s, v(ModeChipLook::make(away, false))}});
    add(u"modechip-off"_s, u"ModeChip"_s, 0, {{u"look"_s, v(ModeChipLook::make(night, false))}});
    add(u"modechip-selected"_s, u"ModeChip"_s, 0, {{u"look"_s, v(ModeChipLook::make(night, true))}});
    add(u"modechip-hover"_s, u"ModeChip"_s, 0,
        {{u"look"_s, v(ModeChipLook::make(night, false))}, {u"hovering"_s, true}});

    const Hit lamp =
        deviceHit(u"Staande lamp"_s, u"Woonkamer"_s, u"lightbulb.fill"_s, Hit::Accessory::toggle(true));
    const Hit lampOff =
        deviceHit(u"Staande lamp"_s, u"Woonkamer"_s, u"lightbulb"_s, Hit::Accessory::toggle(false));
    const Hit dimmer = deviceHit(u"Plafond"_s, u"Keuken"_s, u"lightbulb.fill"_s, Hit::Accessory::dimmer(0.4));
    const Hit dimmerOff = deviceHit(u"Plafond"_s, u"Keuken"_s, u"lightbulb"_s, Hit::Accessory::dimmer(0));
    const Hit sensor =
        deviceHit(u"Thermometer"_s, u"Zolder"_s, u"sensor"_s, Hit::Accessory::value(u"19,5 °C"_s));
    const Hit flow = Hit{.id = u"flow:1"_s,
                         .target = Hit::Target::flow(u"1"_s, false),
                         .title = u"Alles uit"_s,
                         .subtitle = u"Flow"_s,
                         .symbol = u"bolt.horizontal"_s,
                         .accessory = Hit::Accessory::run()};
    const Hit plain = deviceHit(u"Deurbel"_s, std::nullopt, u"bell"_s, Hit::Accessory::none());
    const std::tuple<const char *, Hit, bool, bool, double, bool> rows[] = {
        {"toggle-selected", lamp, true, false, 0, false},
        {"toggle-off", lampOff, false, false, 0, false},
        {"dimmer-wash", dimmer, false, false, 0.4, false},
        {"dimmer-off-selected", dimmerOff, true, false, 0, false},
        {"value", sensor, false, false, 0, false},
        {"run-selected", flow, true, false, 0, false},
        {"none-selected", plain, true, false, 0, false},
        {"expanded", dimmer, true, true, 0.4, false},
        {"hover", lampOff, false, false, 0, true},
    };
    for (const auto &[name, hit, selected, expanded, fill, hovering] : rows) {
        add(u"resultrow-"_s + QLatin1StringView(name), u"ResultRow"_s, 480,
            {{u"look"_s, v(ResultRowLook::make(0, hit, selected, expanded, fill))},
             {u"hovering"_s, hovering}});
    }

    const EnergyState exporting{.consumptionW = 1234, .generationW = 3100, .netW = -500};
    const EnergyState importing{.consumptionW = 850, .generationW = 0, .netW = 850};
    for (const auto &[name, state] : states) {
        add(u"statusbar-"_s + QLatin1StringView(name), u"StatusBar"_s, Theme::panelWidth,
            {{u"look"_s, v(StatusBarLook::make(state, u"3 lampen aan"_s, exporting))}});
    }
    add(u"statusbar-importing"_s, u"StatusBar"_s, Theme::panelWidth,
        {{u"look"_s, v(StatusBarLook::make(ConnectionState::live(), QString(), importing))}});

    const QString title = u"Homey onbereikbaar"_s;
    const QString recovery = u"Controleer of je computer en de Homey op hetzelfde netwerk zitten."_s;
    add(u"errorbar"_s, u"ErrorBar"_s, Theme::panelWidth,
        {{u"look"_s, v(ErrorBarLook::make(title, recovery, true, true))}});
    add(u"errorbar-plain"_s, u"ErrorBar"_s, Theme::panelWidth,
        {{u"look"_s, v(ErrorBarLook::make(title, recovery, false, false))}});
    add(u"errorbar-dismiss"_s, u"ErrorBar"_s, Theme::panelWidth,
        {{u"look"_s, v(ErrorBarLook::make(title, recovery, false, true))}});

    add(u"keycap"_s, u"KeyCap"_s, 0, {{u"look"_s, v(KeyCapLook::make(u"esc"_s))}});
    add(u"keycap-filled"_s, u"KeyCap"_s, 0, {{u"look"_s, v(KeyCapLook::make(u"⏎"_s, true))}});

    // Drawn after this returns: the lists live as long as the gallery.
    static KeyHintsModel hints;
    hints.setHints({KeyHint({u"↑"_s, u"↓"_s}, u"kies"_s), KeyHint({u"⏎"_s}, u"voer uit"_s),
                    KeyHint({u"⌘"_s, u"K"_s}, u"bedienen"_s), KeyHint({u"esc"_s}, u"sluit"_s)});
    static KeyHintsModel noHints;
    add(u"keyhintbar"_s, u"KeyHintBar"_s, Theme::panelWidth,
        {{u"hints"_s, QVariant::fromValue<QObject *>(&hints)}, {u"trailing"_s, u"Ctrl+Alt+Space"_s}});
    add(u"keyhintbar-empty"_s, u"KeyHintBar"_s, Theme::panelWidth,
        {{u"hints"_s, QVariant::fromValue<QObject *>(&noHints)}, {u"trailing"_s, QString()}});

    add(u"sectionheader"_s, u"SectionHeader"_s, Theme::panelWidth,
        {{u"look"_s, v(SectionHeaderLook::make(u"Apparaten in Woonkamer"_s, u"7 apparaten"_s))}});
    add(u"sectionheader-plain"_s, u"SectionHeader"_s, Theme::panelWidth,
        {{u"look"_s, v(SectionHeaderLook::make(u"Kamers"_s))}});

    QVariantList modes;
    for (const QString &name : {u"Thuis"_s, u"Afwezig"_s, u"Slapen"_s, u"Vakantie"_s, u"Gasten"_s})
        modes << v(ModeChipLook::make(
            deviceHit(name, std::nullopt, u"house"_s, Hit::Accessory::toggle(name == u"Thuis")), false));
    const QString wrap = uR"(import QtQuick
import Quorvane.Ui
WrapLayout {
    id: flow
    required property var looks
    required property Motion motion
    Repeater {
        model: flow.looks
        ModeChip { required property var modelData; look: modelData; motion: flow.motion }
    }
})"_s;
    add(u"wraplayout"_s, wrap, 220, {{u"looks"_s, modes}});

    for (const auto &[name, model] : strips.strips())
        add(name, u"ControlStrip"_s, 480, {{u"rows"_s, v(model)}});
    return list;
}

// All pictures under each other with their names, for a person to look over at once.
QImage contactSheet(const QList<std::pair<QString, QImage>> &pictures)
{
    constexpr int caption = 16;
    int width = 0, height = 0;
    for (const auto &[name, image] : pictures) {
        width = std::max(width, image.width());
        height += caption + image.height();
    }
    QImage sheet(width, height, QImage::Format_ARGB32);
    sheet.fill(Theme::surfaceHi());
    QPainter painter(&sheet);
    painter.setFont(Theme::mono(10));
    painter.setPen(Theme::textDim());
    int y = 0;
    for (const auto &[name, image] : pictures) {
        painter.drawText(QRect(margin, y, width - margin, caption), Qt::AlignVCenter, name);
        painter.drawImage(0, y + caption, image);
        y += caption + image.height();
    }
    return sheet;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QUICK_BACKEND", "software");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"gallery"_s;
    if (!QDir().mkpath(folder)) {
        err << "cannot make " << folder << Qt::endl;
        return 2;
    }
    if (!SymbolCatalog::loadFont()) {
        err << "icon font missing" << Qt::endl;
        return 2;
    }
    Theme::useFamilies(u"DejaVu Sans"_s, u"DejaVu Sans Mono"_s);
    QGuiApplication::setFont(QFont(u"DejaVu Sans"_s));

    PanelVisibility visibility;
    visibility.set(true);
    MotionPreference preference(true, nullptr);
    Motion motion(&visibility, &preference);

    GalleryStrips strips;
    QQmlEngine engine;
    QQuickWindow window;
    window.setColor(Theme::surface());
    // Components that never animate take no motion object.
    const QStringList unanimated{u"ErrorBar"_s, u"KeyCap"_s, u"KeyHintBar"_s, u"SectionHeader"_s};
    int failures = 0;
    QList<std::pair<QString, QImage>> sheet;
    for (const Shot &shot : shots(strips)) {
        QQmlComponent component(&engine);
        const QString source = shot.component.contains(u'{')
                                   ? shot.component
                                   : u"import Quorvane.Ui\n"_s + shot.component + u" {}\n"_s;
        component.setData(source.toUtf8(),
                          QUrl::fromLocalFile(QDir(folder).absoluteFilePath(shot.name + u".qml"_s)));
        if (!component.isReady()) {
            err << shot.name << " status " << component.status() << Qt::endl;
            err << shot.name << ": " << component.errorString() << Qt::endl;
            ++failures;
            continue;
        }
        QVariantMap properties = shot.properties;
        if (!unanimated.contains(shot.component))
            properties.insert(u"motion"_s, QVariant::fromValue(&motion));
        std::unique_ptr<QObject> object(component.createWithInitialProperties(properties));
        auto *item = qobject_cast<QQuickItem *>(object.get());
        if (!item) {
            err << shot.name << ": " << component.errorString() << Qt::endl;
            ++failures;
            continue;
        }
        item->setParentItem(window.contentItem());
        item->setPosition(QPointF(margin, margin));
        if (shot.width > 0)
            item->setWidth(shot.width);
        window.show();
        // The first frame lays out (a wrap layout learns its height there); the second is the picture.
        window.grabWindow();
        window.resize(int(std::ceil(item->width())) + 2 * margin,
                      int(std::ceil(item->height())) + 2 * margin);
        const QImage image = window.grabWindow();
        sheet << std::pair(shot.name, image);
        if (!image.save(folder + u'/' + shot.name + u".png"_s)) {
            err << shot.name << ": cannot write the picture" << Qt::endl;
            ++failures;
        }
        item->setParentItem(nullptr);
    }
    if (!contactSheet(sheet).save(folder + u"/gallery.png"_s))
        ++failures;
    return failures == 0 ? 0 : 1;
}
