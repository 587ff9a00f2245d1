#pragma once

#include "ui/keyhint.h"
#include "ui/screens/keyedlistmodel.h"

#include <QList>
#include <QVariant>

// The key hints the palette's foot draws, as a list that changes row by row. A hint is known by its
// keys: a new unread count rewrites the text of the Ctrl+N hint alone, and the bar keeps every other
// hint and every key cap it has drawn.
class KeyHintsModel : public KeyedListModel {
    Q_OBJECT

public:
    enum Role { CapsRole = Qt::UserRole + 1, WhatRole };

    using KeyedListModel::KeyedListModel;

    void setHints(const QList<KeyHint> &hints);
    const QList<KeyHint> &hints() const { return m_hints; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row {
        QString key;
        KeyHint hint;
        QVariant caps; // made once per row: the bar reads them again at every change of the row
        bool operator==(const Row &other) const { return hint == other.hint; }
    };

    QList<Row> m_rows;
    QList<KeyHint> m_hints;
};
