#pragma once

#include <functional>
#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QString>

class HomeStore;
class Onboarding;
class PlaceholderRows;

// What the stand-in panel shows until the real palette takes its place: a search field on the store's
// query with the hits below it (the overview's rooms while the query is blank), or the pairing screen,
// the connection problem or the connecting notice, chosen as the palette's root will choose them.
class PlaceholderContent : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QAbstractItemModel *rows READ rows CONSTANT)
    // "pairing", "problem", "connecting" or "palette".
    Q_PROPERTY(QString screen READ screen NOTIFY screenChanged)
    // The advice of the problem screen.
    Q_PROPERTY(QString problem READ problem NOTIFY screenChanged)
    // The pairing screen's status or error line; empty when there is none.
    Q_PROPERTY(QString message READ message NOTIFY screenChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY screenChanged)
    Q_PROPERTY(bool hasToken READ hasToken NOTIFY screenChanged)

public:
    struct Actions {
        std::function<void(QString key)> save;
        std::function<void()> forget;
        std::function<void()> retry;
    };

    PlaceholderContent(HomeStore *store, Onboarding *onboarding, Actions actions, QObject *parent = nullptr);

    QString query() const;
    void setQuery(const QString &query);
    QAbstractItemModel *rows() const;
    PlaceholderRows *rowModel() const { return m_rows; }
    QString screen() const;
    QString problem() const;
    QString message() const;
    bool busy() const;
    bool hasToken() const;

    Q_INVOKABLE void save(const QString &key);
    Q_INVOKABLE void forget();
    Q_INVOKABLE void retry();

Q_SIGNALS:
    void queryChanged();
    void screenChanged();

private:
    void refreshRows();

    QPointer<HomeStore> m_store;
    QPointer<Onboarding> m_onboarding;
    Actions m_actions;
    PlaceholderRows *m_rows;
};
