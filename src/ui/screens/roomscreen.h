#pragma once

#include "homey/model/roomscope.h"
#include "ui/screens/emptystatelook.h"
#include "ui/screens/roomdimmerlook.h"
#include "ui/screens/roomheaderlook.h"
#include "ui/screens/rowscreen.h"
#include "ui/screens/rowsmodel.h"

#include <optional>
#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QtQmlIntegration>

class HomeStore;
class HoverGate;
class LevelCoalescer;
class WhileShown;

// The zoomed-in room: a header that sums it up, the "Alle lampen" row with the room dimmer (in a room
// with lights), and the devices by section, sensors as plain lines the selection skips. Selection 0 is
// the "Alle lampen" row when there is one; device rows follow in section order.
class RoomScreen : public RowScreen {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY changed)
    Q_PROPERTY(RoomHeaderLook header READ header NOTIFY changed)
    Q_PROPERTY(bool hasDimmer READ hasDimmer NOTIFY changed)
    Q_PROPERTY(RoomDimmerLook dimmer READ dimmer NOTIFY changed)
    Q_PROPERTY(EmptyStateLook empty READ empty NOTIFY changed)

public:
    // coalescer: the palette's, which thins out the writes of dragged level bars; none sets each
    // position at once.
    RoomScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer = nullptr,
               QObject *parent = nullptr);

    void followBeat(const Motion *motion) override;

    // The lines of the room's sections: each heading with its count from two hits on, device rows with
    // their selection index, sensor lines. selectedAction: what Return does with the selected row
    // (RowActions::onReturn); none: its hit's own state names it.
    static QList<ListRow> lines(const RoomScope &room, int selection,
                                const std::optional<QString> &expandedDeviceID,
                                const std::optional<RunAction> &selectedAction = std::nullopt);
    // The selection index of the hit with this id; none for a sensor or an unknown id.
    static std::optional<int> selectionIndex(const RoomScope &room, const QString &hitID);
    // The hit id at a selection index; none for the "Alle lampen" row and beyond the rows.
    static std::optional<QString> scrollTarget(const RoomScope &room, int index);

    RowsModel *rows() { return &m_rows; }
    QAbstractItemModel *rowModel() override { return &m_rows; }
    bool isOpen() const { return m_room.has_value(); }
    RoomHeaderLook header() const { return m_header; }
    bool hasDimmer() const { return m_room && m_room->hasLights(); }
    RoomDimmerLook dimmer() const { return m_dimmer; }
    bool isEmpty() const override { return !m_room || m_room->isEmpty(); }
    EmptyStateLook empty() const { return m_empty; }

    // Pointer input of the rows takes the selection index: 0 is the "Alle lampen" row when the room has
    // lights.
    // The room dimmer dragged to level, or stepped up (1) or down (-1) by assistive technology.
    Q_INVOKABLE void scrubRoom(double level);
    Q_INVOKABLE void stepRoom(int dir);
    // The "alles aan" / "alles uit" button.
    Q_INVOKABLE void toggleAll();

private:
    void refresh();
    void selectionMoved();
    // The hit id of the selected row while the room is on show: the room's own for the dimmer row.
    std::optional<QString> selectedRowID() const;

    WhileShown *m_follow;
    RowsModel m_rows;
    std::optional<RoomScope> m_room;
    double m_dimLevel = -1;
    int m_selection = -1;
    QString m_query;
    RoomHeaderLook m_header;
    RoomDimmerLook m_dimmer;
    EmptyStateLook m_empty;
};
