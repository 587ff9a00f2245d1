#include "app/placeholderrows.h"

int PlaceholderRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_looks.size());
}

QVariant PlaceholderRows::data(const QModelIndex &index, int role) const
{
    if (role != LookRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    return QVariant::fromValue(m_looks.at(index.row()));
}

QHash<int, QByteArray> PlaceholderRows::roleNames() const
{
    return {{LookRole, "look"}};
}

void PlaceholderRows::setRows(const QList<Hit> &hits, int selected)
{
    QList<ResultRowLook> looks;
    looks.reserve(hits.size());
    for (qsizetype i = 0; i < hits.size(); ++i) {
        const Hit &hit = hits.at(i);
        const double fill = hit.accessory.dimmerLevel().value_or(hit.accessory.toggleState() == true ? 1 : 0);
        looks.append(ResultRowLook::make(int(i), hit, i == selected, false, fill));
    }
    bool sameIDs = looks.size() == m_looks.size();
    for (qsizetype i = 0; sameIDs && i < looks.size(); ++i)
        sameIDs = looks.at(i).hit.id == m_looks.at(i).hit.id;
    if (!sameIDs) {
        beginResetModel();
        m_looks = std::move(looks);
        endResetModel();
        return;
    }
    for (qsizetype i = 0; i < looks.size(); ++i) {
        if (looks.at(i) == m_looks.at(i))
            continue;
        m_looks[i] = looks.at(i);
        const QModelIndex at = index(int(i));
        Q_EMIT dataChanged(at, at, {LookRole});
    }
}
