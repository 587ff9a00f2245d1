// The P2000 pager device and the hub's timeline, handed to the notification feed.
#include "store/home/homestore.h"

// Not built yet.
void HomeStore::indexP2000Device() {}

QCoro::Task<> HomeStore::loadTimeline(QPointer<HomeStore> self, bool baseline)
{
    Q_UNUSED(self);
    Q_UNUSED(baseline);
    co_return;
}
