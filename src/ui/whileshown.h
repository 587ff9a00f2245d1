#pragma once

#include "ui/motion.h"

#include <chrono>
#include <functional>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class HomeStore;

// Keeps a view's refresh to the time the panel is on screen: a change of the store while it is hidden
// only marks the view stale, and the first show refreshes it once. What a view only draws then costs
// nothing while nobody can see it, however busy the hub is. A view that is one of the panel's modes can
// also wait while another mode is on screen (onScreen false); it is refreshed once its mode returns.
// On screen, the hub's own changes are paced: a burst refreshes the view at most every other frame, its
// first change at once and its last one when the pace allows; what the person does shows at once.
// While the panel breathes (followBeat), it draws a frame at every beat anyway: a hub change then
// waits for the next beat, at most 1000 / Motion::beatFps ms, and shares that frame instead of
// drawing one of its own.
class WhileShown : public QObject {
    Q_OBJECT

public:
    WhileShown(HomeStore *store, std::function<void()> refresh, QObject *parent,
               std::function<bool()> onScreen = {});

    bool isShown() const;
    // Refreshes now while the panel is on screen; else once it shows.
    void changed();
    // The least time between two refreshes for the hub's changes; two frames unless set.
    void setPace(std::chrono::milliseconds pace) { m_pace = pace; }
    // The beat the hub's changes wait for while it runs; none unless set.
    void followBeat(const Motion *motion) { m_beat = motion; }

private:
    void refreshPaced();
    // A hub change that may show now: at the next beat while one runs, else at once.
    void refreshWithFrame();
    void refreshIfShown();

    QPointer<HomeStore> m_store;
    std::function<void()> m_refresh;
    std::function<bool()> m_onScreen;
    bool m_stale = false;
    std::chrono::milliseconds m_pace;
    QElapsedTimer m_lastPaced;
    QTimer m_paced;
    QPointer<const Motion> m_beat;
    QMetaObject::Connection m_onBeat;
};
