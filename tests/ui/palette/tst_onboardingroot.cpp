#include "awaittask.h"
#include "ui/palette/onboardingroot.h"

#include <QCoroTimer>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(OnboardingRoot::Facts)

namespace {

// The shell's save, answered when the test says.
struct SaveCalls {
    QStringList keys;
    std::optional<bool> answer;
    // Saves that have had their answer; the root has taken it in by the time the count shows it.
    int answered = 0;

    std::function<QCoro::Task<bool>(QString)> action()
    {
        return [this](QString key) -> QCoro::Task<bool> {
            keys << key;
            while (!answer)
                co_await QCoro::sleepFor(std::chrono::milliseconds(1));
            ++answered;
            co_return *answer;
        };
    }
};

OnboardingRoot::Actions saving(std::function<QCoro::Task<bool>(QString)> onSave)
{
    OnboardingRoot::Actions actions;
    actions.onSave = std::move(onSave);
    return actions;
}

OnboardingRoot::Facts facts(bool showing, bool busy, std::optional<QString> problem = std::nullopt)
{
    OnboardingRoot::Facts f;
    f.showing = showing;
    f.busy = busy;
    f.connectionProblem = std::move(problem);
    return f;
}

} // namespace

// Which screen fills the panel, and what the token screen does with the key.
class OnboardingRootTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void screen_data();
    void screen();
    void tokenScreenLook_data();
    void tokenScreenLook();
    void keepsTryingOnlyUnderTheBootsAdvice_data();
    void keepsTryingOnlyUnderTheBootsAdvice();
    void saveKeepsARefusedKeyAndEmptiesAnAcceptedOne();
    void aBlankKeyStillReachesTheShellFromTheField();
    void forgettingAsksFirst();
    void theScreenComesBackEmpty();
    void theProblemScreensKeys_data();
    void theProblemScreensKeys();
    void ctrlQQuitsFromTheRootsScreens_data();
    void ctrlQQuitsFromTheRootsScreens();
};

void OnboardingRootTest::screen_data()
{
    QTest::addColumn<OnboardingRoot::Facts>("facts");
    QTest::addColumn<ConnectionState>("connection");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("message");

    const ConnectionState failed = ConnectionState::failed(u"Geen Homey."_s, u"Kijk na."_s);
    QTest::newRow("token screen over a failure") << facts(true, false) << failed << u"token"_s << QString();
    QTest::newRow("the model's advice over busy")
        << facts(false, true, u"Sleutel geweigerd."_s) << ConnectionState::live() << u"problem"_s
        << u"Sleutel geweigerd."_s;
    QTest::newRow("the model's advice over the store's")
        << facts(false, false, u"Sleutel geweigerd."_s) << failed << u"problem"_s << u"Sleutel geweigerd."_s;
    QTest::newRow("connecting") << facts(false, true) << failed << u"connecting"_s
                                << u"Je Homey wordt gezocht en je sleutel wordt gecontroleerd."_s;
    QTest::newRow("the store failed")
        << facts(false, false) << failed << u"problem"_s << u"Geen Homey. Kijk na."_s;
    QTest::newRow("a failure without hint")
        << facts(false, false) << ConnectionState::failed(u"Geen Homey."_s, QString()) << u"problem"_s
        << u"Geen Homey. "_s;
    for (const ConnectionState &state :
         {ConnectionState::loading(u"Laden"_s), ConnectionState::degraded(u"weg"_s), ConnectionState::idle(),
          ConnectionState::connecting(), ConnectionState::live()})
        QTest::addRow("palette while %d", int(state.kind()))
            << facts(false, false) << state << u"palette"_s << QString();
}

void OnboardingRootTest::screen()
{
    QFETCH(OnboardingRoot::Facts, facts);
    QFETCH(ConnectionState, connection);
    QFETCH(QString, screen);
    QFETCH(QString, message);

    OnboardingRoot root(nullptr, {}, false);
    root.setFacts(facts);
    QCOMPARE(OnboardingRoot::choose(facts, connection) == OnboardingRoot::Screen::Palette,
             screen == u"palette");
    const std::optional<QString> advice = OnboardingRoot::problemMessage(facts, connection);
    const ConnectionProblemLook look = ConnectionProblemLook::make(advice);
    const QString shown =
        OnboardingRoot::choose(facts, connection) == OnboardingRoot::Screen::Problem ||
                OnboardingRoot::choose(facts, connection) == OnboardingRoot::Screen::Connecting
            ? look.text
            : QString();
    QCOMPARE(shown, message);
    const QString names[] = {u"token"_s, u"problem"_s, u"connecting"_s, u"palette"_s};
    QCOMPARE(names[int(OnboardingRoot::choose(facts, connection))], screen);
    QCOMPARE(look.connecting, !advice.has_value());
}

void OnboardingRootTest::tokenScreenLook_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("hasToken");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("saveTitle");
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<bool>("keyButtons");
    QTest::newRow("first pairing, empty")
        << false << false << QString() << u"Controleren en bewaren"_s << false << false;
    QTest::newRow("blanks only") << false << false << u" \t\n"_s << u"Controleren en bewaren"_s << false
                                 << false;
    QTest::newRow("a key") << false << false << u"abc"_s << u"Controleren en bewaren"_s << true << false;
    QTest::newRow("checking") << true << true << u"abc"_s << u"Controleren…"_s << false << true;
    QTest::newRow("a key is kept") << false << true << QString() << u"Controleren en bewaren"_s << false
                                   << true;
}

void OnboardingRootTest::tokenScreenLook()
{
    QFETCH(bool, busy);
    QFETCH(bool, hasToken);
    QFETCH(QString, token);
    QFETCH(QString, saveTitle);
    QFETCH(bool, saveEnabled);
    QFETCH(bool, keyButtons);
    const TokenScreenLook look = TokenScreenLook::make(busy, hasToken, std::nullopt, token, false);
    QCOMPARE(look.saveTitle, saveTitle);
    QCOMPARE(look.saveEnabled, saveEnabled);
    QCOMPARE(look.showsKeyButtons, keyButtons);
    QCOMPARE(look.keyButtonsEnabled, !busy);
    QCOMPARE(look.fieldEnabled, !busy);
    QCOMPARE(look.showsProgress, busy);
    QCOMPARE(look.message, QString());
    QCOMPARE(look.isolatedNote, QString());
}

void OnboardingRootTest::keepsTryingOnlyUnderTheBootsAdvice_data()
{
    QTest::addColumn<OnboardingRoot::Facts>("facts");
    QTest::addColumn<bool>("shown");
    OnboardingRoot::Facts retrying = facts(false, false, u"Geen contact."_s);
    retrying.retrying = true;
    QTest::newRow("advice, retrying") << retrying << true;
    QTest::newRow("advice only") << facts(false, false, u"Geen contact."_s) << false;
    // An attempt under way keeps the advice on screen, and the line with it.
    retrying.busy = true;
    QTest::newRow("an attempt under way") << retrying << true;
    OnboardingRoot::Facts connecting = facts(false, true);
    connecting.retrying = true;
    QTest::newRow("connecting") << connecting << false;
    retrying.showing = true;
    QTest::newRow("token screen") << retrying << false;
}

void OnboardingRootTest::keepsTryingOnlyUnderTheBootsAdvice()
{
    QFETCH(OnboardingRoot::Facts, facts);
    QFETCH(bool, shown);
    OnboardingRoot root(nullptr, {}, false);
    root.setFacts(facts);
    const bool onScreen = root.screen() == OnboardingRoot::Screen::Problem ||
                          root.screen() == OnboardingRoot::Screen::Connecting;
    QCOMPARE(onScreen && !root.problem().keepsTrying.isEmpty(), shown);
    if (shown)
        QCOMPARE(root.problem().keepsTrying, u"Quorvane blijft het op de achtergrond proberen."_s);
}

void OnboardingRootTest::saveKeepsARefusedKeyAndEmptiesAnAcceptedOne()
{
    SaveCalls calls;
    OnboardingRoot root(nullptr, saving(calls.action()), true);
    QVERIFY(!root.tokenScreen().isolatedNote.isEmpty());
    root.setFacts(facts(true, false));
    root.setToken(u"  sleutel-1 "_s);
    root.pressSave();
    calls.answer = false;
    QTRY_COMPARE(calls.keys, QStringList{u"  sleutel-1 "_s}); // unchanged: the model trims
    QTRY_COMPARE(calls.answered, 1);
    QCOMPARE(root.token(), u"  sleutel-1 "_s);

    // While the model checks, neither the button nor the field starts another save.
    OnboardingRoot::Facts checking = facts(true, true);
    checking.checking = true;
    root.setFacts(checking);
    root.pressSave();
    root.submit();
    QTest::qWait(20);
    QCOMPARE(calls.keys.size(), 1);

    root.setFacts(facts(true, false));
    calls.answer = true;
    root.submit();
    QTRY_COMPARE(root.token(), QString());
    QCOMPARE(calls.keys.size(), 2);

    // An attempt of the program's own holds nothing up: the person's key goes first, and no check of
    // theirs shows meanwhile.
    root.setFacts(facts(true, true));
    root.setToken(u"sleutel-2"_s);
    const TokenScreenLook look = root.tokenScreen();
    QVERIFY(look.saveEnabled && look.fieldEnabled && !look.showsProgress);
    root.pressSave();
    QTRY_COMPARE(calls.keys.size(), 3);
}

void OnboardingRootTest::aBlankKeyStillReachesTheShellFromTheField()
{
    SaveCalls calls;
    calls.answer = false;
    OnboardingRoot root(nullptr, saving(calls.action()), false);
    root.setFacts(facts(true, false));
    root.setToken(u"   "_s);
    root.pressSave();
    QTest::qWait(20);
    QVERIFY(calls.keys.isEmpty());
    root.submit();
    QTRY_COMPARE(calls.keys, QStringList{u"   "_s});
}

void OnboardingRootTest::forgettingAsksFirst()
{
    QString tokenWhenForgotten = u"-"_s;
    OnboardingRoot *rootPointer = nullptr;
    OnboardingRoot::Actions actions;
    actions.onForget = [&] { tokenWhenForgotten = rootPointer->token(); };
    OnboardingRoot root(nullptr, actions, false);
    rootPointer = &root;
    OnboardingRoot::Facts kept = facts(true, false);
    root.setFacts(kept);
    root.askForget();
    QVERIFY(!root.confirmsForget()); // no key kept: nothing to forget

    kept.hasToken = true;
    root.setFacts(kept);
    root.setToken(u"nieuw"_s);
    root.askForget();
    QVERIFY(root.confirmsForget());
    root.dismissForget();
    QVERIFY(!root.confirmsForget());
    QCOMPARE(tokenWhenForgotten, u"-"_s);
    QCOMPARE(root.token(), u"nieuw"_s);

    root.askForget();
    root.confirmForget();
    QCOMPARE(tokenWhenForgotten, QString());
    QVERIFY(!root.confirmsForget());
}

void OnboardingRootTest::theScreenComesBackEmpty()
{
    OnboardingRoot root(nullptr, {}, false);
    OnboardingRoot::Facts kept = facts(true, false);
    kept.hasToken = true;
    root.setFacts(kept);
    root.setToken(u"half geplakt"_s);
    root.askForget();
    kept.showing = false;
    root.setFacts(kept);
    QCOMPARE(root.screen(), OnboardingRoot::Screen::Palette);
    kept.showing = true;
    root.setFacts(kept);
    QCOMPARE(root.token(), QString());
    QVERIFY(!root.confirmsForget());
}

void OnboardingRootTest::theProblemScreensKeys_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("used");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("configures");
    QTest::addColumn<QStringList>("hints");

    const QStringList onRetry{u"⏎ Ctrl+R opnieuw proberen"_s, u"Tab naar API-sleutel wijzigen"_s,
                              u"Esc verberg"_s};
    const QStringList onConfigure{u"⏎ API-sleutel wijzigen"_s, u"Ctrl+R opnieuw proberen"_s,
                                  u"Tab naar Opnieuw proberen"_s, u"Esc verberg"_s};
    const auto row = [](const char *name, const QString &screen, const QStringList &keys, const QString &used,
                        int retries, int configures, const QStringList &hints) {
        QTest::newRow(name) << screen << keys << used << retries << configures << hints;
    };
    row("return tries again", u"problem"_s, {u"Return"_s}, u"y"_s, 1, 0, onRetry);
    row("enter tries again", u"problem"_s, {u"Enter"_s}, u"y"_s, 1, 0, onRetry);
    row("space tries again", u"problem"_s, {u"Space"_s}, u"y"_s, 1, 0, onRetry);
    row("a held return tries once", u"problem"_s, {u"Return"_s, u"held Return"_s}, u"yy"_s, 1, 0, onRetry);
    row("ctrl+r tries again", u"problem"_s, {u"Ctrl+R"_s}, u"y"_s, 1, 0, onRetry);
    row("a held ctrl+r tries once", u"problem"_s, {u"Ctrl+R"_s, u"held Ctrl+R"_s, u"held Ctrl+R"_s}, u"yyy"_s,
        1, 0, onRetry);
    row("r alone is nobody's", u"problem"_s, {u"R"_s}, u"n"_s, 0, 0, onRetry);
    row("escape is the window's", u"problem"_s, {u"Esc"_s}, u"n"_s, 0, 0, onRetry);
    row("tab moves to the key", u"problem"_s, {u"Tab"_s, u"Return"_s}, u"yy"_s, 0, 1, onConfigure);
    row("shift+tab too", u"problem"_s, {u"Backtab"_s, u"Space"_s}, u"yy"_s, 0, 1, onConfigure);
    row("tab twice is back", u"problem"_s, {u"Tab"_s, u"Tab"_s, u"Return"_s}, u"yyy"_s, 1, 0, onRetry);
    row("ctrl+r tries from the key's button", u"problem"_s, {u"Tab"_s, u"Ctrl+R"_s}, u"yy"_s, 1, 0,
        onConfigure);
    // A new failure after a try starts on the main button again.
    row("a new failure starts on retry", u"problem"_s, {u"Tab"_s, u"fails again"_s, u"Return"_s}, u"yy"_s, 1,
        0, onRetry);
    // The other screens leave these keys to their field, the palette or the window.
    row("connecting", u"connecting"_s, {u"Return"_s, u"Ctrl+R"_s, u"Tab"_s}, u"nnn"_s, 0, 0, {});
    row("palette", u"palette"_s, {u"Return"_s, u"Ctrl+R"_s, u"Tab"_s, u"Space"_s}, u"nnnn"_s, 0, 0, {});
    row("token screen", u"token"_s, {u"Return"_s, u"Ctrl+R"_s, u"Tab"_s}, u"nnn"_s, 0, 0, {});
}

// The connection-problem screen has no field to type in: Return presses its main button, and the hint
// bar at its foot names exactly the keys that work there.
void OnboardingRootTest::theProblemScreensKeys()
{
    QFETCH(QString, screen);
    QFETCH(QStringList, keys);
    QFETCH(QString, used);
    QFETCH(int, retries);
    QFETCH(int, configures);
    QFETCH(QStringList, hints);

    int retried = 0;
    int configured = 0;
    OnboardingRoot::Actions actions;
    actions.onRetry = [&] { ++retried; };
    actions.onConfigure = [&] { ++configured; };
    OnboardingRoot root(nullptr, actions, false);
    const auto failed = facts(false, false, u"Geen Homey gevonden."_s);
    if (screen == u"problem")
        root.setFacts(failed);
    else if (screen == u"connecting")
        root.setFacts(facts(false, true));
    else if (screen == u"token")
        root.setFacts(facts(true, false));

    QString got;
    for (const QString &name : keys) {
        if (name == u"fails again") {
            root.setFacts(facts(false, true));
            root.setFacts(failed);
            continue;
        }
        const bool held = name.startsWith(u"held "_s);
        const QString key = held ? name.mid(5) : name;
        const QMap<QString, std::pair<int, Qt::KeyboardModifiers>> table{
            {u"Return"_s, {Qt::Key_Return, Qt::NoModifier}},
            {u"Enter"_s, {Qt::Key_Enter, Qt::KeypadModifier}},
            {u"Space"_s, {Qt::Key_Space, Qt::NoModifier}},
            {u"Ctrl+R"_s, {Qt::Key_R, Qt::ControlModifier}},
            {u"R"_s, {Qt::Key_R, Qt::NoModifier}},
            {u"Esc"_s, {Qt::Key_Escape, Qt::NoModifier}},
            {u"Tab"_s, {Qt::Key_Tab, Qt::NoModifier}},
            {u"Backtab"_s, {Qt::Key_Backtab, Qt::ShiftModifier}}};
        QVERIFY2(table.contains(key), qPrintable(key));
        got += root.handleKey(table.value(key).first, table.value(key).second, held) ? u'y' : u'n';
    }
    QCOMPARE(got, used);
    QCOMPARE(retried, retries);
    QCOMPARE(configured, configures);

    // The hints as the bar draws them: each key cap the Linux way, then the words.
    QStringList shown;
    for (const KeyHint &hint : root.hintModel()->hints()) {
        QStringList parts;
        for (const QVariant &cap : hint.caps())
            parts << cap.value<KeyCapLook>().text;
        shown << (parts << hint.what).join(u' ');
    }
    QCOMPARE(shown, hints);
    // The button the hints put the keyboard on is the one drawn with the focus ring.
    if (screen == u"problem")
        QCOMPARE(root.focusedButton(), hints.constFirst().startsWith(u"⏎ Ctrl+R"_s)
                                           ? OnboardingRoot::Button::Retry
                                           : OnboardingRoot::Button::Configure);
}

void OnboardingRootTest::ctrlQQuitsFromTheRootsScreens_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("quits");
    QTest::newRow("problem") << u"problem"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("connecting") << u"connecting"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("token") << u"token"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("with shift, no promise")
        << u"token"_s << (Qt::ControlModifier | Qt::ShiftModifier) << false;
    // The palette's own key map quits there.
    QTest::newRow("palette") << u"palette"_s << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
}

// The tray menu promises Ctrl+Q wherever Quorvane has the keyboard, the pairing and connection screens
// included.
void OnboardingRootTest::ctrlQQuitsFromTheRootsScreens()
{
    QFETCH(QString, screen);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, quits);
    int quitted = 0;
    OnboardingRoot::Actions actions;
    actions.onQuit = [&] { ++quitted; };
    OnboardingRoot root(nullptr, actions, false);
    if (screen == u"problem")
        root.setFacts(facts(false, false, u"Geen Homey gevonden."_s));
    else if (screen == u"connecting")
        root.setFacts(facts(false, true));
    else if (screen == u"token")
        root.setFacts(facts(true, false));
    QCOMPARE(root.handleKey(Qt::Key_Q, modifiers, false), quits);
    QCOMPARE(quitted, quits ? 1 : 0);
}

QTEST_MAIN(OnboardingRootTest)
#include "tst_onboardingroot.moc"
