#pragma once

#include "homey/model/hit.h"
#include "ui/resultrowlook.h"

#include <QAbstractListModel>
#include <QList>

// The rows of the stand-in panel, one ResultRowLook each under the role "look". A change that keeps
// the rows' ids in place redraws only the rows that changed; anything else resets the list.
class PlaceholderRows : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role { LookRole = Qt::UserRole + 1 };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // selected: the row drawn as selected, -1 for none.
    void setRows(const QList<Hit> &hits, int selected);
    const QList<ResultRowLook> &looks() const { return m_looks; }

private:
    QList<ResultRowLook> m_looks;
};
