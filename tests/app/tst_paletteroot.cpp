#include "app/notifier.h"
#include "app/onboarding.h"
#include "app/paletteroot.h"
#include "awaittask.h"
#include "fakerestclient.h"
#include "logcapture.h"
#include "manualclock.h"
#include "ports/bannerservice.h"
#include "store/home/homestore.h"
#include "ui/motion.h"
#include "ui/motionpreference.h"
#include "ui/palette/onboardingroot.h"
#include "ui/palette/palettecontroller.h"
#include "ui/panelvisibility.h"

#include <QKeySequence>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

class FakeBanners final : public BannerService {
public:
    bool hasBus() const override { return true; }
    bool hasServer() const override { return server; }
    void setHandlers(Handlers) override {}
    void post(const Banner &, Done done) override { done(std::nullopt); }
    void closeAll() override { ++closed; }

    bool server = false;
    int closed = 0;
};

const QString secret = u"qv-geheim-sleutel-7781"_s;

// The panel's root as the app shell builds it, in an offscreen window, over a store of one room.
class Shell {
public:
    // loads: false gives a store whose load fails, as when the hub cannot be reached.
    explicit Shell(bool loads = true)
    {
        auto rest = std::make_shared<FakeRestClient>(clock);
        rest->home.zones = {Zone{.id = u"kamer"_s, .name = u"Kamer"_s}};
        if (!loads)
            rest->fail(u"devices"_s, HomeyError::unreachable(u"offline"_s));
        store = std::make_unique<HomeStore>(rest, nullptr, nullptr, SettingsStore(u"paletteroot"_s),
                                            HomeStore::Options{clock});
        awaitTask(store->start());
        notifier = std::make_unique<Notifier>(banners);

        PaletteRoot::Parts parts;
        parts.store = store.get();
        parts.onboarding = &onboarding;
        parts.notifier = notifier.get();
        parts.hotKeyLabel = u"Ctrl+Alt+Space"_s;
        parts.motion = &motion;
        PaletteRoot::Actions actions;
        actions.onDismiss = [this] { ++dismissed; };
        actions.onRetry = [this] { ++retries; };
        actions.onForget = [this] { ++forgets; };
        // The shell's save: the model's check, with a hub that refuses every key but the secret.
        actions.onSave = [this](QString key) -> QCoro::Task<bool> {
            const auto persistToken = [this](QString token, HomeyEndpoint) { return persist(token); };
            const std::optional<HomeyEndpoint> endpoint = co_await onboarding.save(
                key, [] { return resolve(); }, [](QUrl, QString token) { return validate(token); },
                persistToken);
            co_return endpoint.has_value();
        };
        item.reset(PaletteRoot::make(engine, parts, std::move(actions)));
        root = PaletteRoot::of(item.get());
        if (!item || !root)
            return;
        window.resize(760, 540);
        item->setParentItem(window.contentItem());
        item->setSize(QSizeF(760, 540));
        window.show();
        window.requestActivate();
        ready = QTest::qWaitForWindowActive(&window);
    }
    ~Shell()
    {
        item.reset();
        store.reset();
    }

    static QCoro::Task<HomeyEndpoint> resolve()
    {
        co_return HomeyEndpoint{QUrl(u"http://127.0.0.1:1"_s), u"h"_s, {}};
    }
    static QCoro::Task<HomeyIdentity> validate(QString token)
    {
        if (token != secret)
            throw HomeyError::unauthorized();
        co_return HomeyIdentity{};
    }
    QCoro::Task<> persist(QString token)
    {
        kept = token;
        co_return;
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&window, Qt::Key(key), modifiers);
        QTest::qWait(10);
    }
    void typeText(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(&window, c.toLatin1());
        QTest::qWait(10);
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<HomeStore> store;
    Onboarding onboarding;
    std::shared_ptr<FakeBanners> banners = std::make_shared<FakeBanners>();
    std::unique_ptr<Notifier> notifier;
    PanelVisibility visibility;
    MotionPreference preference{true, nullptr};
    Motion motion{&visibility, &preference};
    QQmlEngine engine;
    QQuickWindow window;
    std::unique_ptr<QQuickItem> item;
    PaletteRoot *root = nullptr;
    bool ready = false;
    int dismissed = 0;
    int retries = 0;
    int forgets = 0;
    QString kept;
};

} // namespace

// The root the app shell puts in the panel: it follows the onboarding model and the notifier, and
// hands the window's keys to the palette only while the palette is on screen.
class PaletteRootTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keysReachThePaletteOnlyWhileItShows();
    void theKeyIsCheckedKeptAndNeverLogged();
    void theListFollowsTheNotifier();
    void ctrlRTriesAgainOnTheConnectionScreen();
    void theKeyboardPressesTheFocusedButton();
    void screensAreMadeWhenFirstShownOrOnceComplete();
};

void PaletteRootTest::keysReachThePaletteOnlyWhileItShows()
{
    Shell shell;
    QVERIFY(shell.ready);
    shell.press(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(shell.store->showsNotifications());
    shell.press(Qt::Key_Escape);
    QVERIFY(!shell.store->showsNotifications());
    shell.press(Qt::Key_Escape);
    QCOMPARE(shell.dismissed, 1);

    shell.onboarding.setShowing(true);
    QCOMPARE(shell.root->onboardingRoot()->screen(), OnboardingRoot::Screen::Token);
    shell.press(Qt::Key_N, Qt::ControlModifier);
    shell.press(Qt::Key_Escape);
    QVERIFY(!shell.store->showsNotifications());
    QCOMPARE(shell.dismissed, 1);
    shell.typeText(u"ab c"_s);
    QCOMPARE(shell.root->onboardingRoot()->token(), u"ab c"_s);
    QCOMPARE(shell.store->query(), QString());

    shell.onboarding.setShowing(false);
    shell.onboarding.setConnectionProblem(u"Geen Homey."_s);
    QCOMPARE(shell.root->onboardingRoot()->screen(), OnboardingRoot::Screen::Problem);
    shell.onboarding.setRetrying(true);
    QVERIFY(!shell.root->onboardingRoot()->problem().keepsTrying.isEmpty());
    shell.onboarding.setConnectionProblem(std::nullopt);
    QCOMPARE(shell.root->onboardingRoot()->screen(), OnboardingRoot::Screen::Palette);
    shell.typeText(u"kamer"_s);
    QCOMPARE(shell.store->query(), u"kamer"_s);
}

// The store's load failed: the connection screen's "Opnieuw proberen" answers Ctrl+R, as its label in
// the error bar says; other keys do nothing there.
void PaletteRootTest::ctrlRTriesAgainOnTheConnectionScreen()
{
    Shell shell(false);
    QVERIFY(shell.ready);
    QCOMPARE(shell.store->connection().kind(), ConnectionState::Kind::failed);
    QCOMPARE(shell.root->onboardingRoot()->screen(), OnboardingRoot::Screen::Problem);
    shell.press(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(shell.retries, 1);
    shell.press(Qt::Key_R);
    shell.press(Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
    shell.press(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(shell.retries, 1);
    QVERIFY(!shell.store->showsNotifications());

    // Elsewhere the chord is not the connection screen's.
    shell.onboarding.setShowing(true);
    shell.press(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(shell.retries, 1);
}

void PaletteRootTest::theKeyIsCheckedKeptAndNeverLogged()
{
    LogCapture log;
    Shell shell;
    QVERIFY(shell.ready);
    shell.onboarding.setShowing(true);
    shell.typeText(u"qv-fout"_s);
    shell.press(Qt::Key_Return);
    QTRY_VERIFY(shell.onboarding.message());
    QCOMPARE(shell.root->onboardingRoot()->token(), u"qv-fout"_s); // kept for correction

    shell.root->onboardingRoot()->setToken(QString());
    shell.typeText(secret);
    shell.press(Qt::Key_Return);
    QTRY_COMPARE(shell.kept, secret);
    QTRY_COMPARE(shell.root->onboardingRoot()->token(), QString());
    QVERIFY(shell.onboarding.hasToken());
    QVERIFY(!log.lines().isEmpty());
    QCOMPARE(log.matching(u"qv-"_s), QStringList());
}

void PaletteRootTest::theListFollowsTheNotifier()
{
    Shell shell;
    QVERIFY(shell.ready);
    NotificationsScreen *list = shell.root->palette()->notifications();
    QCOMPARE(list->permission(), NotificationsScreen::Permission::Denied);
    QVERIFY(list->showsPermissionHint());

    // The hint asks again; a notification server has come meanwhile.
    shell.banners->server = true;
    list->requestPermission();
    QCOMPARE(list->permission(), NotificationsScreen::Permission::Granted);

    shell.press(Qt::Key_N, Qt::ControlModifier);
    shell.press(Qt::Key_Backspace, Qt::ControlModifier);
    QCOMPARE(shell.banners->closed, 1);
}

// The forget question starts on "Annuleren": Space, Return and Enter press it and Escape answers the same;
// after Tab, Return presses "Wis de sleutel".
void PaletteRootTest::theKeyboardPressesTheFocusedButton()
{
    Shell shell;
    QVERIFY(shell.ready);
    shell.onboarding.setHasToken(true);
    shell.onboarding.setShowing(true);
    OnboardingRoot *root = shell.root->onboardingRoot();
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        root->askForget();
        QVERIFY(root->confirmsForget());
        QTest::qWait(10);
        shell.press(key);
        QVERIFY2(!root->confirmsForget(), qPrintable(QKeySequence(key).toString()));
    }
    QCOMPARE(shell.forgets, 0);

    root->askForget();
    QTest::qWait(10);
    shell.press(Qt::Key_Tab);
    shell.press(Qt::Key_Return);
    QVERIFY(!root->confirmsForget());
    QCOMPARE(shell.forgets, 1);
    // Escape with no question open is not the root's to take.
    QVERIFY(!root->handleKey(Qt::Key_Escape, Qt::NoModifier, false));
}

void PaletteRootTest::screensAreMadeWhenFirstShownOrOnceComplete()
{
    // Making a screen re-read the flag that made it once: Qt said so on every start.
    QTest::failOnWarning(QRegularExpression(u"Binding loop"_s));
    Shell shell;
    QVERIFY(shell.ready);
    // On screen, as the shell tells the store when the panel shows: the palette follows the store.
    shell.store->panelDidAppear();
    const auto find = [&shell](const QString &name) { return shell.item->findChild<QQuickItem *>(name); };
    // The first frame holds only the screen on show, and no chip that nothing asked for.
    QVERIFY(!find(u"resultsView"_s));
    QVERIFY(!find(u"notificationsView"_s));
    QVERIFY(!find(u"scopeChip"_s));

    shell.press(Qt::Key_N, Qt::ControlModifier);
    QVERIFY(shell.store->showsNotifications());
    QQuickItem *list = nullptr;
    QTRY_VERIFY((list = find(u"notificationsView"_s)));
    QVERIFY(list->parentItem()->isVisible());
    // Made once, kept: away from it, it is hidden, not gone.
    shell.store->exitNotifications();
    QTRY_VERIFY(!list->parentItem()->isVisible());
    QCOMPARE(find(u"notificationsView"_s), list);

    QVERIFY(!find(u"resultsView"_s));
    shell.item->setProperty("complete", true);
    QQuickItem *results = find(u"resultsView"_s);
    QVERIFY(results);
    QVERIFY(!results->isVisible());
}

QTEST_MAIN(PaletteRootTest)
#include "tst_paletteroot.moc"
