#include "app/hotkeycontrol.h"
#include "app/hotkeytester.h"
#include "app/notifier.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "app/settingsmodel.h"
#include "awaittask.h"
#include "fakedesktop.h"
#include "fakerestclient.h"
#include "logcapture.h"
#include "manualclock.h"
#include "store/home/homestore.h"
#include "store/notifications/notificationfeed.h"
#include "ui/theme.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Source = HomeyNotification::Source;

namespace {

const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

} // namespace

class TstSettingsModel : public QObject {
    Q_OBJECT

    SettingsStore defaults{u"settingsmodel"_s};
    std::shared_ptr<FakeBanners> banners;
    std::unique_ptr<Notifier> notifier;
    std::unique_ptr<NotificationFeed> feed;
    HotKeyTester tester;

    std::unique_ptr<SettingsModel> model(SettingsModel::Hooks hooks = {})
    {
        return std::make_unique<SettingsModel>(tester, *feed, *notifier, std::move(hooks));
    }

private Q_SLOTS:
    void init()
    {
        SettingsStore::flushAll(); // a write of the last test may still be on its way to the file
        QFile::remove(defaults.filePath());
        Settings::defaults().remove(Settings::hotKeyCodeKey);
        Settings::defaults().remove(Settings::hotKeyModifiersKey);
        banners = std::make_shared<FakeBanners>();
        notifier = std::make_unique<Notifier>(banners);
        feed = std::make_unique<NotificationFeed>(defaults);
        tester.disarm();
    }

    void everyControlChangesTheFeedAtOnce()
    {
        auto settings = model();
        using Edit = std::function<void(NotificationSettings &)>;
        const std::tuple<const char *, std::function<void()>, Edit> steps[] = {
            {"push off", [&] { settings->setPushEnabled(false); }, [](auto &s) { s.pushEnabled = false; }},
            {"weather on", [&] { settings->setSourceEnabled(2, true); },
             [](auto &s) { s.enabledSources.insert(Source::weather); }},
            {"p2000 off", [&] { settings->setSourceEnabled(0, false); },
             [](auto &s) { s.enabledSources.remove(Source::p2000); }},
            {"p2000 on again", [&] { settings->setSourceEnabled(0, true); },
             [](auto &s) { s.enabledSources.insert(Source::p2000); }},
            {"alles", [&] { settings->setPriorityIndex(4); }, [](auto &s) { s.p2000MaxPriority = 5; }},
            {"alleen 1", [&] { settings->setPriorityIndex(0); }, [](auto &s) { s.p2000MaxPriority = 1; }},
            {"no sixth choice", [&] { settings->setPriorityIndex(5); }, [](auto &) {}},
            {"time-sensitive off", [&] { settings->setTimeSensitive(false); },
             [](auto &s) { s.timeSensitiveForPrio1 = false; }},
            {"cities", [&] { settings->setCityText(u" Zeist ,,Bunnik,"_s); },
             [](auto &s) {
                 s.p2000Cities = {u"Zeist"_s, u"Bunnik"_s};
             }},
        };
        for (const auto &[name, act, edit] : steps) {
            NotificationSettings expected = feed->settings();
            edit(expected);
            act();
            QVERIFY2(feed->settings() == expected, name);
            QVERIFY2(NotificationSettings::load(defaults) == expected, name);
        }
        QCOMPARE(settings->sourcesEnabled(), (QVariantList{true, true, true, true, true}));
        QCOMPARE(settings->priorityIndex(), 0);
        QVERIFY(!settings->pushEnabled());
    }

    void eachCheckboxSwitchesTheSourceItIsLabelledWith()
    {
        auto settings = model();
        const QVariantList labels = SettingsModel::sources();
        QCOMPARE(labels.size(), 5);
        for (int i = 0; i < labels.size(); ++i) {
            const QSet<Source> before = feed->settings().enabledSources;
            const bool on = settings->sourcesEnabled().at(i).toBool();
            settings->setSourceEnabled(i, !on);
            QSet<Source> changed = feed->settings().enabledSources;
            changed = (changed - before) + (before - changed);
            QCOMPARE(changed.size(), 1);
            QCOMPARE(changed.begin()->title(), labels.at(i).toMap().value(u"title"_s).toString());
            QCOMPARE(settings->sourcesEnabled().at(i).toBool(), !on);
        }
    }

    void regionsAreSplitAndShownBackSorted()
    {
        auto settings = model();
        settings->appeared();
        QCOMPARE(settings->regionText(), QString());
        QSignalSpy saved(feed.get(), &NotificationFeed::settingsChanged);

        // Every keystroke is applied, the partial name included.
        for (const QString &typed :
             {u"Utrecht"_s, u"Utrecht,"_s, u"Utrecht, A"_s, u"Utrecht, Amsterdam-Amstelland"_s})
            settings->setRegionText(typed);
        QCOMPARE(feed->settings().p2000Regions, (QSet<QString>{u"Utrecht"_s, u"Amsterdam-Amstelland"_s}));
        QCOMPARE(saved.size(), 3); // "Utrecht," splits to what "Utrecht" did: nothing new to save
        // The field keeps what was typed until the window comes into view again.
        QCOMPARE(settings->regionText(), u"Utrecht, Amsterdam-Amstelland"_s);
        settings->appeared();
        QCOMPARE(settings->regionText(), u"Amsterdam-Amstelland, Utrecht"_s);

        settings->setRegionText(u" , "_s);
        QVERIFY(feed->settings().p2000Regions.isEmpty());
    }

    void permissionRowFollowsTheNotificationService()
    {
        banners->server = false;
        notifier = std::make_unique<Notifier>(banners);
        auto settings = model();
        QVERIFY(settings->permissionText().startsWith(u"Je computer toont geen meldingen van Quorvane"_s));
        QCOMPARE(settings->permissionColor(), Theme::alarm());

        // A service started meanwhile shows once the window comes into view again.
        banners->server = true;
        QSignalSpy changed(settings.get(), &SettingsModel::permissionChanged);
        settings->appeared();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(settings->permissionText(), u"Je computer mag meldingen tonen"_s);
        QCOMPARE(settings->permissionSymbol(), u"checkmark.circle.fill"_s);

        banners->bus = false;
        notifier = std::make_unique<Notifier>(banners);
        auto withoutBus = model();
        QCOMPARE(withoutBus->permissionText(), notifier->unavailableReason());
        QVERIFY(!withoutBus->permissionText().isEmpty());
    }

    void refusedCombinationKeepsTheRegisteredOne()
    {
        LogCapture logged;
        FakeGrabber grabber;
        grabber.held = {'k'};
        PanelToggle toggle({[] { return false; }, [] {}, [](const QString &) {}});
        HotKeyControl control(grabber, tester, toggle, false);
        control.setUp();
        auto settings = model({{}, {}, [&](const HotKeyCombo &to) { return control.changeHotKey(to); }});

        settings->toggleRecording();
        QCOMPARE(settings->chipText(), u"Druk een combinatie…"_s);
        QCOMPARE(settings->recordButtonText(), u"Annuleer"_s);
        QVERIFY(settings->handleKey(Qt::Key_A, Qt::NoModifier)); // a bare key: swallowed, still recording
        QVERIFY(settings->isRecording());
        QVERIFY(settings->handleKey(Qt::Key_K, ctrlAlt));

        QVERIFY(settings->registerFailed());
        QCOMPARE(settings->chipText(), u"Ctrl+Alt+Space"_s);
        QCOMPARE(settings->combo(), control.shownCombo());
        QCOMPARE(grabber.grabbed, HotKeyCombo::standard().x11Grab());
        QCOMPARE(Settings::hotKey(), HotKeyCombo::standard());

        settings->toggleRecording();
        QVERIFY(settings->handleKey(Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier));
        const HotKeyCombo ctrlShiftJ{38, HotKeyCombo::controlMask | HotKeyCombo::shiftMask};
        QVERIFY(!settings->registerFailed());
        QCOMPARE(settings->chipText(), u"Ctrl+Shift+J"_s);
        QCOMPARE(Settings::hotKey(), ctrlShiftJ);
        QCOMPARE(grabber.grabbed, ctrlShiftJ.x11Grab());
        QVERIFY(logged.lines().contains(u"sneltoets gewijzigd naar Ctrl+Shift+J"_s));
        // Once recording ends, keys belong to the window's fields again.
        QVERIFY(!settings->handleKey(Qt::Key_B, Qt::NoModifier));

        settings->useStandard();
        QCOMPARE(Settings::hotKey(), HotKeyCombo::standard());
        QCOMPARE(settings->chipText(), u"Ctrl+Alt+Space"_s);
    }

    void testerShowsWaitingThenWorks()
    {
        auto settings = model();
        settings->armTest();
        QVERIFY(!settings->canTest());
        QCOMPARE(settings->testButtonText(), u"Wachten op Ctrl+Alt+Space…"_s);
        QCOMPARE(settings->testResultText(), u"Druk nu Ctrl+Alt+Space"_s);
        QVERIFY(tester.consumeFire());
        QCOMPARE(settings->testResultText(), u"Werkt"_s);
        QVERIFY(settings->canTest());

        // Closing the window abandons a pending test and a recording.
        settings->armTest();
        settings->toggleRecording();
        settings->disappeared();
        QVERIFY(!tester.isArmed());
        QVERIFY(!settings->isRecording());
    }

    void panelResetRemovesTheSavedFrame()
    {
        LogCapture logged;
        Settings::setPanelFrame(QRectF(100, 200, 700, 500));
        QVERIFY(Settings::panelFrame());
        model()->resetPanelSize();
        QVERIFY(!Settings::defaults().contains(Settings::panelFrameKey));
        QCOMPARE(logged.lines(), QStringList{u"panelgrootte teruggezet naar standaard"_s});
    }

    void connectionLineFollowsTheStore()
    {
        const auto clock = std::make_shared<ManualClock>();
        const auto rest = std::make_shared<FakeRestClient>(clock);
        HomeStore first(rest, nullptr, feed.get(), defaults, HomeStore::Options{clock});
        HomeStore second(rest, nullptr, feed.get(), defaults, HomeStore::Options{clock});
        HomeStore *current = &first;
        int reads = 0;
        const auto summary = [&current, &reads] {
            ++reads;
            const ConnectionState &state = current->connection();
            return QString::number(int(state.kind())) + u' ' + state.text();
        };
        auto settings = model({summary, {}, {}});
        settings->follow(&first, &HomeStore::connectionChanged);
        QCOMPARE(settings->connectionText(), u"3 "_s); // idle

        awaitTask(first.start());
        QCOMPARE(first.connection().kind(), ConnectionState::Kind::degraded);
        QCOMPARE(settings->connectionText(), summary());

        // A swapped-in store is the one followed; the old one says nothing more.
        current = &second;
        settings->follow(&second, &HomeStore::connectionChanged);
        QCOMPARE(settings->connectionText(), u"3 "_s);
        reads = 0;
        awaitTask(first.stop());
        QCOMPARE(reads, 0);
        awaitTask(second.start());
        QCOMPARE(settings->connectionText(), summary());
    }
};

QTEST_GUILESS_MAIN(TstSettingsModel)
#include "tst_settingsmodel.moc"
