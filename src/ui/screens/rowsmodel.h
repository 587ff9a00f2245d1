#pragma once

#include "ui/resultrowlook.h"
#include "ui/screens/keyedlistmodel.h"
#include "ui/screens/sensorrowlook.h"
#include "ui/sectionheaderlook.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// One line of the results list or the room view: a section heading, a selectable hit row or a sensor line.
struct ListRow {
    Q_GADGET

public:
    enum class Kind { Header, Row, Sensor };
    Q_ENUM(Kind)

    static ListRow heading(const QString &key, const QString &title, const QString &trailing = {});
    static ListRow hitRow(const ResultRowLook &look);
    static ListRow sensorRow(const Hit &hit);

    // The hit's device, for a row that stands for one.
    QString deviceID() const;

    Kind kind = Kind::Row;
    QString key; // hit id, or a heading's own key
    SectionHeaderLook header;
    ResultRowLook row;
    SensorRowLook sensor;

    bool operator==(const ListRow &other) const;
};

// The kinds of line by name in QML: ListRow.Header, ListRow.Row, ListRow.Sensor.
namespace ListRowForeign {
Q_NAMESPACE
QML_NAMED_ELEMENT(ListRow)
QML_FOREIGN_NAMESPACE(ListRow)
} // namespace ListRowForeign

// The lines of the results list or of the room view, keyed by hit id.
class RowsModel : public KeyedListModel {
    Q_OBJECT

public:
    enum Role {
        KindRole = Qt::UserRole + 1,
        KeyRole,
        HeaderRole,
        LookRole,
        SensorRole,
        DeviceIDRole,
        ExpandedRole,
    };

    using KeyedListModel::KeyedListModel;

    void setRows(QList<ListRow> rows);
    const QList<ListRow> &rows() const { return m_rows; }
    // The model row of a key, or -1.
    int rowOf(const QString &key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<ListRow> m_rows;
};
