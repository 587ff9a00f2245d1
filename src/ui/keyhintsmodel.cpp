#include "ui/keyhintsmodel.h"

#include <QSet>

using namespace Qt::StringLiterals;

void KeyHintsModel::setHints(const QList<KeyHint> &hints)
{
    if (hints == m_hints)
        return;
    // The usual change: the same keys in the same places, a text changed (the unread count). Only that
    // text is said to change, so the bar keeps the hint's key caps as they are.
    const bool sameKeys =
        hints.size() == m_rows.size() &&
        std::equal(hints.begin(), hints.end(), m_rows.begin(),
                   [](const KeyHint &hint, const Row &row) { return hint.keys == row.hint.keys; });
    if (sameKeys) {
        for (qsizetype i = 0; i < hints.size(); ++i) {
            if (hints.at(i).what == m_rows.at(i).hint.what)
                continue;
            m_rows[i].hint = hints.at(i);
            Q_EMIT dataChanged(index(int(i)), index(int(i)), {WhatRole});
        }
        m_hints = hints;
        return;
    }
    QList<Row> next;
    next.reserve(hints.size());
    QSet<QString> keys;
    for (const KeyHint &hint : hints) {
        // Keys do one thing at a time; should two hints share them, the text tells them apart.
        QString key = hint.keys.join(u'\x1f');
        if (keys.contains(key))
            key += u'\x1e' + hint.what;
        keys.insert(key);
        next.append(Row{key, hint, QVariant::fromValue(hint.caps())});
    }
    sync(m_rows, std::move(next), [](const Row &row) { return row.key; });
    m_hints = hints;
}

int KeyHintsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant KeyHintsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case CapsRole:
        return row.caps;
    case WhatRole:
        return row.hint.what;
    default:
        return {};
    }
}

QHash<int, QByteArray> KeyHintsModel::roleNames() const
{
    return {{CapsRole, "caps"}, {WhatRole, "what"}};
}
