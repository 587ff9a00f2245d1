#include "homey/model/zone.h"

#include <utility>

using namespace Qt::StringLiterals;

QString Zone::symbol() const
{
    static const std::pair<QString, QString> table[] = {
        {u"kitchen"_s, u"fork.knife"_s},
        {u"living"_s, u"sofa"_s},
        {u"bed"_s, u"bed.double"_s},
        {u"shower"_s, u"shower"_s},
        {u"stairs-up"_s, u"figure.stairs"_s},
        {u"stairs-down"_s, u"figure.stairs"_s},
        {u"garden"_s, u"leaf"_s},
        {u"garage"_s, u"car"_s},
        {u"books"_s, u"books.vertical"_s},
        {u"home"_s, u"house"_s},
    };
    for (const auto &[iconName, symbolName] : table) {
        if (icon == iconName)
            return symbolName;
    }
    return u"square.split.bottomrightquarter"_s;
}
