#include "ui/whileshown.h"

#include "store/home/homestore.h"

#include <utility>

namespace {

// Two frames: the hub's changes show soon enough, and a view's animations still run at every frame.
constexpr std::chrono::milliseconds twoFrames(33);

} // namespace

WhileShown::WhileShown(HomeStore *store, std::function<void()> refresh, QObject *parent,
                       std::function<bool()> onScreen)
    : QObject(parent), m_store(store), m_refresh(std::move(refresh)), m_onScreen(std::move(onScreen)),
      m_pace(twoFrames)
{
    const auto catchUp = [this] {
        if (m_stale && isShown()) {
            m_stale = false;
            m_refresh();
        }
    };
    connect(store, &HomeStore::panelVisibleChanged, this, catchUp);
    m_paced.setSingleShot(true);
    m_paced.setTimerType(Qt::PreciseTimer);
    connect(&m_paced, &QTimer::timeout, this, &WhileShown::refreshPaced);
    if (m_onScreen)
        connect(store, &HomeStore::modeChanged, this, catchUp);
}

bool WhileShown::isShown() const
{
    return m_store && m_store->isPanelVisible() && (!m_onScreen || m_onScreen());
}

void WhileShown::changed()
{
    if (!isShown()) {
        m_stale = true;
        return;
    }
    if (!m_store->isApplyingRealtime()) {
        m_paced.stop();
        disconnect(std::exchange(m_onBeat, {}));
    } else if (m_paced.isActive() || m_onBeat) {
        return;
    } else if (const qint64 since = m_lastPaced.isValid() ? m_lastPaced.elapsed() : m_pace.count();
               since < m_pace.count()) {
        m_paced.start(int(m_pace.count() - since));
        return;
    } else {
        refreshWithFrame();
        return;
    }
    m_stale = false;
    m_refresh();
}

void WhileShown::refreshPaced()
{
    refreshWithFrame();
}

void WhileShown::refreshWithFrame()
{
    if (m_beat && m_beat->beats()) {
        // A beat that stops (the panel hid, motion was reduced) says so too.
        m_onBeat = connect(m_beat, &Motion::beatChanged, this, [this] {
            disconnect(std::exchange(m_onBeat, {}));
            refreshIfShown();
        });
        return;
    }
    refreshIfShown();
}

void WhileShown::refreshIfShown()
{
    m_lastPaced.start();
    if (!isShown()) {
        m_stale = true;
        return;
    }
    m_stale = false;
    m_refresh();
}
