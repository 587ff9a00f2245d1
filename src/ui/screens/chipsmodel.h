#pragma once

#include "homey/model/hit.h"
#include "ui/screens/keyedlistmodel.h"

#include <QList>
#include <QVariant>

// The scene chips (with their Ctrl+digit shortcut), keyed by hit id, or the mode chips of the idle overview,
// kept by place.
class ChipsModel : public KeyedListModel {
    Q_OBJECT

public:
    enum class Kind { scenes, modes };
    enum Role { KeyRole = Qt::UserRole + 1, LookRole };

    struct Chip {
        Hit hit;
        bool selected = false;
        int shortcut = 0; // the digit of a scene, 0 for a mode
        QVariant look;    // sceneChipLook or modeChipLook
        bool operator==(const Chip &other) const
        {
            return hit == other.hit && selected == other.selected && shortcut == other.shortcut;
        }
    };

    // Scene chips show only the first nine scenes, the ones a digit can start.
    static constexpr int maxScenes = 9;

    explicit ChipsModel(Kind kind, QObject *parent = nullptr);

    // selected: index of the focused chip, or -1.
    void setHits(const QList<Hit> &hits, int selected);
    const QList<Chip> &chips() const { return m_chips; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    const Kind m_kind;
    QList<Chip> m_chips;
    // What the chips were last made from: the store hands the same list again while nothing changed.
    QList<Hit> m_hits;
    int m_selected = -1;
};
