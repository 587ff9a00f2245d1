// Running rows, toggling devices and switching whole rooms.
#include "store/home/homestore.h"

// Not built yet.
QCoro::Task<> HomeStore::run(Hit hit)
{
    Q_UNUSED(hit);
    co_return;
}
