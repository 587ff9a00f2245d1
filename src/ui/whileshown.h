#pragma once

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

private:
    void refreshPaced();

    QPointer<HomeStore> m_store;
    std::function<void()> m_refresh;
    std::function<bool()> m_onScreen;
    bool m_stale = false;
    std::chrono::milliseconds m_pace;
    QElapsedTimer m_lastPaced;
    QTimer m_paced;
};
