#include "ui/palette/notificationsmodel.h"

void NotificationsModel::setRows(QList<Row> rows)
{
    sync(m_rows, std::move(rows), [](const Row &row) { return row.key; });
}

int NotificationsModel::rowOf(const QString &key) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows.at(i).key == key)
            return int(i);
    }
    return -1;
}

int NotificationsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant NotificationsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case KeyRole:
        return row.key;
    case Qt::DisplayRole:
        return row.look.title;
    case LookRole:
        return QVariant::fromValue(row.look);
    default:
        return {};
    }
}

QHash<int, QByteArray> NotificationsModel::roleNames() const
{
    return {{KeyRole, "key"}, {LookRole, "look"}};
}
