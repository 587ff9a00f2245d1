#include "ui/screens/resultsscreen.h"

#include "base/text/counted.h"
#include "store/home/homestore.h"
#include "ui/controls/levelcoalescer.h"
#include "ui/hovergate.h"
#include "ui/screens/rowactions.h"
#include "ui/whileshown.h"

using namespace Qt::StringLiterals;

ResultsScreen::ResultsScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer, QObject *parent)
    : RowScreen(store, gate, coalescer, parent), m_follow(new WhileShown(
                                                     store, [this] { refresh(); }, this))
{
    if (coalescer)
        connect(coalescer, &LevelCoalescer::pendingChanged, this, &ResultsScreen::refresh);
    for (const auto signal :
         {&HomeStore::hitsChanged, &HomeStore::matchCountChanged, &HomeStore::queryChanged,
          &HomeStore::detailDeviceIDChanged, &HomeStore::devicesChanged})
        connect(store, signal, m_follow, &WhileShown::changed);
    connect(store, &HomeStore::selectionChanged, this, &ResultsScreen::selectionMoved);
    refresh();
}

namespace {

// Lines made anew that mostly repeat the ones before. As long as each line is the previous one in its
// place nothing is copied, and an unchanged list is handed back as the previous list itself, which the
// model then sees at a glance: a home's change that moves nothing shown copies no row's look.
class Lines {
public:
    explicit Lines(const QList<ListRow> &previous) : m_previous(previous) {}

    // The line made before in the place the next line goes; nullptr past its end.
    const ListRow *before() const { return m_count < m_previous.size() ? &m_previous.at(m_count) : nullptr; }
    void keep()
    {
        if (m_copied)
            m_lines.append(m_previous.at(m_count));
        ++m_count;
    }
    void add(ListRow line)
    {
        if (!m_copied) {
            m_lines = m_previous.first(m_count);
            m_copied = true;
        }
        m_lines.append(std::move(line));
        ++m_count;
    }
    QList<ListRow> take()
    {
        if (m_copied)
            return std::move(m_lines);
        return m_count == m_previous.size() ? m_previous : m_previous.first(m_count);
    }

private:
    const QList<ListRow> &m_previous;
    QList<ListRow> m_lines;
    qsizetype m_count = 0;
    bool m_copied = false;
};

} // namespace

QList<ListRow> ResultsScreen::lines(const QList<Hit> &hits, qsizetype found, int selection,
                                    const std::optional<QString> &expandedDeviceID,
                                    const QList<ListRow> &previous,
                                    const std::optional<RunAction> &selectedAction)
{
    Lines lines(previous);
    const qsizetype shown = std::min<qsizetype>(hits.size(), shownRows);
    // A heading of the same key and trailing text as the one before it in that place is kept as it is.
    const auto heading = [&](const QString &key, const QString &title, const QString &trailing = {}) {
        const ListRow *before = lines.before();
        if (before && before->kind == ListRow::Kind::Header && before->key == key &&
            before->header.trailing == trailing)
            lines.keep();
        else
            lines.add(ListRow::heading(key, title, trailing));
    };
    for (qsizetype i = 0; i < shown; ++i) {
        if (i == 0)
            heading(u"heading:best"_s, u"Beste match"_s,
                    Counted::text(found, u"resultaat"_s, u"resultaten"_s));
        else if (i == 1)
            heading(u"heading:rest"_s, u"Resultaten"_s);
        const Hit &hit = hits.at(i);
        const std::optional<QString> deviceID = hit.deviceID();
        const bool expanded = deviceID && deviceID == expandedDeviceID;
        const bool selected = i == selection;
        const std::optional<RunAction> action = selected ? selectedAction : std::nullopt;
        // A look is made from its index, hit, state and Return's action alone: an unchanged row keeps the
        // one it has.
        if (const ListRow *before = lines.before(); before && before->kind == ListRow::Kind::Row) {
            const ResultRowLook &look = before->row;
            if (look.index == int(i) && look.selected == selected && look.expanded == expanded &&
                look.fill == 0 && look.hit == hit && look.verb == ResultRowLook::verbFor(hit, action) &&
                look.showsReturn == ResultRowLook::showsReturnFor(selected, action)) {
                lines.keep();
                continue;
            }
        }
        lines.add(ListRow::hitRow(
            ResultRowLook::make(int(i), hit, selected, expanded, 0, deviceID.has_value(), action)));
    }
    return lines.take();
}

QString ResultsScreen::footerText(qsizetype found, qsizetype hitCount)
{
    const qsizetype shown = std::min<qsizetype>(hitCount, shownRows);
    if (found <= shown)
        return {};
    return u"nog "_s + Counted::text(found - shown, u"resultaat"_s, u"resultaten"_s) +
           u", typ iets specifieker"_s;
}

void ResultsScreen::refresh()
{
    if (!m_store)
        return;
    std::optional<QString> expanded = m_store->detailDeviceID();
    if (expanded && !m_store->device(*expanded))
        expanded.reset();
    const QList<Hit> &hits = m_store->hits();
    const qsizetype found = m_store->matchCount();
    // Only the selected row shows Return, with the word for what it then does: a verb typed after the
    // names, the row's state, or nothing at all.
    const int selection = m_store->selection();
    const std::optional<RunAction> selectedAction =
        selection >= 0 && selection < std::min<qsizetype>(hits.size(), shownRows)
            ? std::optional(RowActions::onReturn(*m_store, hits.at(selection)))
            : std::nullopt;
    m_rows.setRows(lines(RowActions::withDraggedLevels(hits, *m_store, m_coalescer), found, selection,
                         expanded, m_rows.rows(), selectedAction));
    const std::optional<QString> selectedID =
        selectedAction ? std::optional(hits.at(selection).id) : std::nullopt;
    rowsRefreshed(selectedID, selectedID ? m_rows.rowOf(*selectedID) : -1);

    // The empty state follows the query alone: made again only when the query changed.
    if (m_emptyQuery != m_store->query()) {
        m_emptyQuery = m_store->query();
        m_madeEmpty = EmptyStateLook::forResults(*m_emptyQuery);
    }
    const EmptyStateLook &empty = m_madeEmpty;
    const QString footer = footerText(found, hits.size());
    if (hits.size() == m_hitCount && empty == m_empty && footer == m_footer)
        return;
    m_hitCount = hits.size();
    m_empty = empty;
    m_footer = footer;
    Q_EMIT changed();
}

void ResultsScreen::selectionMoved()
{
    const int selection = m_store ? m_store->selection() : -1;
    const QList<Hit> hits = m_store ? m_store->hits() : QList<Hit>();
    const bool inRange = selection >= 0 && selection < hits.size();
    // Noted before the refresh, which may come at once and then reveals the row.
    const bool stayed = stayedOnRow(inRange ? std::optional(hits.at(selection).id) : std::nullopt);
    m_follow->changed();
    if (stayed || !m_follow->isShown() || m_store->mode() != HomeStore::Mode::Results)
        return;
    if (!keyboardMoved() || !inRange)
        return;
    const int row = m_rows.rowOf(hits.at(selection).id);
    if (row >= 0)
        Q_EMIT scrollRequested(row);
}

void ResultsScreen::followBeat(const Motion *motion)
{
    m_follow->followBeat(motion);
}
