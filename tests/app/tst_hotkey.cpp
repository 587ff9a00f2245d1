#include "app/hotkeycombo.h"
#include "app/hotkeyrecorder.h"
#include "app/hotkeytester.h"
#include "logcapture.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TstHotKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayNamesKeysTheDesktopsWay_data()
    {
        QTest::addColumn<HotKeyCombo>("combo");
        QTest::addColumn<QString>("display");
        QTest::newRow("standard") << HotKeyCombo::standard() << u"Ctrl+Alt+Space"_s;
        QTest::newRow("shift before super") << HotKeyCombo{0, 0x300} << u"Shift+Super+A"_s;
        QTest::newRow("all four, other bits ignored")
            << HotKeyCombo{36, 0x1F00} << u"Ctrl+Alt+Shift+Super+Return"_s;
        QTest::newRow("backspace") << HotKeyCombo{51, 0x800} << u"Alt+Backspace"_s;
        QTest::newRow("forward delete") << HotKeyCombo{117, 0x1000} << u"Ctrl+Delete"_s;
        QTest::newRow("arrow") << HotKeyCombo{123, 0x1000} << u"Ctrl+←"_s;
        QTest::newRow("outside the table") << HotKeyCombo{200, 0x1000} << u"Ctrl+toets 200"_s;
    }
    void displayNamesKeysTheDesktopsWay()
    {
        QFETCH(HotKeyCombo, combo);
        QFETCH(QString, display);
        QCOMPARE(combo.display(), display);
    }

    void keyEventsBecomeStoredCombos_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<std::optional<HotKeyCombo>>("combo");
        using M = Qt::KeyboardModifiers;
        using C = std::optional<HotKeyCombo>;
        QTest::newRow("ctrl alt space")
            << int(Qt::Key_Space) << M(Qt::ControlModifier | Qt::AltModifier) << C(HotKeyCombo::standard());
        QTest::newRow("super shift a")
            << int(Qt::Key_A) << M(Qt::MetaModifier | Qt::ShiftModifier) << C(HotKeyCombo{0, 0x300});
        QTest::newRow("keypad flag ignored")
            << int(Qt::Key_5) << M(Qt::AltModifier | Qt::KeypadModifier) << C(HotKeyCombo{23, 0x800});
        QTest::newRow("shifted symbol")
            << int(Qt::Key_Exclam) << M(Qt::ShiftModifier) << C(HotKeyCombo{18, 0x200});
        QTest::newRow("shift tab") << int(Qt::Key_Backtab) << M(Qt::ShiftModifier)
                                   << C(HotKeyCombo{48, 0x200});
        QTest::newRow("symbol without shift") << int(Qt::Key_Exclam) << M(Qt::ControlModifier) << C();
        QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << M(Qt::ControlModifier) << C();
    }
    void keyEventsBecomeStoredCombos()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(std::optional<HotKeyCombo>, combo);
        const std::optional<quint32> code = HotKeyCombo::keyCodeOf(qtKey, modifiers);
        QCOMPARE(code.has_value(), combo.has_value());
        if (code)
            QCOMPARE((HotKeyCombo{*code, HotKeyCombo::carbonModifiers(modifiers)}), *combo);
    }

    void storedCombosBecomeX11Grabs()
    {
        using G = HotKeyCombo::X11Grab;
        // ShiftMask 1, ControlMask 4, Mod1Mask 8, Mod4Mask 64.
        QCOMPARE(HotKeyCombo::standard().x11Grab(), std::optional(G{0x20, 4 | 8}));
        QCOMPARE(HotKeyCombo({0, 0x300}).x11Grab(), std::optional(G{'a', 64 | 1}));
        QCOMPARE(HotKeyCombo({117, 0x1000}).x11Grab(), std::optional(G{0xffff, 4}));
        QCOMPARE(HotKeyCombo({200, 0x1000}).x11Grab(), std::optional<G>());
    }

    void printableKeysAgreeAcrossTheTable()
    {
        // A printable Qt key is its own character: its stored code must be named by it, and grab it.
        int printable = 0;
        for (int qtKey = 0x21; qtKey < 0x7f; ++qtKey) {
            const std::optional<quint32> code = HotKeyCombo::keyCodeOf(qtKey, Qt::NoModifier);
            if (!code)
                continue;
            ++printable;
            const QString character = QString(QChar(qtKey));
            QCOMPARE(HotKeyCombo::keyName(*code), character);
            QCOMPARE(HotKeyCombo({*code, 0x1000}).x11Grab()->keysym,
                     uint(character.toLower().at(0).unicode()));
        }
        QCOMPARE(printable, 26 + 10 + 11);

        // The whole table: 73 keys, each with a name of its own.
        QSet<QString> names;
        for (quint32 code = 0; code < 256; ++code) {
            const QString name = HotKeyCombo::keyName(code);
            if (!name.startsWith(u"toets "_s))
                names.insert(name);
        }
        QCOMPARE(names.size(), 73);
    }

    void recorderCapturesOnlyModifiedKeys()
    {
        HotKeyRecorder recorder;
        QSignalSpy captured(&recorder, &HotKeyRecorder::capturedChanged);
        QVERIFY(!recorder.keyPressed(Qt::Key_A, Qt::ShiftModifier)); // not recording: not ours
        recorder.start();
        QVERIFY(recorder.keyPressed(Qt::Key_A, Qt::NoModifier));
        QVERIFY(recorder.keyPressed(Qt::Key_Shift, Qt::ShiftModifier)); // the modifier's own press
        QVERIFY(recorder.isRecording());
        QCOMPARE(captured.count(), 0);
        QVERIFY(recorder.keyPressed(Qt::Key_A, Qt::ShiftModifier));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.captured(), std::optional(HotKeyCombo{0, 0x200}));

        recorder.start();
        QVERIFY(recorder.keyPressed(Qt::Key_Escape, Qt::ControlModifier));
        QCOMPARE(recorder.captured(), std::optional(HotKeyCombo{53, 0x1000}));

        recorder.start();
        QVERIFY(recorder.keyPressed(Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.captured(), std::optional<HotKeyCombo>());
    }

    void armedTesterTakesExactlyOnePress()
    {
        LogCapture logged;
        HotKeyTester tester;
        QVERIFY(!tester.consumeFire());
        tester.arm();
        QVERIFY(tester.consumeFire());
        QVERIFY(tester.didFire());
        QVERIFY(!tester.consumeFire());
        tester.arm();
        tester.disarm();
        QVERIFY(!tester.consumeFire());
        QCOMPARE(logged.lines(), (QStringList{u"hotkey-test: gewapend, wacht op Ctrl+Alt+Space"_s,
                                              u"hotkey-test: GEVUURD, de sneltoets komt echt bij ons aan"_s,
                                              u"hotkey-test: gewapend, wacht op Ctrl+Alt+Space"_s}));
    }
};

QTEST_GUILESS_MAIN(TstHotKey)
#include "tst_hotkey.moc"
