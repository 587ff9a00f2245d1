#include "ui/screens/rowsmodel.h"

using namespace Qt::StringLiterals;

ListRow ListRow::heading(const QString &key, const QString &title, const QString &trailing)
{
    ListRow row;
    row.kind = Kind::Header;
    row.key = key;
    row.header = SectionHeaderLook::make(title, trailing);
    return row;
}

ListRow ListRow::hitRow(const ResultRowLook &look)
{
    ListRow row;
    row.kind = Kind::Row;
    row.key = look.hit.id;
    row.row = look;
    return row;
}

ListRow ListRow::sensorRow(const Hit &hit)
{
    ListRow row;
    row.kind = Kind::Sensor;
    row.key = hit.id;
    row.sensor = SensorRowLook::make(hit);
    return row;
}

QString ListRow::deviceID() const
{
    return kind == Kind::Row ? row.hit.deviceID().value_or(QString()) : QString();
}

bool ListRow::operator==(const ListRow &other) const
{
    if (kind != other.kind || key != other.key)
        return false;
    switch (kind) {
    case Kind::Header:
        return header.title == other.header.title && header.trailing == other.header.trailing;
    case Kind::Row:
        return row == other.row;
    case Kind::Sensor:
        return sensor.hit == other.sensor.hit;
    }
    return true;
}

void RowsModel::setRows(QList<ListRow> rows)
{
    sync(m_rows, std::move(rows), [](const ListRow &row) { return row.key; });
}

int RowsModel::rowOf(const QString &key) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).key == key)
            return int(i);
    }
    return -1;
}

int RowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RowsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ListRow &row = m_rows.at(index.row());
    switch (role) {
    case KindRole:
        return int(row.kind);
    case KeyRole:
        return row.key;
    case HeaderRole:
        return QVariant::fromValue(row.header);
    case LookRole:
        return QVariant::fromValue(row.row);
    case SensorRole:
        return QVariant::fromValue(row.sensor);
    case DeviceIDRole:
        return row.deviceID();
    case ExpandedRole:
        return row.kind == ListRow::Kind::Row && row.row.expanded;
    default:
        return {};
    }
}

QHash<int, QByteArray> RowsModel::roleNames() const
{
    return {{KindRole, "kind"},     {KeyRole, "key"},           {HeaderRole, "header"},    {LookRole, "look"},
            {SensorRole, "sensor"}, {DeviceIDRole, "deviceId"}, {ExpandedRole, "expanded"}};
}
