#include "endtoend.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString frontDoor = u"8469dcfc-e502-5407-b21f-c2615904a5f8"_s;

} // namespace

// The real program under a held key, with the X server repeating it as a desktop does.
class TstHeldKeys : public EndToEndCase {
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(setUpStage()); }
    void cleanup()
    {
        const QString problems = tearDownStage();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    void aHeldReturnNeverConfirmsAnUnlock()
    {
        Copy *opened = openPanel();
        QVERIFY(opened);
        Copy &copy = *opened;
        // The X server repeats a held key, as a desktop does; its repeats sometimes reach the program as
        // a release and a new press.
        EndToEnd::run(u"xset"_s, {u"r"_s, u"on"_s});
        EndToEnd::run(u"xset"_s, {u"r"_s, u"rate"_s, u"250"_s, u"30"_s});
        QVERIFY(EndToEnd::run(u"xset"_s, {u"q"_s}).contains(u"auto repeat:  on"_s));
        typeText(u"voordeur"_s);
        typeKeys({u"Return"_s});
        const QString asked = u"bevestiging gevraagd: Voordeur locked -> bool(false). Niets verstuurd."_s;
        const auto hold = [](const QStringList &after) {
            EndToEnd::run(
                u"xdotool"_s,
                QStringList{u"keydown"_s, u"Return"_s, u"sleep"_s, u"3"_s, u"keyup"_s, u"Return"_s} + after);
        };
        // The fault came and went: a dozen holds, each of them only asking.
        for (int held = 1; held <= 12; ++held) {
            hold({});
            QTRY_VERIFY_WITH_TIMEOUT(copy.count(asked) >= held, patience);
            QVERIFY2(writes().isEmpty(), qPrintable(u"hold %1: "_s.arg(held) + writes().join(u", "_s)));
            QCOMPARE(copy.count(asked), held);
            // Past the window, so the next hold asks afresh.
            QTest::qWait(1500);
        }
        // A press of its own after the hold, still inside the window, sends the unlock once.
        hold({u"sleep"_s, u"0.3"_s, u"key"_s, u"Return"_s});
        const QString lock = u"PUT /api/manager/devices/device/"_s + frontDoor + u"/capability/locked"_s;
        QTRY_COMPARE_WITH_TIMEOUT(writes(), QStringList{lock}, patience);
        QTest::qWait(500);
        QCOMPARE(writes(), QStringList{lock});
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.method == "PUT")
                QCOMPARE(QJsonDocument::fromJson(request.body).object().value(u"value"_s), QJsonValue(false));
        }
    }
};

QTEST_GUILESS_MAIN(TstHeldKeys)
#include "tst_heldkeys.moc"
