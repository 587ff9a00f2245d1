#include "homey/rest/networkreachability.h"

#include <QtTest>

// Run plainly for the decision, and again inside a network namespace without any network
// (QUORVANE_EXPECT_OFFLINE=1) for what the machine itself reports.
class TestNetworkReachability : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decision_data()
    {
        QTest::addColumn<QNetworkReply::NetworkError>("error");
        QTest::addColumn<bool>("machineOffline");
        QTest::addColumn<bool>("offline");
        QTest::newRow("no route, machine online") << QNetworkReply::UnknownNetworkError << false << false;
        QTest::newRow("no route, machine offline") << QNetworkReply::UnknownNetworkError << true << true;
        QTest::newRow("name not found, offline") << QNetworkReply::HostNotFoundError << true << true;
        QTest::newRow("refused") << QNetworkReply::ConnectionRefusedError << true << false;
        QTest::newRow("closed") << QNetworkReply::RemoteHostClosedError << true << false;
        QTest::newRow("Qt's own verdict") << QNetworkReply::TemporaryNetworkFailureError << false << true;
    }
    void decision()
    {
        QFETCH(QNetworkReply::NetworkError, error);
        QFETCH(bool, machineOffline);
        QFETCH(bool, offline);
        QCOMPARE(NetworkReachability::meansOffline(error, [=] { return machineOffline; }), offline);
    }

    void machineWithoutNetwork()
    {
        if (qEnvironmentVariable("QUORVANE_EXPECT_OFFLINE") != u"1")
            QSKIP("only inside a namespace without network");
        QVERIFY(NetworkReachability::machineIsOffline());
    }
};

QTEST_GUILESS_MAIN(TestNetworkReachability)
#include "tst_networkreachability.moc"
