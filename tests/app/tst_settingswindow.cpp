#include "app/hotkeycontrol.h"
#include "app/hotkeytester.h"
#include "app/logreveal.h"
#include "app/notifier.h"
#include "app/paneltoggle.h"
#include "app/settings.h"
#include "app/settingswindowcontroller.h"
#include "base/log.h"
#include "logcapture.h"
#include "platform/freedesktopfilemanager.h"
#include "platform/x11hotkeygrabber.h"
#include "store/notifications/notificationfeed.h"
#include "ui/statustone.h"
#include "ui/symbolcatalog.h"
#include "ui/theme.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Quorvane_UiPlugin)

using namespace Qt::StringLiterals;

namespace {

bool onDisplay()
{
    return QGuiApplication::platformName() == u"xcb"_s;
}

class FakeBanners final : public BannerService {
public:
    bool hasBus() const override { return true; }
    bool hasServer() const override { return true; }
    void setHandlers(Handlers) override {}
    void post(const Banner &, Done done) override { done(std::nullopt); }
    void closeAll() override {}
};

// Refuses every change, as the desktop does for a combination another program holds.
class RefusingGrabber final : public HotKeyGrabber {
public:
    Availability availability() const override { return Availability::ready; }
    int grab(const HotKeyCombo::X11Grab &key) override
    {
        return key == *HotKeyCombo::standard().x11Grab() ? 0 : 10;
    }
    void release() override {}
    void setOnPress(std::function<void()>) override {}
};

// Every visible text item of the window with its place in the window.
QHash<QString, QRectF> drawnTexts(QQuickItem *item)
{
    QHash<QString, QRectF> texts;
    if (!item->isVisible())
        return texts;
    if (item->inherits("QQuickText") || item->inherits("QQuickTextInput") ||
        item->inherits("QQuickTextEdit")) {
        const QString text = item->property("text").toString();
        if (!text.isEmpty())
            texts.insert(text, item->mapRectToScene(QRectF(0, 0, item->width(), item->height())));
    }
    for (QQuickItem *child : item->childItems())
        texts.insert(drawnTexts(child));
    return texts;
}

int distance(const QColor &a, const QColor &b)
{
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

// Whether any pixel inside the rectangle is about this colour (text is drawn in it, antialiased).
bool hasColour(const QImage &image, const QRectF &rect, const QColor &colour, int tolerance = 24)
{
    const QRect area = rect.toAlignedRect().intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (distance(image.pixelColor(x, y), colour) <= tolerance)
                return true;
        }
    }
    return false;
}

void runXdotool(const QStringList &arguments)
{
    // Found once, so a test may empty PATH meanwhile.
    static const QString program = QStandardPaths::findExecutable(u"xdotool"_s);
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
}

void xdotool(const QStringList &keys)
{
    runXdotool(QStringList{u"key"_s} + keys);
}

// A click of the pointer in the middle of the item, as a person clicks.
void click(const QQuickItem *item)
{
    const QPoint at = item->mapToGlobal(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    runXdotool(
        {u"mousemove"_s, u"--sync"_s, QString::number(at.x()), QString::number(at.y()), u"click"_s, u"1"_s});
}

} // namespace

// Offscreen: the window rendered into PNGs in the build folder's settingswindow/. Under run-xvfb.sh: a
// combination recorded from real key presses becomes the global hot key.
class TstSettingsWindow : public QObject {
    Q_OBJECT

    SettingsStore defaults{u"settingswindow"_s};
    std::unique_ptr<QQmlEngine> engine;
    HotKeyTester tester;
    std::unique_ptr<Notifier> notifier;
    std::unique_ptr<NotificationFeed> feed;

private Q_SLOTS:
    void initTestCase()
    {
        Theme::useFamilies(u"DejaVu Sans"_s, u"DejaVu Sans Mono"_s);
        QVERIFY(SymbolCatalog::loadFont());
        engine = std::make_unique<QQmlEngine>();
        notifier = std::make_unique<Notifier>(std::make_shared<FakeBanners>());
    }

    void init()
    {
        SettingsStore::flushAll(); // a write of the last test may still be on its way to the file
        QFile::remove(defaults.filePath());
        Settings::defaults().remove(Settings::hotKeyCodeKey);
        Settings::defaults().remove(Settings::hotKeyModifiersKey);
        feed = std::make_unique<NotificationFeed>(defaults);
    }

    void drawsItsSectionsInOrder()
    {
        if (onDisplay())
            QSKIP("pictures are made offscreen");
        RefusingGrabber grabber;
        PanelToggle toggle({[] { return false; }, [] {}, [](const QString &) {}});
        HotKeyControl control(grabber, tester, toggle, false);
        control.setUp();
        NotificationSettings settings = feed->settings();
        settings.p2000Regions = {u"Utrecht"_s, u"Amsterdam-Amstelland"_s};
        feed->apply(settings);

        LogCapture logged;
        SettingsWindowController controller(
            *engine, tester, *feed, *notifier,
            {[] { return u"Live verbonden."_s; },
             {},
             [&](const HotKeyCombo &to) { return control.changeHotKey(to); }});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(window);
        controller.show();
        QCOMPARE(controller.window(), window);
        QCOMPARE(logged.matching(u"instellingen geopend"_s).size(), 2);
        QCOMPARE(window->title(), u"Quorvane, instellingen"_s);
        QCOMPARE(window->size(), QSize(500, 660));
        QVERIFY(QTest::qWaitForWindowExposed(window));

        // A refused combination and a running test, so their labels are in the picture too.
        SettingsModel *model = controller.model();
        model->toggleRecording();
        QVERIFY(model->handleKey(Qt::Key_K, Qt::ControlModifier | Qt::AltModifier));
        QVERIFY(model->registerFailed());
        model->armTest();

        const QDir folder(QStringLiteral(QUORVANE_SHOTS_DIR));
        QVERIFY(folder.mkpath(u"."_s));
        QImage image = window->grabWindow();
        QVERIFY(image.save(folder.filePath(u"settings-window.png"_s)));
        QVERIFY(distance(image.pixelColor(4, 4), Theme::surface()) <= 1);
        // The connection line stands at the bottom of the window as it opens.
        const QHash<QString, QRectF> opened = drawnTexts(window->contentItem());
        QVERIFY(opened.value(u"Live verbonden."_s).bottom() > 600);

        // The whole content at once, for the order of the sections.
        auto *content = window->findChild<QQuickItem *>(u"content"_s);
        QVERIFY(content);
        const int fullHeight = int(content->implicitHeight()) + 100;
        window->resize(500, fullHeight);
        QTRY_COMPARE(window->contentItem()->height(), double(fullHeight));
        image = window->grabWindow();
        QVERIFY(image.save(folder.filePath(u"settings-window-full.png"_s)));

        const QHash<QString, QRectF> texts = drawnTexts(window->contentItem());
        const SettingsTexts names = model->texts();
        const QStringList order = {
            names.appName,
            names.configure,
            names.notifications,
            model->permissionText(),
            names.sourcesCaption,
            u"Systeem en apps"_s,
            names.p2000Caption,
            u"Amsterdam-Amstelland, Utrecht"_s,
            names.hotKey,
            model->chipText(),
            names.registerFailed,
            names.test,
            model->testResultText(),
            names.panel,
            names.resetPanel,
            model->connectionText(),
        };
        double previous = -1;
        for (const QString &text : order) {
            QVERIFY2(texts.contains(text), qPrintable(text));
            QVERIFY2(texts[text].top() > previous, qPrintable(text));
            previous = texts[text].top();
        }

        QCOMPARE(model->chipText(), u"Ctrl+Alt+Space"_s);
        QVERIFY(hasColour(image, texts[names.hotKey], Theme::textFaint()));
        QVERIFY(hasColour(image, texts[model->chipText()].adjusted(-4, 0, 0, 0), Theme::surfaceTile(), 2));
        QVERIFY(hasColour(image, texts[model->permissionText()], toneColour(StatusTone::live)));
        QVERIFY(hasColour(image, texts[names.registerFailed], Theme::alarm()));
        QVERIFY(hasColour(image, texts[model->testResultText()], Theme::lit()));
    }

    // The recorder's prompt and the longest combination there is, whole in their chip, also where the
    // window is as narrow as it goes: the row may run out of room, but never draws a button over them.
    void chipHoldsItsWholeText_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("longest");
        QTest::newRow("prompt") << 500 << false;
        QTest::newRow("longest combination, narrowest window")
            << SettingsWindowController::minimumWidth << true;
    }
    void chipHoldsItsWholeText()
    {
        QFETCH(int, width);
        QFETCH(bool, longest);
        if (onDisplay())
            QSKIP("pictures are made offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier,
                                            {{}, {}, [](const HotKeyCombo &) { return true; }});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        SettingsModel *model = controller.model();
        if (longest) {
            model->toggleRecording();
            QVERIFY(model->handleKey(Qt::Key_PageDown, Qt::ControlModifier | Qt::AltModifier |
                                                           Qt::ShiftModifier | Qt::MetaModifier));
            QCOMPARE(model->chipText(), u"Ctrl+Alt+Shift+Super+Page Down"_s);
        }
        auto *content = window->findChild<QQuickItem *>(u"content"_s);
        auto *chip = window->findChild<QQuickItem *>(u"chip"_s);
        auto *record = window->findChild<QQuickItem *>(u"record"_s);
        auto *standard = window->findChild<QQuickItem *>(u"standard"_s);
        QVERIFY(content && chip && record && standard);
        QQuickItem *words = chip->childItems().constLast();
        QCOMPARE(words->property("text").toString(), model->chipText());
        const int height = int(content->implicitHeight()) + 100;
        window->resize(width, height);
        QTRY_COMPARE(window->contentItem()->size(), QSizeF(width, height));

        const auto check = [&](const QString &shot) {
            QVERIFY(window->grabWindow().save(QStringLiteral(QUORVANE_SHOTS_DIR "/") + shot));
            const QRectF area = chip->mapRectToScene(chip->boundingRect());
            const QPointF start = words->mapToScene(QPointF(0, 0));
            const QString text = words->property("text").toString();
            // Its text with the chip's padding on both sides; the buttons beside or below the chip, not
            // over it, and everything inside the column.
            QVERIFY2(start.x() + words->implicitWidth() + 10 <= area.right() + 0.5, qPrintable(text));
            QVERIFY2(start.x() >= area.left() + 10 - 0.5, qPrintable(text));
            const qreal column = content->mapToScene(QPointF(content->width(), 0)).x();
            QCOMPARE(column, width - 20.0);
            QVERIFY2(area.right() <= column, qPrintable(text));
            for (QQuickItem *button : {record, standard}) {
                const QRectF place = button->mapRectToScene(button->boundingRect());
                QVERIFY2(!place.intersects(area), qPrintable(text));
                QVERIFY2(place.right() <= column, qPrintable(button->property("text").toString()));
            }
        };
        QVERIFY(QDir().mkpath(QStringLiteral(QUORVANE_SHOTS_DIR)));
        const QString name = longest ? u"settings-window-narrow"_s : u"settings-window"_s;
        check(name + u"-combination.png"_s);
        const qreal shownWidth = chip->width();
        model->toggleRecording();
        QCOMPARE(words->property("text").toString(), model->texts().recordPrompt);
        check(name + u"-recording.png"_s);
        // A combination shorter than the prompt leaves the buttons where they were.
        if (!longest)
            QCOMPARE(chip->width(), shownWidth);
    }

    // The connection line at the foot holds its whole text, however long the advice: at the window's
    // size and where it is as narrow as it goes, it takes more lines, beside "Toon logboek" and above
    // the window's edge.
    void theFootHoldsItsWholeText_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        const QString refused =
            u"De Homey accepteert dit token niet meer. Maak een nieuwe API-sleutel aan en plak hem opnieuw."_s;
        const QString keyring =
            u"De computer gaf geen toegang tot de sleutelbos. Ontgrendel de sleutelbos als "
            u"daarom gevraagd wordt. Blijft het misgaan, koppel je Homey dan opnieuw."_s;
        QTest::newRow("key refused") << SettingsWindowController::windowWidth << refused;
        QTest::newRow("keyring failed") << SettingsWindowController::windowWidth << keyring;
        QTest::newRow("keyring failed, narrowest window")
            << SettingsWindowController::minimumWidth << keyring;
    }
    void theFootHoldsItsWholeText()
    {
        QFETCH(int, width);
        QFETCH(QString, text);
        if (onDisplay())
            QSKIP("pictures are made offscreen");
        SettingsModel::Hooks hooks;
        hooks.connectionText = [text] { return text; };
        SettingsWindowController controller(*engine, tester, *feed, *notifier, std::move(hooks));
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->resize(width, SettingsWindowController::windowHeight);
        QTRY_COMPARE(window->contentItem()->size(), QSizeF(width, SettingsWindowController::windowHeight));
        auto *line = window->findChild<QQuickItem *>(u"connection"_s);
        auto *showLog = window->findChild<QQuickItem *>(u"showLog"_s);
        QVERIFY(line && showLog);
        QCOMPARE(line->property("text").toString(), text);
        // Drawn, so laid out at this size.
        QVERIFY(QDir().mkpath(QStringLiteral(QUORVANE_SHOTS_DIR)));
        QVERIFY(window->grabWindow().save(QStringLiteral(QUORVANE_SHOTS_DIR "/settings-window-foot-") +
                                          QString::number(width) + u".png"_s));

        QVERIFY2(!line->property("truncated").toBool(), qPrintable(text));
        const QRectF drawn = line->mapRectToScene(
            QRectF(0, 0, line->width(), std::max(line->height(), line->property("contentHeight").toReal())));
        QVERIFY2(line->property("contentHeight").toReal() <= line->height() + 0.5, qPrintable(text));
        QVERIFY2(drawn.left() >= 0 && drawn.bottom() <= window->height(), qPrintable(text));
        QVERIFY(!drawn.intersects(showLog->mapRectToScene(showLog->boundingRect())));
    }

    // Tab through the whole window and back: every control that takes the keyboard is scrolled into
    // view, those below the fold (Wijzig, Standaard, Test de sneltoets, Herstel standaardgrootte) too.
    void theFocusedControlIsAlwaysInView()
    {
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *page = window->findChild<QQuickItem *>(u"page"_s);
        QVERIFY(page);
        QVERIFY(page->property("contentHeight").toReal() > page->height() + 200);
        const auto inView = [&](QQuickItem *item) {
            const QRectF area = item->mapRectToItem(page, item->boundingRect());
            return area.top() >= 0 && area.bottom() <= page->height();
        };
        const auto name = [](QQuickItem *item) {
            return item->property("text").toString() + u" ("_s +
                   QString::fromUtf8(item->metaObject()->className()) + u")"_s;
        };
        const SettingsTexts texts = controller.model()->texts();
        QStringList visited;
        const auto walk = [&](Qt::Key key, const QString &last) {
            visited.clear();
            for (int step = 0; step < 40 && !visited.contains(last); ++step) {
                QTest::keyClick(window, key);
                QQuickItem *focused = window->activeFocusItem();
                QVERIFY(focused);
                if (!page->isAncestorOf(focused))
                    continue; // the bottom row, always in view
                visited << focused->property("text").toString();
                QTRY_VERIFY2(inView(focused), qPrintable(name(focused)));
            }
            QVERIFY2(visited.contains(last), qPrintable(visited.join(u" | "_s)));
        };
        walk(Qt::Key_Tab, texts.resetPanel);
        for (const QString &below : {u"Wijzig"_s, texts.standard, u"Test de sneltoets"_s, texts.resetPanel})
            QVERIFY2(visited.contains(below), qPrintable(below));
        const qreal bottom = page->property("contentY").toReal();
        QVERIFY(bottom > 0);
        walk(Qt::Key_Backtab, texts.configure);
        QVERIFY(page->property("contentY").toReal() < bottom);
    }

    // The tray menu says Ctrl+Q stops Quorvane: so it does here, wherever the focus is, except while the
    // recorder takes every key.
    void ctrlQAsksToQuit_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("quits");
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        QTest::newRow("ctrl+q") << ctrl << QString() << true;
        QTest::newRow("ctrl+q in a field") << ctrl << u"field"_s << true;
        QTest::newRow("ctrl+q while recording") << ctrl << u"record"_s << false;
        QTest::newRow("ctrl+shift+q") << (Qt::ControlModifier | Qt::ShiftModifier) << QString() << false;
        QTest::newRow("q in a field") << Qt::KeyboardModifiers(Qt::NoModifier) << u"field"_s << false;
    }
    void ctrlQAsksToQuit()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, first);
        QFETCH(bool, quits);
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QSignalSpy asked(&controller, &SettingsWindowController::quitRequested);
        if (first == u"field")
            window->findChild<QQuickItem *>(u"regions"_s)
                ->findChild<QQuickItem *>(u"input"_s)
                ->forceActiveFocus();
        else if (first == u"record")
            controller.model()->toggleRecording();

        QTest::keyClick(window, Qt::Key_Q, modifiers);
        QCOMPARE(asked.size(), quits ? 1 : 0);
        QVERIFY(window->isVisible());
        if (first == u"record")
            QVERIFY(!controller.model()->isRecording()); // taken as the combination to register
        if (first == u"field")
            QCOMPARE(controller.model()->regionText(), modifiers == Qt::NoModifier ? u"q"_s : QString());
    }

    // A region derived from the hub's timeline, or a change made anywhere else, shows in the open window;
    // what the person types stays as typed while it says what is stored.
    void placeFieldsFollowWhatIsStored()
    {
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto field = [&](const QString &name) {
            return window->findChild<QQuickItem *>(name)->findChild<QQuickItem *>(u"input"_s);
        };
        QQuickItem *regions = field(u"regions"_s);
        QQuickItem *cities = field(u"cities"_s);
        QCOMPARE(regions->property("text").toString(), QString());

        NotificationSettings stored = feed->settings();
        stored.p2000Regions = {u"Hollands Midden"_s};
        feed->apply(stored);
        QCOMPARE(regions->property("text").toString(), u"Hollands Midden"_s);
        stored.p2000Cities = {u"Leiden"_s, u"Alphen aan den Rijn"_s};
        feed->apply(stored);
        QCOMPARE(cities->property("text").toString(), u"Alphen aan den Rijn, Leiden"_s);

        regions->forceActiveFocus();
        regions->setProperty("cursorPosition", regions->property("text").toString().size());
        for (const char typed : std::string(", Utrecht ,"))
            QTest::keyClick(window, typed);
        QCOMPARE(feed->settings().p2000Regions, (QSet<QString>{u"Hollands Midden"_s, u"Utrecht"_s}));
        // Another change keeps the typed text, trailing comma and all.
        stored = feed->settings();
        stored.pushEnabled = false;
        feed->apply(stored);
        QCOMPARE(regions->property("text").toString(), u"Hollands Midden, Utrecht ,"_s);
        QCOMPARE(cities->property("text").toString(), u"Alphen aan den Rijn, Leiden"_s);

        stored.p2000Regions.clear();
        feed->apply(stored);
        QCOMPARE(regions->property("text").toString(), QString());
    }

    // Where nothing shows the log, the window says where it is in words that can be selected and copied,
    // and the log says why.
    void logNoticeIsSelectable()
    {
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsModel::Hooks hooks;
        const QTemporaryDir bin;
        const QString opener = bin.filePath(u"xdg-open"_s);
        QFile script(opener);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\nexit 3\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        // No session bus here: no file manager either.
        hooks.fileManager = std::make_shared<FreedesktopFileManager>(QDBusConnection(u"none"_s), opener);
        SettingsWindowController controller(*engine, tester, *feed, *notifier, std::move(hooks));
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *notice = window->findChild<QQuickItem *>(u"logNotice"_s);
        QVERIFY(notice);
        QVERIFY(!notice->isVisible());

        LogCapture logged;
        controller.model()->revealLog();
        QTRY_VERIFY(notice->isVisible());
        const QStringList failures = logged.matching(u"!! logboek tonen: "_s);
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.constFirst().contains(u"no method available"_s), qPrintable(failures.constFirst()));
        auto *words = notice->findChild<QQuickItem *>(u"words"_s);
        QVERIFY(words);
        QVERIFY(words->property("readOnly").toBool());
        QVERIFY(words->property("selectByMouse").toBool());
        QVERIFY(QMetaObject::invokeMethod(words, "selectAll"));
        QVERIFY(words->property("selectedText").toString().endsWith(Log::fileURL()));
        QVERIFY(QDir().mkpath(QStringLiteral(QUORVANE_SHOTS_DIR)));
        QVERIFY(
            window->grabWindow().save(QStringLiteral(QUORVANE_SHOTS_DIR "/settings-window-log-path.png")));
    }

    // Where the desktop allows no global hot key, the section says what opens the panel and offers
    // nothing to record or test.
    void withoutAGlobalHotKeyTheSectionPointsToTheDesktop()
    {
        if (onDisplay())
            QSKIP("pictures are made offscreen");
        SettingsModel::Hooks hooks;
        hooks.globalHotKey = false;
        SettingsWindowController controller(*engine, tester, *feed, *notifier, std::move(hooks));
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *content = window->findChild<QQuickItem *>(u"content"_s);
        window->resize(500, int(content->implicitHeight()) + 100);
        QTRY_VERIFY(window->contentItem()->height() > 660);
        const QDir folder(QStringLiteral(QUORVANE_SHOTS_DIR));
        QVERIFY(folder.mkpath(u"."_s));
        QVERIFY(window->grabWindow().save(folder.filePath(u"settings-window-wayland.png"_s)));

        SettingsModel *model = controller.model();
        const QHash<QString, QRectF> texts = drawnTexts(window->contentItem());
        const SettingsTexts names = model->texts();
        const QString elsewhere = names.hotKeyElsewhere;
        QVERIFY(texts.contains(elsewhere));
        QVERIFY(texts[elsewhere].top() > texts[names.hotKey].top());
        // Nor does the panel section promise a place it cannot know.
        QVERIFY(texts.contains(model->panelNote()));
        QVERIFY(!model->panelNote().contains(u"worden onthouden"_s));
        for (const QString &offer : {model->chipText(), model->recordButtonText(), model->testButtonText(),
                                     names.standard, names.test})
            QVERIFY2(!texts.contains(offer), qPrintable(offer));
        model->toggleRecording();
        model->armTest();
        QVERIFY(!model->isRecording());
        QVERIFY(!tester.isArmed());
    }

    void recordingKeepsKeysFromTheFields()
    {
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *regions = window->findChild<QQuickItem *>(u"regions"_s);
        QVERIFY(regions);
        auto *field = regions->findChild<QQuickItem *>(u"input"_s);
        QVERIFY(field);
        field->forceActiveFocus();
        QTest::keyClick(window, Qt::Key_U);
        QCOMPARE(controller.model()->regionText(), u"u"_s);

        controller.model()->toggleRecording();
        QTest::keyClick(window, Qt::Key_T);
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!controller.model()->isRecording());
        QTest::keyClick(window, Qt::Key_T);
        QCOMPARE(controller.model()->regionText(), u"ut"_s);
        QCOMPARE(feed->settings().p2000Regions, QSet<QString>{u"ut"_s});
    }

    // Without a window manager a window has no close button: the keys are the only way out. The
    // recorder takes them for itself, and an open list closes before the window does.
    void escapeAndCtrlWCloseTheWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("first");
        QTest::addColumn<bool>("closes");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << QString() << true;
        QTest::newRow("ctrl+w") << int(Qt::Key_W) << Qt::KeyboardModifiers(Qt::ControlModifier) << QString()
                                << true;
        QTest::newRow("escape in a field") << int(Qt::Key_Escape) << none << u"field"_s << true;
        QTest::newRow("shift+escape")
            << int(Qt::Key_Escape) << Qt::KeyboardModifiers(Qt::ShiftModifier) << QString() << false;
        QTest::newRow("ctrl+shift+w")
            << int(Qt::Key_W) << (Qt::ControlModifier | Qt::ShiftModifier) << QString() << false;
        QTest::newRow("w") << int(Qt::Key_W) << none << QString() << false;
        QTest::newRow("escape while recording") << int(Qt::Key_Escape) << none << u"record"_s << false;
        QTest::newRow("ctrl+w while recording")
            << int(Qt::Key_W) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"record"_s << false;
        QTest::newRow("escape on an open list") << int(Qt::Key_Escape) << none << u"list"_s << false;
    }
    void escapeAndCtrlWCloseTheWindow()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, first);
        QFETCH(bool, closes);
        if (onDisplay())
            QSKIP("runs offscreen");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        SettingsModel *model = controller.model();
        model->armTest();
        QObject *popup = nullptr;
        if (first == u"field") {
            auto *field = window->findChild<QQuickItem *>(u"regions"_s)->findChild<QQuickItem *>(u"input"_s);
            QVERIFY(field);
            field->forceActiveFocus();
        } else if (first == u"record") {
            model->toggleRecording();
        } else if (first == u"list") {
            QQuickItem *combo = nullptr;
            for (QQuickItem *item : window->findChildren<QQuickItem *>()) {
                if (item->inherits("QQuickComboBox"))
                    combo = item;
            }
            QVERIFY(combo);
            popup = combo->property("popup").value<QObject *>();
            QVERIFY(popup);
            combo->forceActiveFocus();
            QTest::keyClick(window, Qt::Key_Space);
            QTRY_VERIFY(popup->property("opened").toBool());
        }

        QTest::keyClick(window, Qt::Key(key), modifiers);
        QCOMPARE(window->isVisible(), !closes);
        // Closed as by the window manager: a pending test of the hot key goes with it.
        QCOMPARE(tester.isArmed(), !closes);
        if (first == u"record") {
            // Escape ends the recording; Ctrl+W is captured as a combination like any other (and
            // refused here, where nothing registers one).
            QVERIFY(!model->isRecording());
            QCOMPARE(model->registerFailed(), key == Qt::Key_W);
        }
        if (popup)
            QTRY_VERIFY(!popup->property("visible").toBool());
        if (closes) {
            controller.show();
            QCOMPARE(controller.window(), window);
            QVERIFY(window->isVisible());
        }
        tester.disarm();
    }

    void recordedCombinationBecomesTheHotKey()
    {
        if (!onDisplay())
            QSKIP("needs run-xvfb.sh");
        X11HotKeyGrabber grabber;
        QCOMPARE(grabber.availability(), HotKeyGrabber::Availability::ready);
        PanelToggle toggle({[] { return false; }, [] {}, [](const QString &) {}});
        HotKeyControl control(grabber, tester, toggle, false);
        control.setUp();
        QVERIFY(control.isRegistered());
        SettingsWindowController controller(
            *engine, tester, *feed, *notifier,
            {{}, {}, [&](const HotKeyCombo &to) { return control.changeHotKey(to); }});
        controller.show();
        QVERIFY(QTest::qWaitForWindowActive(controller.window()));

        LogCapture logged;
        SettingsModel *model = controller.model();
        model->toggleRecording();
        xdotool({u"ctrl+alt+k"_s});
        const HotKeyCombo ctrlAltK{40, HotKeyCombo::controlMask | HotKeyCombo::optionMask};
        QTRY_COMPARE(model->chipText(), u"Ctrl+Alt+K"_s);
        QCOMPARE(control.shownCombo(), ctrlAltK);
        QCOMPARE(Settings::hotKey(), ctrlAltK);

        // The tester proves the new combination arrives, and after it a press works the panel.
        model->armTest();
        xdotool({u"ctrl+alt+k"_s});
        QTRY_COMPARE(model->testResultText(), u"Werkt"_s);
        xdotool({u"ctrl+alt+k"_s});
        QTRY_COMPARE(logged.matching(u"hotkey: gevuurd"_s).size(), 1);
    }

    void logButtonSaysWhereTheLogIsWhenNothingCanShowIt()
    {
        if (!onDisplay())
            QSKIP("needs run-xvfb.sh");
        SettingsWindowController controller(*engine, tester, *feed, *notifier, {});
        controller.show();
        QQuickWindow *window = controller.window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *notice = window->findChild<QQuickItem *>(u"logNotice"_s);
        auto *button = window->findChild<QQuickItem *>(u"showLog"_s);
        QVERIFY(notice && button);
        QVERIFY(!notice->isVisible());

        // No session bus here, so no file manager; and no opener on the path.
        runXdotool({u"version"_s});
        const QTemporaryDir nothing;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(nothing.path()));
        LogCapture logged;
        click(button);
        QTRY_VERIFY(notice->isVisible());
        qputenv("PATH", path);
        QCOMPARE(controller.model()->logNotice(), LogReveal::unshownText());
        // Wrapped inside the window, path and all.
        const auto shown = [&] { return drawnTexts(window->contentItem()).value(LogReveal::unshownText()); };
        QTRY_VERIFY(!shown().isEmpty() && window->contentItem()->boundingRect().contains(shown()));
        QVERIFY(QDir().mkpath(QStringLiteral(QUORVANE_SHOTS_DIR)));
        QVERIFY(
            window->grabWindow().save(QStringLiteral(QUORVANE_SHOTS_DIR "/settings-window-log-notice.png")));
        QCOMPARE(logged.matching(u"!! logboek tonen: "_s).size(), 1);
    }
};

QTEST_MAIN(TstSettingsWindow)
#include "tst_settingswindow.moc"
