#pragma once

#include "homey/model/hit.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

// One searchable entry of the index, with every text the search compares prepared in advance.
struct SearchItem {
    struct Kind {
        enum Value { flow, device, sensor, room, mood };

        Value value = device;
        bool advanced = false; // flows only

        static Kind makeFlow(bool advanced) { return {flow, advanced}; }
        bool operator==(const Kind &) const = default;
    };

    QString refID;
    Kind kind;
    // The row as far as the index knows it (see HitBuilder): its id, target and title ("flow:", "mood:",
    // "room:" or "device:" and refID; the name shown), and for flows and moods the whole row.
    Hit hit;
    QString context; // "Flow", the zone name or "Sfeer", "Kamer", the device's zone name
    QStringList tokens;
    QString joined;
    QString nameJoined;   // the words of the name alone
    std::u32string chars; // one code per character of joined (see CharCodes)
    quint64 mask = 0;
    bool dimmable = false;
    // Devices only, as the device's record had it when the entry was made: a new record makes the entry
    // anew, and no realtime change of a value makes a device guarded or not.
    bool guarded = false;

    // Prepared for the search: where each token starts in chars, and the codes of nameJoined.
    std::vector<quint32> tokenStarts;
    std::u32string nameChars;

    bool operator==(const SearchItem &) const = default;
};
