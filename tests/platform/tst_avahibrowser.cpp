#include "platform/avahireply.h"
#include "platform/avahiservicebrowser.h"

#include <awaittask.h>
#include <memory>
#include <QProcess>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Txt = QMap<QString, QString>;

// The plain run has no system bus. run-avahi.sh runs this again in a private network namespace with its
// own system bus: first without a daemon ("absent"), then with avahi-daemon publishing "Thuis" ("published").
namespace {

QString mode()
{
    return qEnvironmentVariable("QUORVANE_AVAHI_TEST");
}

const QString homey = u"_homey._tcp"_s;

struct StopPublishing {
    void operator()(QProcess *process) const
    {
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
};
using Publisher = std::unique_ptr<QProcess, StopPublishing>;

// avahi-publish for as long as the returned process lives.
Publisher publish(const QStringList &arguments)
{
    Publisher process(new QProcess);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(u"avahi-publish"_s, QStringList{u"-s"_s} + arguments);
    QByteArray output;
    const bool established = QTest::qWaitFor(
        [&] {
            output += process->readAll();
            return output.contains("Established") || process->state() == QProcess::NotRunning;
        },
        10000);
    if (!established || !output.contains("Established"))
        qFatal("avahi-publish did not establish its service: %s", output.constData());
    return process;
}

std::optional<BrowseEntry> named(const QList<BrowseEntry> &entries, const QString &name)
{
    for (const BrowseEntry &entry : entries)
        if (entry.name == name)
            return entry;
    return std::nullopt;
}

} // namespace

#define REQUIRE_MODE(wanted)                                                                                 \
    do {                                                                                                     \
        if (mode() != wanted##_L1)                                                                           \
            QSKIP("runs inside run-avahi.sh");                                                               \
    } while (false)

class TestAvahiBrowser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutBusOrDaemonNothingIsFoundAtOnce_data()
    {
        QTest::addColumn<bool>("systemBus");
        QTest::newRow("unconnected bus") << false;
        QTest::newRow("system bus") << true;
    }
    void withoutBusOrDaemonNothingIsFoundAtOnce()
    {
        QFETCH(bool, systemBus);
        // The plain run has no system bus at all, "absent" one without avahi-daemon.
        if (systemBus && !mode().isEmpty() && mode() != "absent"_L1)
            QSKIP("avahi-daemon runs here");
        AvahiServiceBrowser browser =
            systemBus ? AvahiServiceBrowser() : AvahiServiceBrowser(QDBusConnection(u"none"_s));
        // The bounds are far below the durations asked for: nothing may wait for them.
        QCOMPARE(awaitTask(browser.browse(homey, 60s), 20s), QList<BrowseEntry>());
        QCOMPARE(awaitTask(browser.resolveIPv4(u"Thuis"_s, homey, u"local"_s, 60s), 20s),
                 std::optional<QString>());
    }

    void findsServicesWithTheirTxtRecords()
    {
        REQUIRE_MODE("published");
        const auto bare = publish({u"Kaal"_s, homey, u"4861"_s});
        const auto odd = publish({u"Raar"_s, homey, u"4862"_s, u"flag"_s, u"name="_s, u"=x"_s});
        const auto other = publish({u"Printer"_s, u"_ipp._tcp"_s, u"631"_s, u"id=p"_s});

        AvahiServiceBrowser browser;
        const QList<BrowseEntry> found = awaitTask(browser.browse(homey, 1500ms), 20s);
        QCOMPARE(found.size(), 3);
        QCOMPARE(named(found, u"Thuis"_s), (BrowseEntry{u"Thuis"_s,
                                                        homey,
                                                        u"local"_s,
                                                        {{u"id"_s, u"abc"_s},
                                                         {u"name"_s, u"Thuis"_s},
                                                         {u"model"_s, u"pro"_s},
                                                         {u"version"_s, u"12.0"_s}}}));
        QCOMPARE(named(found, u"Kaal"_s), (BrowseEntry{u"Kaal"_s, homey, u"local"_s, {}}));
        QCOMPARE(
            named(found, u"Raar"_s),
            (BrowseEntry{u"Raar"_s, homey, u"local"_s, {{u"flag"_s, QString()}, {u"name"_s, QString()}}}));
    }

    void vanishedServiceStays()
    {
        REQUIRE_MODE("published");
        auto leaving = publish({u"Weg"_s, homey, u"4863"_s, u"id=weg"_s});
        // The daemon reports its own services at once; the publisher leaves well inside the browse.
        QTimer::singleShot(500ms, leaving.get(), [&leaving] {
            leaving->kill();
            leaving->waitForFinished(5000);
        });
        AvahiServiceBrowser browser;
        const QList<BrowseEntry> found = awaitTask(browser.browse(homey, 1500ms), 20s);
        QCOMPARE(leaving->state(), QProcess::NotRunning);
        const auto gone = named(found, u"Weg"_s);
        QVERIFY(gone);
        QCOMPARE(gone->txt.value(u"id"_s), u"weg"_s);
        QVERIFY(named(found, u"Thuis"_s));
    }

    void resolvesIPv4WithinItsTimeout()
    {
        REQUIRE_MODE("published");
        AvahiServiceBrowser browser;
        QCOMPARE(awaitTask(browser.resolveIPv4(u"Thuis"_s, homey, u"local"_s, 5s), 20s),
                 std::optional(qEnvironmentVariable("QUORVANE_AVAHI_ADDRESS")));
        QCOMPARE(awaitTask(browser.resolveIPv4(u"Niemand"_s, homey, u"local"_s, 300ms), 20s),
                 std::optional<QString>());
    }

    void browserMayGoWhileBrowsing()
    {
        REQUIRE_MODE("published");
        auto browser = std::make_unique<AvahiServiceBrowser>();
        QCoro::Task<QList<BrowseEntry>> running = browser->browse(homey, 300ms);
        browser.reset();
        QVERIFY(named(awaitTask(std::move(running), 20s), u"Thuis"_s));
    }

    void txt_data()
    {
        QTest::addColumn<QList<QByteArray>>("strings");
        QTest::addColumn<Txt>("expected");
        QTest::newRow("pairs") << QList<QByteArray>{"id=abc", "name=Thuis"}
                               << Txt{{u"id"_s, u"abc"_s}, {u"name"_s, u"Thuis"_s}};
        QTest::newRow("no record") << QList<QByteArray>{} << Txt{};
        QTest::newRow("empty string") << QList<QByteArray>{""} << Txt{};
        QTest::newRow("key without =") << QList<QByteArray>{"flag"} << Txt{{u"flag"_s, QString()}};
        QTest::newRow("empty value") << QList<QByteArray>{"name="} << Txt{{u"name"_s, QString()}};
        QTest::newRow("empty key") << QList<QByteArray>{"=x", "id=1"} << Txt{{u"id"_s, u"1"_s}};
        QTest::newRow("= inside value") << QList<QByteArray>{"k=a=b"} << Txt{{u"k"_s, u"a=b"_s}};
        QTest::newRow("first of a repeated key")
            << QList<QByteArray>{"id=1", "id=2"} << Txt{{u"id"_s, u"1"_s}};
        QTest::newRow("utf-8 value") << QList<QByteArray>{"name=Woonkamer \xe2\x9c\x93"}
                                     << Txt{{u"name"_s, u"Woonkamer \u2713"_s}};
        QTest::newRow("bytes that are no utf-8")
            << QList<QByteArray>{QByteArray("id=\xff\x00z", 6)} << Txt{{u"id"_s, u"\ufffd\u0000z"_s}};
    }
    void txt()
    {
        QFETCH(QList<QByteArray>, strings);
        QFETCH(Txt, expected);
        QCOMPARE(AvahiReply::txt(strings), expected);
    }

    void ipv4_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("plain") << u"192.168.1.20"_s << std::optional(u"192.168.1.20"_s);
        QTest::newRow("interface suffix") << u"192.168.1.20%eth0"_s << std::optional(u"192.168.1.20"_s);
        QTest::newRow("leading %") << u"%%10.0.0.1%wlan0"_s << std::optional(u"10.0.0.1"_s);
        QTest::newRow("ipv6") << u"fe80::1%eth0"_s << std::optional<QString>();
        QTest::newRow("mapped ipv6") << u"::ffff:10.0.0.1"_s << std::optional<QString>();
        QTest::newRow("empty") << QString() << std::optional<QString>();
        QTest::newRow("only suffix") << u"%eth0"_s << std::optional<QString>();
        QTest::newRow("host name") << u"homey.local"_s << std::optional<QString>();
        QTest::newRow("out of range") << u"10.0.0.256"_s << std::optional<QString>();
    }
    void ipv4()
    {
        QFETCH(QString, address);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(AvahiReply::ipv4(address), expected);
    }
};

QTEST_GUILESS_MAIN(TestAvahiBrowser)
#include "tst_avahibrowser.moc"
