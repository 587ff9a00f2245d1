#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// The command-line switches. Each reader reads the list it is given: the process arguments (the program
// path first, fixed for the run) as the composition root passes them on, or a test's own list.
namespace Boot {

// Any of these makes a run a test instance: no lock, no hot key, no tray icon. "--mock",
// "--notify-test" and "--guard-audit" do nothing else: scripts pass them to keep a run apart.
// clang-format off
inline const QStringList testSwitches = {
    QStringLiteral("--offscreen"), QStringLiteral("--keep-open"), QStringLiteral("--query"),
    QStringLiteral("--room"), QStringLiteral("--dim"), QStringLiteral("--search"),
    QStringLiteral("--type"), QStringLiteral("--notify-test"), QStringLiteral("--notifications"),
    QStringLiteral("--runs"), QStringLiteral("--tempo"), QStringLiteral("--delay"),
    QStringLiteral("--freeze"), QStringLiteral("--hover"), QStringLiteral("--debug-energy"),
    QStringLiteral("--settings"), QStringLiteral("--onboarding-test"), QStringLiteral("--mock"),
    QStringLiteral("--keys"), QStringLiteral("--shot"), QStringLiteral("--dry-run"),
    QStringLiteral("--guard-audit"),
};
// clang-format on

// Some argument, switch values included, is one of testSwitches.
bool isTestInstance(const QStringList &arguments);
// Over the process arguments, worked out once: the process entry asks before anything else exists.
bool isTestInstance();
// False exactly when "--no-homey" is given.
bool connectsToHomey(const QStringList &arguments);
// False exactly when "--keep-open" is given.
bool autoHidesOnFocusLoss(const QStringList &arguments);
// "--dry-run": the REST client logs its writes instead of sending them.
bool isDryRun(const QStringList &arguments);

// The argument after the first one equal to `of`, whatever it is; nullopt when `of` is absent, last, or
// followed by the empty text.
std::optional<QString> value(const QStringList &arguments, const QString &of);

// "--dim" as a fraction 0...1, from a plain decimal number 0...100.
std::optional<double> initialDim(const QStringList &arguments);

// A whole-number switch of the probes: its value when that is a whole number of at least `least`, else
// `fallback`.
struct NumberSwitch {
    QString name;
    int least = 0;
    int fallback = 0;
    // What the number counts, after it: " ms" or nothing.
    QString unit;
};
inline const NumberSwitch runsSwitch{QStringLiteral("--runs"), 1, 1, {}};
inline const NumberSwitch tempoSwitch{QStringLiteral("--tempo"), 1, 75, QStringLiteral(" ms")};
inline const NumberSwitch delaySwitch{QStringLiteral("--delay"), 0, 250, QStringLiteral(" ms")};
// 0 is off, as is the fallback.
inline const NumberSwitch freezeSwitch{QStringLiteral("--freeze"), 0, 0, QStringLiteral(" ms")};
// The switch's own value when it has one that counts; nullopt when it is absent or its value does not.
std::optional<int> givenNumber(const QStringList &arguments, const NumberSwitch &which);
// givenNumber(), else the fallback.
int number(const QStringList &arguments, const NumberSwitch &which);

// "--runs" above 0, else 1.
int typeRuns(const QStringList &arguments);
// "--tempo" in ms above 0, else 75.
int typeTempo(const QStringList &arguments);
// "--delay" in ms, 0 or more, else 250.
int typeDelay(const QStringList &arguments);
// "--freeze" in ms above 0, else 0 (off).
int typeFreeze(const QStringList &arguments);
// "--keys" split at ",", empty pieces dropped, each trimmed of blanks and tabs and lower-cased.
QStringList keyScript(const QStringList &arguments);

// Strict decimal readers: an optional sign and digits (and for decimals one "."), nothing around them.
std::optional<int> integerFrom(const QString &text);
std::optional<double> decimalFrom(const QString &text);

} // namespace Boot
