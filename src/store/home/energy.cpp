// The house's energy totals: the hub's report, local sums of its meters, a throttle and a poll.
#include "store/home/homestore.h"

// Not built yet.
void HomeStore::indexEnergySources() {}

void HomeStore::recomputeEnergy() {}

QCoro::Task<> HomeStore::refreshEnergy(QPointer<HomeStore> self)
{
    Q_UNUSED(self);
    co_return;
}
