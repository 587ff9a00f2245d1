#include "platform/avahireply.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Txt = QMap<QString, QString>;

class TestAvahiReply : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestAvahiReply)
#include "tst_avahireply.moc"
