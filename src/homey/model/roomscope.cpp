#include "homey/model/roomscope.h"

#include <algorithm>

bool RoomScope::isEmpty() const
{
    return std::all_of(sections.begin(), sections.end(),
                       [](const RoomSection &section) { return section.hits.isEmpty(); });
}
