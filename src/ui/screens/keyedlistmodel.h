#pragma once

#include <algorithm>
#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QString>

// A list model whose rows each carry a stable key (a hit id, a room id), or whose rows are all alike and
// kept by place. New rows are applied as removals, moves, insertions and a dataChanged per changed row,
// never as a reset: a live change of one lamp touches one row, and views keep their delegates and their
// scroll position.
class KeyedListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    int count() const { return rowCount(); }

Q_SIGNALS:
    void countChanged();

protected:
    // Makes rows equal to next. keyOf gives a row's key; of rows sharing a key only the first is kept,
    // as the key is the row's identity. Row needs operator==.
    template <typename Row, typename KeyOf> void sync(QList<Row> &rows, QList<Row> next, KeyOf keyOf);
    // Makes rows equal to next place by place, for rows that are all alike: a row that now shows another
    // key takes it in place and keeps its delegate, and only the end of the list grows or shrinks.
    template <typename Row> void syncInPlace(QList<Row> &rows, QList<Row> next);
};

template <typename Row> void KeyedListModel::syncInPlace(QList<Row> &rows, QList<Row> next)
{
    const qsizetype before = rows.size();
    const qsizetype kept = std::min(before, next.size());
    for (qsizetype i = 0; i < kept; ++i) {
        if (!(rows.at(i) == next.at(i))) {
            rows[i] = std::move(next[i]);
            Q_EMIT dataChanged(index(int(i)), index(int(i)));
        }
    }
    if (next.size() < before) {
        beginRemoveRows({}, int(kept), int(before - 1));
        rows.resize(kept);
        endRemoveRows();
    } else if (next.size() > before) {
        beginInsertRows({}, int(before), int(next.size() - 1));
        for (qsizetype i = before; i < next.size(); ++i)
            rows.append(std::move(next[i]));
        endInsertRows();
    }
    if (rows.size() != before)
        Q_EMIT countChanged();
}

template <typename Row, typename KeyOf>
void KeyedListModel::sync(QList<Row> &rows, QList<Row> next, KeyOf keyOf)
{
    // The rows themselves handed back: nothing changed.
    if (next.constData() == rows.constData() && next.size() == rows.size())
        return;
    // The usual live change: the same keys in the same order, a few rows changed in place.
    if (next.size() == rows.size()) {
        qsizetype same = 0;
        while (same < next.size() && keyOf(rows.at(same)) == keyOf(next.at(same)))
            ++same;
        if (same == next.size()) {
            for (qsizetype i = 0; i < next.size(); ++i) {
                if (!(rows.at(i) == next.at(i))) {
                    rows[i] = next.at(i);
                    Q_EMIT dataChanged(index(int(i)), index(int(i)));
                }
            }
            return;
        }
    }

    const qsizetype before = rows.size();
    QSet<QString> wanted;
    wanted.reserve(next.size());
    next.removeIf([&](const Row &row) {
        const QString key = keyOf(row);
        if (wanted.contains(key))
            return true;
        wanted.insert(key);
        return false;
    });

    // Rows that go, from the end, a run of neighbours at a time.
    for (qsizetype last = rows.size() - 1; last >= 0;) {
        if (wanted.contains(keyOf(rows.at(last)))) {
            --last;
            continue;
        }
        qsizetype firstGone = last;
        while (firstGone > 0 && !wanted.contains(keyOf(rows.at(firstGone - 1))))
            --firstGone;
        beginRemoveRows({}, int(firstGone), int(last));
        rows.remove(firstGone, last - firstGone + 1);
        endRemoveRows();
        last = firstGone - 1;
    }

    // Every remaining row is wanted: walk the new order, moving rows up into place and inserting new ones.
    QSet<QString> present;
    present.reserve(rows.size());
    for (const Row &row : rows)
        present.insert(keyOf(row));
    for (qsizetype i = 0; i < next.size(); ++i) {
        const QString key = keyOf(next.at(i));
        if (i < rows.size() && keyOf(rows.at(i)) == key) {
            if (!(rows.at(i) == next.at(i))) {
                rows[i] = next.at(i);
                Q_EMIT dataChanged(index(int(i)), index(int(i)));
            }
            continue;
        }
        if (!present.contains(key)) {
            qsizetype end = i + 1;
            while (end < next.size() && !present.contains(keyOf(next.at(end))))
                ++end;
            beginInsertRows({}, int(i), int(end - 1));
            for (qsizetype j = i; j < end; ++j)
                rows.insert(j, next.at(j));
            endInsertRows();
            i = end - 1;
            continue;
        }
        qsizetype from = i + 1;
        while (keyOf(rows.at(from)) != key)
            ++from;
        beginMoveRows({}, int(from), int(from), {}, int(i));
        rows.move(from, i);
        endMoveRows();
        if (!(rows.at(i) == next.at(i))) {
            rows[i] = next.at(i);
            Q_EMIT dataChanged(index(int(i)), index(int(i)));
        }
    }
    if (rows.size() != before)
        Q_EMIT countChanged();
}
