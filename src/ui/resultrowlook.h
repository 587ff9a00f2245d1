#pragma once

#include "homey/model/hit.h"
#include "store/home/runaction.h"
#include "ui/glowbarlook.h"
#include "ui/keycaplook.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// One row of the results list and of the room view: symbol, title, subtitle, a state accessory and,
// when selected and Return runs it, the Return key with the word for what it does.
struct ResultRowLook {
    Q_GADGET
    QML_VALUE_TYPE(resultRowLook)
    Q_PROPERTY(int index MEMBER index CONSTANT)
    Q_PROPERTY(bool selected MEMBER selected CONSTANT)
    Q_PROPERTY(bool expanded MEMBER expanded CONSTANT)
    Q_PROPERTY(double fill MEMBER fill CONSTANT)
    Q_PROPERTY(double height MEMBER height CONSTANT)
    Q_PROPERTY(QString symbol MEMBER symbol CONSTANT)
    Q_PROPERTY(QColor symbolColor MEMBER symbolColor CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QColor titleColor MEMBER titleColor CONSTANT)
    Q_PROPERTY(QFont titleFont READ titleFont CONSTANT)
    Q_PROPERTY(QString subtitle MEMBER subtitle CONSTANT)
    Q_PROPERTY(Accessory accessory MEMBER accessory CONSTANT)
    Q_PROPERTY(QString accessoryText MEMBER accessoryText CONSTANT)
    Q_PROPERTY(QFont accessoryFont READ accessoryFont CONSTANT)
    Q_PROPERTY(QColor accessoryColor MEMBER accessoryColor CONSTANT)
    Q_PROPERTY(QColor pillColor MEMBER pillColor CONSTANT)
    Q_PROPERTY(GlowBarLook level MEMBER level CONSTANT)
    Q_PROPERTY(bool showsReturn MEMBER showsReturn CONSTANT)
    Q_PROPERTY(KeyCapLook returnCap MEMBER returnCap CONSTANT)
    Q_PROPERTY(QString verb MEMBER verb CONSTANT)
    // The longest verb: the Return key's column is as wide on every row, selected or not.
    Q_PROPERTY(QString widestVerb READ widestVerb CONSTANT)
    Q_PROPERTY(QString accessibleName MEMBER accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleValue MEMBER accessibleValue CONSTANT)

public:
    // The state shown at the row's end: none, an on/off pill, a dimmer bar, a value or "start".
    enum class Accessory { None, Toggle, Dimmer, Value, Run };
    Q_ENUM(Accessory)

    // fill: the light level drawn as a warm wash, clamped to 0...1. scrubbable: the owner takes drags
    // on a dimmer's level bar. action: what Return does with the row (RowActions::onReturn), which names
    // its word; without one the row's own state names it. A selected row whose action is Nothing shows
    // no Return key.
    static ResultRowLook make(int index, const Hit &hit, bool selected = false, bool expanded = false,
                              double fill = 0, bool scrubbable = false,
                              const std::optional<RunAction> &action = std::nullopt);
    // The word beside the Return key.
    static QString verbFor(const Hit &hit, const std::optional<RunAction> &action = std::nullopt);
    // Whether the row shows the Return key.
    static bool showsReturnFor(bool selected, const std::optional<RunAction> &action);

    static QString widestVerb();
    // The wash's width in a row of the given width: at least a sliver once there is any light.
    Q_INVOKABLE double washWidth(double rowWidth) const;
    Q_INVOKABLE QColor plateColor(bool hovering) const;
    // Semibold while selected.
    QFont titleFont() const;
    // The text of a value accessory, or the smaller "start" of a runnable one.
    QFont accessoryFont() const;

    // Rows showing the same thing are equal; a list redraws only rows that changed.
    bool operator==(const ResultRowLook &other) const;

    int index = 0;
    Hit hit;
    bool selected = false;
    bool expanded = false;
    double fill = 0;
    double height = 0;
    QString symbol;
    QColor symbolColor;
    QString title;
    QColor titleColor;
    QString subtitle; // empty: none shown
    Accessory accessory = Accessory::None;
    QString accessoryText;
    QColor accessoryColor;
    QColor pillColor;  // behind a toggle's text
    GlowBarLook level; // a dimmer's bar
    bool showsReturn = false;
    KeyCapLook returnCap;
    QString verb;
    QString accessibleName;
    QString accessibleValue;
};

// The accessories by name in QML: ResultRowLook.Toggle and so on.
namespace ResultRowLookForeign {
Q_NAMESPACE
QML_NAMED_ELEMENT(ResultRowLook)
QML_FOREIGN_NAMESPACE(ResultRowLook)
} // namespace ResultRowLookForeign
