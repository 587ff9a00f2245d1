#pragma once

#include "homey/model/device.h"
#include "ui/controls/controlrow.h"
#include "ui/controls/controlrowview.h"

#include <memory>
#include <optional>
#include <QAbstractListModel>
#include <QList>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

class CapabilityWriter;
class GuardGate;
class HomeStore;
class LevelCoalescer;

// The control rows of one open device, for the strip under its row. Follows the store's devices, the
// gate and the drags: a change that touches one row announces that row, and the list is only reset
// when the device is swapped. The view forwards taps and drags here; every write that lowers security
// goes through the gate, whatever row it comes from.
class ControlStripModel final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made for the open device by its list")
    Q_PROPERTY(QString deviceID READ deviceID CONSTANT)
    Q_PROPERTY(QString deviceName READ deviceName NOTIFY deviceChanged)
    Q_PROPERTY(bool available READ available NOTIFY deviceChanged)
    Q_PROPERTY(QString offlineNotice READ offlineNotice NOTIFY deviceChanged)
    Q_PROPERTY(QString offlineGlyph READ offlineGlyph CONSTANT)
    Q_PROPERTY(int focusedRow READ focusedRow WRITE setFocusedRow NOTIFY focusedRowChanged)

public:
    enum Role {
        // The row as the strip's QML draws it: texts, colours, bar and key caps.
        LookRole = Qt::UserRole + 1,
    };
    Q_ENUM(Role)

    // gate and coalescer belong to the palette and outlive the strip; without a coalescer every drag
    // position is written at once.
    ControlStripModel(HomeStore *store, const QString &deviceID, std::shared_ptr<CapabilityWriter> writer,
                      GuardGate *gate, LevelCoalescer *coalescer, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QString &deviceID() const { return m_deviceID; }
    QString deviceName() const;
    bool available() const;
    // The notice under the rows of a device that does not answer; empty otherwise.
    QString offlineNotice() const;
    QString offlineGlyph() const;
    int focusedRow() const { return m_focusedRow; }
    void setFocusedRow(int row);
    const QList<ControlRow> &rows() const { return m_rows; }

    // A tap on the row's switch or button; an alarm-mode row chooses the mode under its cursor.
    Q_INVOKABLE void activate(int row);
    // A bar dragged to a fraction; release is where the drag ended.
    Q_INVOKABLE void scrub(int row, double fraction);
    Q_INVOKABLE void release(int row, double fraction);
    // One step down (negative) or up (positive): the thermostat's buttons, a bar's accessibility step.
    Q_INVOKABLE void adjust(int row, int direction);
    // A tap on an alarm-mode chip.
    Q_INVOKABLE void chooseMode(int row, const QString &optionID);

Q_SIGNALS:
    void deviceChanged();
    void focusedRowChanged();

private:
    void refresh();
    QList<ControlRowView> buildViews(const QList<ControlRow> &rows) const;
    // Every write of the strip: a security-lowering one only through the gate.
    void send(const QString &capabilityID, const CapabilityValue &value);
    void drag(int row, double fraction, bool ended);
    const ControlRowView *enabledView(int row) const;

    QPointer<HomeStore> m_store;
    const QString m_deviceID;
    const std::shared_ptr<CapabilityWriter> m_writer;
    QPointer<GuardGate> m_gate;
    QPointer<LevelCoalescer> m_coalescer;
    std::optional<Device> m_device;
    QList<ControlRow> m_rows;
    QList<ControlRowView> m_views;
    int m_focusedRow = -1;
};
