#pragma once

#include <optional>
#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class HomeStore;
class HoverGate;
class LevelCoalescer;
class Motion;

// What the three lists of rows (the results, the room view and the notifications) share: their rows,
// whether there are any, what a row's pointer input does, and the list's scroll and dismiss requests.
class RowScreen : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("the base of the lists of rows")
    Q_PROPERTY(QAbstractItemModel *rows READ rowModel CONSTANT)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY changed)

public:
    // coalescer: the palette's, which thins out the writes of dragged level bars; none sets each
    // position at once.
    RowScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer, QObject *parent);

    virtual QAbstractItemModel *rowModel() = 0;
    virtual bool isEmpty() const = 0;
    // While the panel breathes, the hub's changes to the rows wait for its next beat (see WhileShown).
    virtual void followBeat(const Motion *motion) = 0;

    // Pointer input of a row (index: its selection index).
    Q_INVOKABLE void hover(int index);
    // A click: selects the row and runs what it stands for; a flow or a mood asks for the panel to hide.
    Q_INVOKABLE virtual void activate(int index);
    // The list's visible part changed its size: the selected row may have left it.
    Q_INVOKABLE void viewResized();
    // A drag on a device row's level bar.
    Q_INVOKABLE void scrub(const QString &deviceID, double level);
    // The drag on that bar ended at level.
    Q_INVOKABLE void release(const QString &deviceID, double level);

Q_SIGNALS:
    void changed();
    // The list should bring this model row to its centre: the selection moved by keyboard.
    void scrollRequested(int row);
    // The list should bring this model row wholly into view, moving as little as it can: the rows were
    // ranked or refreshed again, and the selection went along with its row to another place.
    void revealRequested(int row);
    // A click ran a flow or a mood: the panel may hide.
    void dismissRequested();

protected:
    // True when the last selection change came from the keyboard, so the list may scroll to it.
    bool keyboardMoved();
    // A change of the selection, now on the row of this hit id (none: on no row). True when that is the
    // row selected before: the selection went along with its row, which the next refresh reveals.
    bool stayedOnRow(const std::optional<QString> &hitID);
    // A refresh of the rows, the selected one (of this hit id) at line: reveals it when it is due.
    void rowsRefreshed(const std::optional<QString> &hitID, int line);

    QPointer<HomeStore> m_store;
    QPointer<HoverGate> m_gate;
    QPointer<LevelCoalescer> m_coalescer;

private:
    std::optional<QString> m_selectedID;
    int m_selectedLine = -1; // where the selected row was at the last refresh; -1: in no line
    bool m_revealPending = false;
};
