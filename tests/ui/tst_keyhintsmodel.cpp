#include "ui/keyhintsmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString up = u"↑"_s;
const QString enter = u"⏎"_s;
const QString notifications = u"Ctrl+N"_s;

QList<KeyHint> overview(const QString &unread)
{
    return {KeyHint({up}, u"kies"_s), KeyHint({enter}, u"open kamer"_s), KeyHint({notifications}, unread)};
}

// The model's rows as "keys what".
QStringList rows(const KeyHintsModel &model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex at = model.index(row);
        QStringList caps;
        for (const QVariant &cap : at.data(KeyHintsModel::CapsRole).toList())
            caps << cap.value<KeyCapLook>().text;
        texts << caps.join(QString()) + u' ' + at.data(KeyHintsModel::WhatRole).toString();
    }
    return texts;
}

} // namespace

// The hint bar's list: each change of the palette's state reaches the bar as the rows that changed, never
// as a reset, and a new unread count as the one hint's new text.
class KeyHintsModelTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aNewCountChangesOneText();
    void anotherStateMovesRowsIntoPlace();
};

void KeyHintsModelTest::aNewCountChangesOneText()
{
    KeyHintsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setHints(overview(u"1 melding"_s));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    model.setHints(overview(u"2 meldingen"_s));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 2);
    QCOMPARE(changed.first().at(2).value<QList<int>>(), QList<int>{KeyHintsModel::WhatRole});
    QCOMPARE(inserted.size() + removed.size() + reset.size(), 0);
    QCOMPARE(rows(model), (QStringList{u"↑ kies"_s, u"⏎ open kamer"_s, u"Ctrl+N 2 meldingen"_s}));
    QCOMPARE(model.hints(), overview(u"2 meldingen"_s));

    // The same hints again: nothing to tell.
    model.setHints(overview(u"2 meldingen"_s));
    QCOMPARE(changed.size(), 1);
}

void KeyHintsModelTest::anotherStateMovesRowsIntoPlace()
{
    KeyHintsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    const QList<QList<KeyHint>> states{
        overview(u"1 melding"_s),
        {KeyHint({up}, u"kies"_s), KeyHint({enter}, u"doe"_s), KeyHint({u"Esc"_s}, u"terug"_s)},
        {KeyHint({u"Esc"_s}, u"terug"_s)},
        // Should two hints ever share their keys, both are shown.
        {KeyHint({enter}, u"doe"_s), KeyHint({enter}, u"zet"_s), KeyHint({up}, u"kies"_s)},
        {},
        overview(u"3 meldingen"_s),
    };
    for (const QList<KeyHint> &state : states) {
        model.setHints(state);
        QStringList expected;
        for (const KeyHint &hint : state)
            expected << hint.keys.join(QString()) + u' ' + hint.what;
        QCOMPARE(rows(model), expected);
        QCOMPARE(model.count(), state.size());
    }
    QCOMPARE(reset.size(), 0);
}

QTEST_GUILESS_MAIN(KeyHintsModelTest)
#include "tst_keyhintsmodel.moc"
