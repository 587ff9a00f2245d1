#pragma once

#include "../controls/controldevices.h"
#include "awaittask.h"
#include "fakerealtime.h"
#include "fakerestclient.h"
#include "manualclock.h"
#include "store/home/homestore.h"
#include "store/search/dutchhome.h"
#include "ui/controls/guardgate.h"
#include "ui/hovergate.h"
#include "ui/palette/palettecontroller.h"
#include "ui/screens/restscreen.h"

#include <QCoreApplication>
#include <QMap>

using namespace Qt::StringLiterals;

// The palette over a loaded Dutch home on a clock the test moves, with the front door's lock, an alarm
// with three modes and a few notifications; it counts what the palette asks of the app shell.
struct PaletteRig {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<FakeRestClient> rest = std::make_shared<FakeRestClient>(clock);
    std::shared_ptr<FakeRealtime> realtime; // the hub's live link, where the test asks for one
    std::unique_ptr<HomeStore> store;
    HoverGate hoverGate;
    std::unique_ptr<PaletteController> palette;
    int dismissed = 0;
    int settings = 0;
    int reconnects = 0;
    int permissionRequests = 0;
    int bannerClears = 0;
    int focusRequests = 0;
    int quits = 0;

    // extra: more devices for the home; live: the store hears the hub's realtime events.
    explicit PaletteRig(const QList<Device> &extra = {}, bool live = false)
    {
        DutchHome::Home home = DutchHome::home();
        for (const Device &device : extra)
            DutchHome::put(home.devices, device);
        Device alarm = ControlDevices::alarm();
        alarm.name = u"Alarm"_s;
        alarm.zoneID = u"hal"_s;
        DutchHome::put(home.devices, alarm);
        // The front door's lock with its unlatch button.
        Device lock = ControlDevices::lock();
        lock.name = u"Voordeur"_s;
        lock.zoneID = u"hal"_s;
        DutchHome::put(home.devices, lock);
        rest->home.zones = home.zones.values();
        rest->home.devices = home.devices.values();
        rest->home.flows = home.flows.values();
        rest->home.moods = home.moods.values();
        rest->home.favorites = home.favorites;
        SettingsStore defaults(u"palette"_s);
        defaults.remove(HomeStore::recentKey);
        defaults.remove(u"notify.shownIDs"_s);
        if (live) {
            realtime = std::make_shared<FakeRealtime>();
            realtime->clock = clock;
        }
        store = std::make_unique<HomeStore>(rest, realtime, nullptr, defaults, HomeStore::Options{clock});
        awaitTask(store->start());
        store->panelDidAppear();
        store->notifications()->setItems({notification(u"n1"_s, u"Deurbel"_s, false),
                                          notification(u"n2"_s, u"Wasmachine klaar"_s, false),
                                          notification(u"n3"_s, u"Regen verwacht"_s, true)});
        store->notifications()->setUnread(2);

        PaletteController::Actions actions;
        actions.onDismiss = [this] { ++dismissed; };
        actions.onOpenSettings = [this] { ++settings; };
        actions.onReconnect = [this] { ++reconnects; };
        actions.onRequestPermission = [this] { ++permissionRequests; };
        actions.onClearBanners = [this] { ++bannerClears; };
        actions.onQuit = [this] { ++quits; };
        palette = std::make_unique<PaletteController>(store.get(), nullptr, u"Ctrl+Alt+Space"_s, &hoverGate,
                                                      std::move(actions), nullptr, clock);
        QObject::connect(palette.get(), &PaletteController::searchFocusRequested,
                         [this] { ++focusRequests; });
        settle();
    }
    ~PaletteRig()
    {
        palette.reset();
        store.reset();
    }

    static HomeyNotification notification(const QString &id, const QString &title, bool read)
    {
        HomeyNotification item;
        item.id = id;
        item.source = HomeyNotification::Source::flow;
        item.date = QDateTime(QDate(2024, 5, 6), QTime(9, 30));
        item.title = title;
        item.body = title + QStringLiteral(" meldt zich");
        item.symbol = QStringLiteral("bell");
        item.isRead = read;
        return item;
    }

    // Lets queued reactions and zero-latency hub answers finish.
    void settle() { clock->advance(std::chrono::milliseconds(0)); }

    bool key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        const bool consumed = palette->handleKey(key, modifiers, QString(), autoRepeat);
        settle();
        return consumed;
    }
    void type(const QString &text)
    {
        palette->setQuery(text);
        settle();
    }
    void enterRoom(const QString &zoneID)
    {
        store->enterScope(zoneID);
        settle();
    }
    void open(const QString &query)
    {
        type(query);
        key(Qt::Key_Tab);
    }
    // One of the states the tests put the palette in.
    void prepare(const QString &state)
    {
        if (state == u"overview scene")
            palette->rest()->setFocus(TileFocus::scene(0));
        else if (state == u"overview mode")
            palette->rest()->setFocus(TileFocus::mode(0));
        else if (state == u"overview dark room") {
            const int kitchen = roomIndex(u"keuken"_s);
            if (kitchen < 0)
                qFatal("the overview shows no kitchen");
            palette->rest()->setFocus(TileFocus::room(kitchen));
        } else if (state == u"overview lampless room") {
            const int hall = roomIndex(u"hal"_s);
            if (hall < 0)
                qFatal("the overview shows no hall");
            palette->rest()->setFocus(TileFocus::room(hall));
        } else if (state == u"overview one unread")
            store->notifications()->setUnread(1);
        else if (state == u"overview all read")
            store->notifications()->setUnread(0);
        else if (state == u"results")
            type(u"plafondlamp"_s);
        else if (state == u"results none")
            type(u"zzqx"_s);
        else if (state == u"results lock")
            type(u"voordeur"_s);
        else if (state == u"results flow")
            type(u"goedemorgen"_s);
        else if (state == u"results dim")
            type(u"plafondlamp dim"_s);
        else if (state == u"results lampless room")
            type(u"hal"_s); // a lock, an alarm and a button
        else if (state == u"results lampless room on")
            type(u"hal aan"_s);
        else if (state == u"results room")
            type(u"woonkamer"_s);
        else if (state == u"room")
            enterRoom(u"woonkamer"_s);
        else if (state == u"room device") {
            enterRoom(u"woonkamer"_s);
            store->setSelection(1);
        } else if (state == u"room lock") {
            enterRoom(u"hal"_s);
            selectDevice(u"voordeur"_s);
        } else if (state == u"room button") {
            enterRoom(u"hal"_s);
            selectDevice(u"goedemorgenknop"_s);
        } else if (state == u"room none") {
            enterRoom(u"hal"_s); // no lamps, so no row for them either
            type(u"zzqx"_s);
        } else if (state == u"room filtered") {
            enterRoom(u"woonkamer"_s);
            type(u"lamp"_s);
        } else if (state == u"strip")
            open(u"plafondlamp"_s);
        else if (state == u"strip level") {
            open(u"plafondlamp"_s);
            key(Qt::Key_Down);
        } else if (state == u"strip lock")
            open(u"voordeur"_s);
        else if (state == u"armed") {
            open(u"voordeur"_s);
            key(Qt::Key_Return);
        } else if (state == u"alarm")
            open(u"alarm"_s);
        else if (state == u"notifications")
            store->enterNotifications();
        else if (state == u"notifications filtered") {
            store->enterNotifications();
            type(u"was"_s);
        } else if (state != u"overview")
            qFatal("unknown state");
        settle();
        const std::optional<Hit> hit = store->selectedHit();
        if (state.startsWith(u"results lampless room"_s) &&
            (!hit || hit->target.kind() != Hit::Target::Kind::room))
            qFatal("the hall is not the first hit");
    }
    // Selects the device's row in the room view.
    void selectDevice(const QString &deviceID)
    {
        const QList<Hit> rows = store->roomHits();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows.at(i).deviceID() == deviceID) {
                store->setSelection(store->roomRowOffset() + int(i));
                return;
            }
        }
        qFatal("the room has no row for that device");
    }
    // Where the overview shows a room; -1 when it does not.
    int roomIndex(const QString &zoneID) const
    {
        const QList<Room> rooms = palette->rest()->visibleRooms();
        for (qsizetype i = 0; i < rooms.size(); ++i) {
            if (rooms.at(i).id == zoneID)
                return int(i);
        }
        return -1;
    }
    // The hub's writes as "device capability value", in order.
    QStringList writes() const
    {
        QStringList lines;
        for (const FakeRestClient::Write &write : rest->writes) {
            const QJsonValue json = write.value.toJson();
            lines << write.deviceID + u' ' + write.capabilityID + u' ' +
                         (json.isBool()     ? QString::fromLatin1(json.toBool() ? "true" : "false")
                          : json.isString() ? json.toString()
                                            : QString::number(json.toDouble()));
        }
        return lines;
    }
    // Whether the selected row of the results or the room view shows its Return key.
    bool rowShowsReturn() const
    {
        const RowsModel *rows = store->isScoped() ? palette->room()->rows() : palette->results()->rows();
        for (const ListRow &line : rows->rows()) {
            if (line.kind == ListRow::Kind::Row && line.row.selected)
                return line.row.showsReturn;
        }
        return false;
    }
    QStringList hintTexts() const
    {
        QStringList texts;
        for (const KeyHint &hint : palette->hints().hints)
            texts << hint.keys.join(QString()) + u' ' + hint.what;
        return texts;
    }
};
