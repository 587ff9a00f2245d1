#include "app/boot.h"
#include "app/palettepanel.h"
#include "app/panelcontroller.h"
#include "app/probes/keycheck.h"
#include "app/probes/probes.h"
#include "app/probes/probetext.h"
#include "app/probes/syntheticinput.h"
#include "base/text/graphemes.h"
#include "store/home/homestore.h"
#include "store/search/searchindex.h"

#include <QQuickItem>
#include <QSet>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace Probes {

namespace {

// The text of the field that has the panel's keyboard; none when the focus is in no text field.
std::optional<QString> fieldText(const PanelController &panel)
{
    const QQuickItem *focused = panel.window()->activeFocusItem();
    if (!focused || !(focused->inherits("QQuickTextInput") || focused->inherits("QQuickTextEdit")))
        return std::nullopt;
    return focused->property("text").toString();
}

KeyCheck check(const ProbeContext &context, const SearchIndex &index, const QString &typed)
{
    const HomeStore &store = *context.store();
    KeyCheck check;
    check.typed = typed;
    check.field = fieldText(*context.panel()).value_or(u"<geen field editor>"_s);
    check.storeQuery = store.query();
    const std::optional<QString> &scope = store.scopeZoneID();
    const qsizetype limit = scope ? HomeStore::roomSearchLimit : HomeStore::hitLimit;
    const SearchIndex::Result expected =
        index.search(check.storeQuery, store.devices(), store.zones(), store.recent(), limit);
    check.expectedIDs = KeyCheck::expectedIDsOf(expected.hits, store.devices(), scope);
    check.current = scope ? store.roomHits() : store.hits();
    return check;
}

QStringList characters(const QString &text)
{
    QStringList out;
    Graphemes::forEach(
        text, [&](qsizetype start, qsizetype length, char32_t) { out.append(text.mid(start, length)); });
    return out;
}

// The run's summary: its verdict, the field, and the first three rows listed now.
QString runLine(const ProbeContext &context, int run, bool failed)
{
    const HomeStore &store = *context.store();
    const QList<Hit> &rows = store.scopeZoneID() ? store.roomHits() : store.hits();
    QStringList titles;
    for (qsizetype i = 0; i < rows.size() && i < 3; ++i)
        titles.append(rows.at(i).title);
    return u"run "_s + QString::number(run) + u": "_s + (failed ? u"GEFAALD"_s : u"goed"_s) + u" | veld="_s +
           fieldText(*context.panel()).value_or(u"?"_s) + u" | treffers="_s + titles.join(u", "_s);
}

// After the last run: does the selection follow the pointer down the list?
QCoro::Task<bool> sweep(std::shared_ptr<ProbeContext> context, SyntheticInput *input)
{
    QList<int> selections;
    for (int step = 0; step <= 5; ++step) {
        input->sweepMouseDownList(step);
        const bool alive = co_await context->sleep(120ms);
        if (!alive)
            co_return false;
        selections.append(context->store()->selection());
    }
    const bool follows = QSet<int>(selections.begin(), selections.end()).size() > 1;
    context->print(u"hover-veeg over de lijst: selectie volgde "_s + ProbeText::numberList(selections) +
                   (follows ? u" (beweegt mee)"_s : u" (BEWEEGT NIET)"_s));
    co_return true;
}

} // namespace

QCoro::Task<> runTypeProbe(std::shared_ptr<ProbeContext> context)
{
    const std::optional<QString> text = context->value(u"--type"_s);
    if (!text)
        co_return;
    const QStringList &arguments = context->arguments();
    const int runs = Boot::typeRuns(arguments);
    const std::chrono::milliseconds tempo(Boot::typeTempo(arguments));
    const std::chrono::milliseconds delay(Boot::typeDelay(arguments));
    const int freeze = Boot::typeFreeze(arguments);
    const bool offscreen = context->has(u"--offscreen"_s);
    const bool pointer = context->has(u"--hover"_s) && !offscreen;
    const QStringList keys = characters(*text);

    bool alive = co_await context->waitFor(ProbeContext::Collection::devices, 200);
    if (!alive)
        co_return;
    context->panel()->show();
    alive = co_await context->sleep(200ms);
    if (!alive)
        co_return;
    context->print(
        u"\npaneel: "_s + (offscreen ? u"buiten beeld"_s : u"OP HET SCHERM"_s) +
        u" | toetsenbord van de gebruiker: "_s +
        (context->panel()->window()->isActive() ? u"INGEPIKT (paneel is key)"_s : u"met rust gelaten"_s));

    int failedRuns = 0;
    for (int run = 1; run <= runs; ++run) {
        HomeStore *store = context->store();
        // The expected rows come from an index of the home as it stands now, as the store's own would.
        const SearchIndex index(store->devices(), store->zones(), store->flows(), store->moods());
        if (!store->query().isEmpty())
            store->setQuery(QString());
        store->closeDetail();
        context->panel()->show();
        SyntheticInput input(context->panel()->window(), offscreen);
        if (pointer)
            input.moveMouseOverResults(0);
        alive = co_await context->sleep(delay);
        if (!alive)
            co_return;
        if (freeze >= 1) {
            // Not awaited: the store holds back its rebuilds while the keys arrive.
            context->store()->holdBatch(freeze);
        }

        QString typed;
        bool failed = false;
        for (qsizetype k = 1; k <= keys.size(); ++k) {
            const QString &key = keys.at(k - 1);
            if (pointer)
                input.moveMouseOverResults(int(k));
            if (!input.postKey(key)) {
                context->print(u"!! geen toetscode voor "_s + ProbeText::quoted(key) +
                               u", test afgebroken"_s);
                co_return;
            }
            typed += key;
            // A queued key takes effect during this pause.
            alive = co_await context->sleep(tempo);
            if (!alive)
                co_return;
            const KeyCheck result = check(*context, index, typed);
            context->print(result.line(run));
            failed = failed || !result.passed();
        }
        if (failed)
            ++failedRuns;
        context->print(runLine(*context, run, failed));
        if (pointer && run == runs) {
            alive = co_await sweep(context, &input);
            if (!alive)
                co_return;
        }
        alive = co_await context->sleep(200ms);
        if (!alive)
            co_return;
    }

    context->print(u"\n=== "_s + ProbeText::count(runs, u"run"_s, u"runs"_s) + u", "_s +
                   QString::number(failedRuns) + u" gefaald, socket-events tot nu toe: "_s +
                   QString::number(context->store()->eventCount()) + u" ==="_s);
    // A lagging or mismatching run shows in the status, for the calling script.
    if (context->endsAfterReport())
        context->exit(failedRuns > 0 ? 1 : 0);
}

} // namespace Probes
