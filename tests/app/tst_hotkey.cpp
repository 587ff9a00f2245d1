#include "app/hotkeycombo.h"
#include "app/hotkeyrecorder.h"
#include "app/hotkeytester.h"
#include "logcapture.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TstHotKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayShowsModifiersInOrder_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<QString>("display");
        QTest::newRow("standard") << 49u << 0x1800u << u"⌃⌥Space"_s;
        QTest::newRow("shift before command") << 0u << 0x300u << u"⇧⌘A"_s;
        QTest::newRow("all four") << 36u << 0x1B00u << u"⌃⌥⇧⌘Return"_s;
        QTest::newRow("outside the table") << 200u << 0x100u << u"⌘toets 200"_s;
        QTest::newRow("other bits ignored") << 42u << 0x1400u << u"⌃\\"_s;
        QTest::newRow("arrow") << 126u << 0x800u << u"⌥↑"_s;
        QTest::newRow("F12") << 111u << 0x200u << u"⇧F12"_s;
    }
    void displayShowsModifiersInOrder()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(QString, display);
        QCOMPARE(HotKeyCombo({keyCode, modifiers}).display(), display);
    }

    void keyEventsBecomeStoredCodes_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<std::optional<HotKeyCombo>>("combo");
        using M = Qt::KeyboardModifiers;
        QTest::newRow("ctrl alt space") << int(Qt::Key_Space) << M(Qt::ControlModifier | Qt::AltModifier)
                                        << std::optional(HotKeyCombo::standard());
        QTest::newRow("super shift a") << int(Qt::Key_A) << M(Qt::MetaModifier | Qt::ShiftModifier)
                                       << std::optional(HotKeyCombo{0, 0x300});
        QTest::newRow("keypad flag ignored") << int(Qt::Key_5) << M(Qt::AltModifier | Qt::KeypadModifier)
                                             << std::optional(HotKeyCombo{23, 0x800});
        QTest::newRow("shifted symbol") << int(Qt::Key_Exclam) << M(Qt::ShiftModifier | Qt::ControlModifier)
                                        << std::optional(HotKeyCombo{18, 0x1200});
        QTest::newRow("backtab") << int(Qt::Key_Backtab) << M(Qt::ShiftModifier)
                                 << std::optional(HotKeyCombo{48, 0x200});
        QTest::newRow("symbol without shift")
            << int(Qt::Key_Exclam) << M(Qt::ControlModifier) << std::optional<HotKeyCombo>();
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << M(Qt::ControlModifier)
                                   << std::optional(HotKeyCombo{51, 0x1000});
        QTest::newRow("unknown key") << int(Qt::Key_VolumeUp) << M(Qt::ControlModifier)
                                     << std::optional<HotKeyCombo>();
    }
    void keyEventsBecomeStoredCodes()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(std::optional<HotKeyCombo>, combo);
        const std::optional<quint32> code = HotKeyCombo::keyCodeOf(qtKey, modifiers);
        QCOMPARE(code.has_value(), combo.has_value());
        if (code)
            QCOMPARE((HotKeyCombo{*code, HotKeyCombo::carbonModifiers(modifiers)}), *combo);
    }

    void storedCombosBecomeX11Grabs_data()
    {
        QTest::addColumn<HotKeyCombo>("combo");
        QTest::addColumn<std::optional<HotKeyCombo::X11Grab>>("grab");
        using G = HotKeyCombo::X11Grab;
        // ShiftMask 1, ControlMask 4, Mod1Mask 8, Mod4Mask 64.
        QTest::newRow("standard") << HotKeyCombo::standard() << std::optional(G{0x20, 4 | 8});
        QTest::newRow("super shift a") << HotKeyCombo{0, 0x300} << std::optional(G{'a', 64 | 1});
        QTest::newRow("forward delete") << HotKeyCombo{117, 0x1000} << std::optional(G{0xffff, 4});
        QTest::newRow("F5") << HotKeyCombo{96, 0x800} << std::optional(G{0xffc2, 8});
        QTest::newRow("outside the table") << HotKeyCombo{200, 0x1000} << std::optional<G>();
    }
    void storedCombosBecomeX11Grabs()
    {
        QFETCH(HotKeyCombo, combo);
        QFETCH(std::optional<HotKeyCombo::X11Grab>, grab);
        QCOMPARE(combo.x11Grab(), grab);
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
    }

    void recorderCapturesOnlyModifiedKeys()
    {
        HotKeyRecorder recorder;
        QSignalSpy captured(&recorder, &HotKeyRecorder::capturedChanged);
        QVERIFY(!recorder.keyPressed(Qt::Key_A, Qt::ShiftModifier)); // not recording: not ours
        recorder.start();
        QVERIFY(recorder.keyPressed(Qt::Key_A, Qt::NoModifier));
        QVERIFY(recorder.keyPressed(Qt::Key_Shift, Qt::ShiftModifier));
        QVERIFY(recorder.keyPressed(Qt::Key_VolumeUp, Qt::ControlModifier));
        QVERIFY(recorder.isRecording());
        QCOMPARE(captured.count(), 0);
        QVERIFY(recorder.keyPressed(Qt::Key_A, Qt::ShiftModifier));
        QVERIFY(!recorder.isRecording());
        QCOMPARE(recorder.captured(), std::optional(HotKeyCombo{0, 0x200}));
        QCOMPARE(recorder.capturedDisplay(), u"⇧A"_s);

        recorder.start();
        QCOMPARE(recorder.captured(), std::optional<HotKeyCombo>());
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
        QVERIFY(!tester.didFire());
        tester.disarm();
        QVERIFY(!tester.consumeFire());
        QCOMPARE(logged.lines(), (QStringList{u"hotkey-test: gewapend, wacht op ⌃⌥Space"_s,
                                              u"hotkey-test: GEVUURD, de sneltoets komt echt bij ons aan"_s,
                                              u"hotkey-test: gewapend, wacht op ⌃⌥Space"_s}));
    }
};

QTEST_GUILESS_MAIN(TstHotKey)
#include "tst_hotkey.moc"
