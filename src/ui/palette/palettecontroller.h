#pragma once

#include "base/async/clock.h"
#include "homey/model/device.h"
#include "homey/model/hit.h"
#include "store/home/runaction.h"
#include "ui/controls/controlstripmodel.h"
#include "ui/errorbarlook.h"
#include "ui/keyhint.h"
#include "ui/keyhintsmodel.h"
#include "ui/palette/keypress.h"
#include "ui/palette/notificationsscreen.h"
#include "ui/palette/searchrowlook.h"
#include "ui/screens/restscreen.h"
#include "ui/screens/resultsscreen.h"
#include "ui/screens/roomscreen.h"
#include "ui/statusbarlook.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class CapabilityWriter;
class ControlRow;
class GuardGate;
class HomeStore;
class HoverGate;
class LevelCoalescer;
class Motion;
class WhileShown;

// The command palette: the search row, the status bar, the problem banner, one content screen by the
// store's mode (overview, results, room or notifications), the open device's control strip and the
// key hints. Every key the panel's window receives comes to handleKey first; what it does not consume
// goes on to the search field. It reads the home store and changes it only through the store's commands
// and the capability writer.
//
// palettecontroller.cpp: state, looks and change reactions; palettecontroller_keys.cpp: the key map and the
// actions behind it; palettecontroller_hints.cpp: the key hints of each state.
class PaletteController : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(Content content READ content NOTIFY contentChanged)
    Q_PROPERTY(RestScreen *rest READ rest CONSTANT)
    Q_PROPERTY(ResultsScreen *results READ results CONSTANT)
    Q_PROPERTY(RoomScreen *room READ room CONSTANT)
    Q_PROPERTY(NotificationsScreen *notifications READ notifications CONSTANT)
    Q_PROPERTY(ControlStripModel *strip READ strip NOTIFY stripChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(SearchRowLook search READ search NOTIFY searchChanged)
    // The bell on its own: its count moves with every notification, which would otherwise make every
    // binding on the search row read it again.
    Q_PROPERTY(NotificationBellLook bell READ bell NOTIFY bellChanged)
    Q_PROPERTY(StatusBarLook statusBar READ statusBar NOTIFY statusBarChanged)
    Q_PROPERTY(bool hasProblem READ hasProblem NOTIFY problemChanged)
    Q_PROPERTY(ErrorBarLook problem READ problem NOTIFY problemChanged)
    // The hint bar's keys, row by row: a new unread count changes one hint's text, not the bar.
    Q_PROPERTY(KeyHintsModel *hintModel READ hintModel CONSTANT)
    Q_PROPERTY(QString hintTrailing READ hintTrailing CONSTANT)

public:
    enum class Content { Rest, Results, Room, Notifications };
    Q_ENUM(Content)

    // The least time between two showings of the unread count while the hub's notifications pour in.
    static constexpr std::chrono::milliseconds unreadPace{250};

    struct Actions {
        // Hides the panel.
        std::function<void()> onDismiss;
        // Connects to the hub again (the problem banner's retry).
        std::function<void()> onReconnect;
        std::function<void()> onOpenSettings;
        // Opens the desktop's notification settings, or asks again whether banners can be shown.
        std::function<void()> onRequestPermission;
        // Takes down the banners of ours still on screen (the list's Ctrl+Backspace).
        std::function<void()> onClearBanners;
        // Ends the program (Ctrl+Q).
        std::function<void()> onQuit;
    };

    // writer: nullptr uses the store-backed writer. hoverGate: the panel's, shared with its controller;
    // nullptr lets every hover select. clock: the confirmation window's and the dragged bars'.
    PaletteController(HomeStore *store, std::shared_ptr<CapabilityWriter> writer, const QString &hotKeyLabel,
                      HoverGate *hoverGate, Actions actions, QObject *parent = nullptr,
                      std::shared_ptr<Clock> clock = Clock::system());
    ~PaletteController() override;

    // --- What QML draws -------------------------------------------------------------------------------
    Content content() const { return m_content; }
    RestScreen *rest() const { return m_rest.get(); }
    ResultsScreen *results() const { return m_results.get(); }
    RoomScreen *room() const { return m_room.get(); }
    NotificationsScreen *notifications() const { return m_notifications.get(); }
    ControlStripModel *strip() const { return m_strip.get(); }
    GuardGate *gate() const { return m_gate; }
    QString query() const;
    void setQuery(const QString &query);
    const SearchRowLook &search() const { return m_search; }
    const NotificationBellLook &bell() const { return m_search.bell; }
    const StatusBarLook &statusBar() const { return m_statusBar; }
    bool hasProblem() const { return m_hasProblem; }
    const ErrorBarLook &problem() const { return m_problem; }
    const KeyHintBarLook &hints() const { return m_hints; }
    KeyHintsModel *hintModel() { return &m_hintModel; }
    const QString &hintTrailing() const { return m_hints.trailing; }

    void setHotKeyLabel(const QString &label);
    // The beat the panel breathes to: the hub's changes (a lamp, a reading, a notification) show with it
    // on every screen of the palette.
    void followBeat(const Motion *motion);
    void setBannerPermission(NotificationsScreen::Permission permission);
    // The row of the open device's control strip that has the keyboard.
    int controlFocus() const { return m_controlFocus; }

    // --- Keys (palettecontroller_keys.cpp) ------------------------------------------------------------
    // True when the key was used and must not reach the search field.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool autoRepeat);

    // --- Pointer and buttons --------------------------------------------------------------------------
    Q_INVOKABLE void removeChip();
    Q_INVOKABLE void clearQuery();
    Q_INVOKABLE void openNotifications();
    Q_INVOKABLE void dismissProblem();
    Q_INVOKABLE void retry();

Q_SIGNALS:
    void contentChanged();
    void stripChanged();
    void queryChanged();
    void searchChanged();
    void bellChanged();
    void statusBarChanged();
    void problemChanged();
    // The search field should take the keyboard.
    void searchFocusRequested();

private:
    // --- palettecontroller.cpp
    void queryDidChange();
    void detailDidChange();
    void setControlFocus(int focus);
    void refresh();
    void refreshStatusBar();
    void refreshProblem();
    void dismiss();
    void focusSearch();
    // The store is searching or zoomed into a room: the lists with rows and control strips show.
    bool showsRows() const;
    // The selected row's device as the store holds it, read in place rather than copied at every
    // refresh of the hints; only until the store next changes.
    const Device *selectedDevice() const;
    std::optional<Device> detailDevice() const;
    bool detailOpen() const;
    bool onRoomRow() const;
    QList<ControlRow> detailRows() const;
    // Whether Tab opens anything for the device: one with no control rows has nothing to show.
    bool opensControls(const Device *device) const;
    // Whether Return runs the selected row of the results or the room view, as its Return key shows.
    bool returnRunsSelectedRow() const;
    int firstFocusableControl() const;

    // --- palettecontroller_keys.cpp
    // What a plain Space does as the palette stands: the key map carries it out, and the hint bar offers
    // Space only where it changes something.
    enum class SpaceAct {
        Typed,     // a space for the query
        Nothing,   // taken from the field, changes nothing
        FirstTile, // the overview had no focus yet: its first tile gets it
        Control,   // presses the focused row of the open controls
        Selection, // toggles the room view's selected row
        Scene,     // runs the focused scene
        RoomTile,  // switches the focused room's lamps
        Mode,      // runs the focused mode
    };
    SpaceAct spaceAct() const;
    // What Ctrl+Left/Right does as the palette stands; the hint bar offers them only where they dim.
    enum class DimAct {
        Nothing,
        Control,  // steps the focused row of the open controls
        Lamp,     // nudges the selected row's lamp
        LitLamps, // nudges the lamps of the focused room tile that are on and dimmable
        Room,     // nudges the open room's dimmer
    };
    DimAct dimAct() const;
    // The lamps that Ctrl+Left/Right nudges from a room tile of the overview.
    static bool isLitDimmable(const Device &device);
    // The zone of the overview's focused room tile; none on any other tile.
    std::optional<QString> focusedTileZone() const;
    // What Escape does as the palette stands; the hint bar names it.
    enum class EscapeAct {
        Disarm,        // forgets the write waiting for its confirmation
        CloseControls, // closes the open device's controls
        ClearSearch,   // empties the search: back to the overview
        ClearFilter,   // empties the filter of the room or the notification list
        LeaveRoom,
        LeaveList,
        Hide, // hides the panel
    };
    EscapeAct escapeAct() const;
    // What the store does with the overview's mode chip at this index: Return and Space run it.
    RunAction modeAction(int index) const;
    // The write that Return or Space sends for the focused row of the open controls; none where that
    // row has nothing to press.
    struct ControlPress {
        QString capability;
        CapabilityValue value;
    };
    std::optional<ControlPress> focusedPress() const;
    bool handlePaletteKey(const KeyPress &press);
    bool handleNotificationsKey(const KeyPress &press);
    bool handleDigit(const KeyPress &press);
    bool openSettings(const KeyPress &press);
    void escape();
    void activatePrimary(bool keepOpen);
    void toggleFocused(SpaceAct act);
    void toggleDetail();
    void moveControlFocus(int delta);
    void adjustFocusedControl(int dir, bool coarse);
    void dim(int dir, bool coarse);
    void fireFocusedControl();
    void enterRoom(int index);
    void activateMode(int index);
    void leaveRoom();
    static QCoro::Task<> runSelected(QPointer<PaletteController> self, bool keepOpen);
    static QCoro::Task<> runScene(QPointer<PaletteController> self, int index, bool keepOpen);

    // --- palettecontroller_hints.cpp
    // The word beside Space for what act does there; empty where it changes nothing.
    QString spaceWord(SpaceAct act) const;
    static QString escapeWord(EscapeAct act);
    QList<KeyHint> currentHints() const;
    QList<KeyHint> notificationsHints() const;
    QList<KeyHint> detailHints() const;
    QList<KeyHint> roomHints() const;
    QList<KeyHint> resultsHints() const;
    QList<KeyHint> restHints() const;

    QPointer<HomeStore> m_store;
    // What only draws: the looks, the hints, the status bar and the problem banner.
    WhileShown *m_follow;
    WhileShown *m_followStatusBar;
    WhileShown *m_followProblem;
    WhileShown *m_followUnread;
    std::shared_ptr<CapabilityWriter> m_writer;
    QPointer<HoverGate> m_hoverGate;
    Actions m_actions;
    GuardGate *m_gate;
    LevelCoalescer *m_coalescer;
    std::unique_ptr<RestScreen> m_rest;
    std::unique_ptr<ResultsScreen> m_results;
    std::unique_ptr<RoomScreen> m_room;
    std::unique_ptr<NotificationsScreen> m_notifications;
    std::unique_ptr<ControlStripModel> m_strip;
    QString m_hotKeyLabel;
    int m_controlFocus = 0;
    bool m_errorDismissed = false;
    Content m_content = Content::Rest;
    SearchRowLook m_search;
    std::optional<SearchRowLook::State> m_searchState; // what m_search was last made from
    StatusBarLook m_statusBar;
    bool m_hasProblem = false;
    ErrorBarLook m_problem;
    KeyHintBarLook m_hints;
    KeyHintsModel m_hintModel;
};
