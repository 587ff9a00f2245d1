#include "ui/screens/chipsmodel.h"

#include "ui/modechiplook.h"
#include "ui/scenechiplook.h"

ChipsModel::ChipsModel(Kind kind, QObject *parent) : KeyedListModel(parent), m_kind(kind) {}

void ChipsModel::setHits(const QList<Hit> &hits, int selected)
{
    if (selected == m_selected && hits == m_hits)
        return;
    m_hits = hits;
    m_selected = selected;
    const qsizetype shown =
        m_kind == Kind::scenes ? std::min<qsizetype>(hits.size(), maxScenes) : hits.size();
    QList<Chip> next;
    next.reserve(shown);
    for (qsizetype i = 0; i < shown; ++i) {
        const Hit &hit = hits.at(i);
        const bool focused = i == selected;
        const int shortcut = m_kind == Kind::scenes ? int(i) + 1 : 0;
        // Unchanged chips keep the look they have.
        if (i < m_chips.size() && m_chips.at(i) == Chip{hit, focused, shortcut, {}}) {
            next.append(m_chips.at(i));
            continue;
        }
        if (m_kind == Kind::scenes)
            next.append({hit, focused, int(i) + 1,
                         QVariant::fromValue(SceneChipLook::make(hit, int(i) + 1, focused))});
        else
            next.append({hit, focused, 0, QVariant::fromValue(ModeChipLook::make(hit, focused))});
    }
    // A mode chip whose lamp or mode changes takes the new one in place: a new chip makes a dozen objects
    // and paints its glow, and the lit lamps among the modes change with every lamp switched at the hub.
    if (m_kind == Kind::modes)
        syncInPlace(m_chips, std::move(next));
    else
        sync(m_chips, std::move(next), [](const Chip &chip) { return chip.hit.id; });
}

int ChipsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_chips.size());
}

QVariant ChipsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Chip &chip = m_chips.at(index.row());
    switch (role) {
    case KeyRole:
        return chip.hit.id;
    case LookRole:
        return chip.look;
    default:
        return {};
    }
}

QHash<int, QByteArray> ChipsModel::roleNames() const
{
    return {{KeyRole, "key"}, {LookRole, "look"}};
}
