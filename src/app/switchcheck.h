#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the command line asks that cannot be done as asked: a switch the program does not know, a value
// that is missing or cannot be used, a self-test without what it needs. The readers in Boot quietly fall
// back on such input; this says so, one line each, naming the switch and what is done instead.
namespace SwitchCheck {

struct Problem {
    // For the log; starts with "!! ".
    QString line;
    // The self-test the switch asks for cannot run: the run ends before it starts.
    bool endsRun = false;

    bool operator==(const Problem &) const = default;
};

// The exit status of a run that ends because a self-test cannot run.
inline constexpr int unusableStatus = 2;

// In the order of the arguments (the program path first, not looked at). A switch given twice is looked
// at once: its first value is the one the readers take. Qt's own options (-platform, -style, ...) are
// Qt's to judge.
QList<Problem> problems(const QStringList &arguments);

} // namespace SwitchCheck
