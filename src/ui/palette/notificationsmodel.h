#pragma once

#include "ui/palette/notificationrowlook.h"
#include "ui/screens/keyedlistmodel.h"

#include <QList>
#include <QString>

// The rows of the notifications list, keyed by the item's id.
class NotificationsModel : public KeyedListModel {
    Q_OBJECT

public:
    enum Role { KeyRole = Qt::UserRole + 1, LookRole };

    struct Row {
        QString key;
        NotificationRowLook look;
        bool operator==(const Row &) const = default;
    };

    using KeyedListModel::KeyedListModel;

    void setRows(QList<Row> rows);
    const QList<Row> &rows() const { return m_rows; }
    int rowOf(const QString &key) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<Row> m_rows;
};
