#pragma once

#include "homey/model/hit.h"
#include "ui/screens/emptystatelook.h"
#include "ui/screens/rowscreen.h"
#include "ui/screens/rowsmodel.h"

#include <optional>
#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QtQmlIntegration>

class HomeStore;
class HoverGate;
class LevelCoalescer;
class WhileShown;

// The ranked results while the user types: "Beste match" with the count above the first row,
// "Resultaten" above the rest, at most 30 rows, the open device's control strip under its row, and an
// empty state naming the query. Follows the store's hits, selection and open detail.
class ResultsScreen : public RowScreen {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the composition root")
    Q_PROPERTY(EmptyStateLook empty READ empty NOTIFY changed)
    Q_PROPERTY(QString footer READ footer NOTIFY changed)

public:
    static constexpr int shownRows = 30;

    // coalescer: the palette's, which thins out the writes of dragged level bars; none sets each
    // position at once.
    ResultsScreen(HomeStore *store, HoverGate *gate, LevelCoalescer *coalescer = nullptr,
                  QObject *parent = nullptr);

    void followBeat(const Motion *motion) override;

    // The lines for these hits of the found ones: headings and rows, the row at selection selected, the
    // row of expandedDeviceID expanded.
    // previous: lines made before, whose rows are kept where the same look would be made again.
    // selectedAction: what Return does with the selected row (RowActions::onReturn); none: its hit's
    // own state names it.
    static QList<ListRow> lines(const QList<Hit> &hits, qsizetype found, int selection,
                                const std::optional<QString> &expandedDeviceID,
                                const QList<ListRow> &previous = {},
                                const std::optional<RunAction> &selectedAction = std::nullopt);
    // Under the rows when more were found than are shown; empty otherwise.
    static QString footerText(qsizetype found, qsizetype hitCount);

    RowsModel *rows() { return &m_rows; }
    QAbstractItemModel *rowModel() override { return &m_rows; }
    bool isEmpty() const override { return m_hitCount == 0; }
    EmptyStateLook empty() const { return m_empty; }
    QString footer() const { return m_footer; }

private:
    void refresh();
    void selectionMoved();

    WhileShown *m_follow;
    RowsModel m_rows;
    qsizetype m_hitCount = 0;
    EmptyStateLook m_empty;
    std::optional<QString> m_emptyQuery; // the query m_madeEmpty was made for
    EmptyStateLook m_madeEmpty;
    QString m_footer;
};
