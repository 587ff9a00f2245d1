#include "app/onboarding.h"
#include "homey/model/connectionstate.h"
#include "homey/model/homeyerror.h"
#include "ui/palette/paletteproblem.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString bannerAdvice(const HomeyError &error)
{
    const std::optional<PaletteProblem> problem = PaletteProblem::of(ConnectionState::live(), error);
    return problem ? problem->detail : u"(no banner)"_s;
}

} // namespace

// Linux asks no program for leave to use the local network. Advice about a hub that does not answer, or
// a computer without a network, that sends the user looking for such a permission sends them nowhere.
class TstNetworkAdvice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void asksForNoPermission_data()
    {
        QTest::addColumn<QString>("advice");
        const HomeyError silent = HomeyError::unreachable(u"192.168.1.5"_s);
        QTest::newRow("connecting, hub silent") << Onboarding::explain(silent);
        QTest::newRow("connecting, no hub found") << Onboarding::explain(HomeyError::notConfigured());
        QTest::newRow("connecting, no network") << Onboarding::explain(HomeyError::offline());
        QTest::newRow("banner, hub silent") << bannerAdvice(silent);
        QTest::newRow("banner, no network") << bannerAdvice(HomeyError::offline());
    }
    void asksForNoPermission()
    {
        QFETCH(QString, advice);
        static const QRegularExpression permission(
            u"toestemming|sta quorvane toe|privacy|lokaal netwerk|\\bmac\\b"_s,
            QRegularExpression::CaseInsensitiveOption);
        QVERIFY2(!advice.contains(permission), qPrintable(advice));
        // Whatever else it says, it sends the user to the network between computer and hub.
        QVERIFY2(advice.contains(u"netwerk"_s), qPrintable(advice));
    }
};

QTEST_GUILESS_MAIN(TstNetworkAdvice)
#include "tst_networkadvice.moc"
