#include "ui/screens/restlook.h"

#include "base/text/counted.h"
#include "ui/keytext.h"
#include "ui/screens/chipsmodel.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The keys of the scene chips, "⌘1 – ⌘n", for the number of chips shown.
QString sceneKeys(qsizetype scenes)
{
    static const QList<QString> keys = [] {
        QList<QString> list(ChipsModel::maxScenes + 1);
        for (qsizetype count = 2; count <= ChipsModel::maxScenes; ++count)
            list[count] = KeyText::display(u"\u23181"_s) + u" \u2013 "_s +
                          KeyText::display(u"\u2318"_s + QString::number(count));
        return list;
    }();
    return scenes >= 0 && scenes < keys.size() ? keys.at(scenes) : QString();
}

} // namespace

bool RestLook::isLoading(const RestState &rest, const ConnectionState &connection)
{
    using Kind = ConnectionState::Kind;
    const Kind kind = connection.kind();
    return rest.rooms.isEmpty() && (kind == Kind::loading || kind == Kind::idle || kind == Kind::connecting);
}

RestLook RestLook::make(const RestState &rest, const ConnectionState &connection, bool moreRoomsShown,
                        bool moreRoomsFocused)
{
    RestLook look;
    const qsizetype scenes = std::min<qsizetype>(rest.scenes.size(), ChipsModel::maxScenes);
    look.showsScenes = scenes > 0;
    look.scenesHeader = SectionHeaderLook::make(u"Scenes"_s, sceneKeys(scenes));

    look.loading = isLoading(rest, connection);
    QString trailing;
    if (!look.loading)
        trailing = rest.lightsOnTotal <= 0
                       ? u"alles uit"_s
                       : Counted::text(rest.lightsOnTotal, u"lamp"_s, u"lampen"_s) + u" aan"_s;
    look.roomsHeader = SectionHeaderLook::make(u"Kamers"_s, trailing);
    // Made once: the overview refreshes at every realtime change it shows, and these never change.
    static const QVariantList delays = [] {
        QVariantList list;
        for (int i = 0; i < skeletonTiles; ++i)
            list.append(i * 0.06);
        return list;
    }();
    static const SkeletonTileLook skeleton = SkeletonTileLook::make();
    look.skeletonDelays = delays;
    look.skeleton = skeleton;
    look.skeletonAccessibleName = u"Kamers worden geladen"_s;

    const bool anyRoomShown = !rest.rooms.isEmpty() || (moreRoomsShown && !rest.moreRooms.isEmpty());
    look.showsEmptyRooms = !look.loading && !anyRoomShown;
    look.showsRoomGrid = !look.loading && anyRoomShown;
    look.emptyTitle = u"Nog geen kamers gevonden."_s;
    static const QString emptyText = u"Zodra de Homey zijn zones doorgeeft staan ze hier. "_s +
                                     KeyText::display(u"\u2318R"_s) + u" haalt alles opnieuw op."_s;
    look.emptyText = emptyText;

    look.showsMoreRooms = !rest.moreRooms.isEmpty() && !look.loading;
    const QString extra = Counted::text(rest.moreRooms.size(), u"kamer"_s, u"kamers"_s);
    look.moreRoomsText = moreRoomsShown ? u"Minder kamers"_s : u"+ "_s + extra;
    look.moreRoomsTextColor = moreRoomsFocused ? Theme::litSoft() : Theme::textDim();
    look.moreRoomsPlate = moreRoomsFocused ? Theme::selection() : Theme::white(0);
    look.moreRoomsAccessibleName = moreRoomsShown ? u"Toon minder kamers"_s : u"Toon "_s + extra + u" meer"_s;
    static const QString chevron = SymbolCatalog::glyph(u"chevron.down"_s);
    look.chevron = chevron;
    look.chevronRotation = moreRoomsShown ? 180 : 0;

    look.showsModes = !rest.modes.isEmpty();
    look.modesTitle = u"HUIS"_s;
    return look;
}

bool RestLook::operator==(const RestLook &other) const
{
    const auto sameHeader = [](const SectionHeaderLook &a, const SectionHeaderLook &b) {
        return a.title == b.title && a.trailing == b.trailing;
    };
    return showsScenes == other.showsScenes && sameHeader(scenesHeader, other.scenesHeader) &&
           sameHeader(roomsHeader, other.roomsHeader) && loading == other.loading &&
           skeletonDelays == other.skeletonDelays && skeletonAccessibleName == other.skeletonAccessibleName &&
           showsEmptyRooms == other.showsEmptyRooms && emptyTitle == other.emptyTitle &&
           emptyText == other.emptyText && showsRoomGrid == other.showsRoomGrid &&
           showsMoreRooms == other.showsMoreRooms && moreRoomsText == other.moreRoomsText &&
           moreRoomsTextColor == other.moreRoomsTextColor && moreRoomsPlate == other.moreRoomsPlate &&
           moreRoomsAccessibleName == other.moreRoomsAccessibleName && chevron == other.chevron &&
           chevronRotation == other.chevronRotation && showsModes == other.showsModes &&
           modesTitle == other.modesTitle;
}
