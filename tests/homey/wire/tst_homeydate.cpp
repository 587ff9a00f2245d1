#include "homey/wire/homeydate.h"
#include "homey/wire/homeytimestamp.h"

#include <QJsonDocument>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

QJsonValue json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray("[") + text + "]").array().at(0);
}

} // namespace

class TestHomeyDate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: absent

        const QDateTime tenZ = utc(2024, 5, 1, 10, 0, 0);
        QTest::newRow("fraction Z") << u"2024-05-01T10:00:00.123Z"_s << utc(2024, 5, 1, 10, 0, 0, 123);
        QTest::newRow("one digit") << u"2024-05-01T10:00:00.5Z"_s << utc(2024, 5, 1, 10, 0, 0, 500);
        QTest::newRow("nine digits") << u"2024-05-01T10:00:00.123456789Z"_s << utc(2024, 5, 1, 10, 0, 0, 123);
        QTest::newRow("ten digits") << u"2024-05-01T10:00:00.1234567890Z"_s << QDateTime();
        QTest::newRow("fraction without zone")
            << u"2024-05-01T10:00:00.250"_s << utc(2024, 5, 1, 10, 0, 0, 250);
        QTest::newRow("fraction with offset colon")
            << u"2024-05-01T12:00:00.123+02:00"_s << utc(2024, 5, 1, 10, 0, 0, 123);
        QTest::newRow("fraction with offset no colon")
            << u"2024-05-01T12:00:00.123+0200"_s << utc(2024, 5, 1, 10, 0, 0, 123);
        QTest::newRow("fraction with negative offset")
            << u"2024-05-01T05:30:00.0-04:30"_s << utc(2024, 5, 1, 10, 0, 0);
        QTest::newRow("no fraction Z") << u"2024-05-01T10:00:00Z"_s << tenZ;
        QTest::newRow("no fraction offset") << u"2024-05-01T12:00:00+02:00"_s << tenZ;
        QTest::newRow("no fraction offset no colon") << u"2024-05-01T12:00:00+0200"_s << tenZ;
        QTest::newRow("offset crosses the day")
            << u"2024-05-01T01:00:00+03:00"_s << utc(2024, 4, 30, 22, 0, 0);
        QTest::newRow("no fraction, no zone") << u"2024-05-01T10:00:00"_s << QDateTime();
        QTest::newRow("date only") << u"2024-05-01"_s << QDateTime();
        QTest::newRow("digits only") << u"1714557600000"_s << QDateTime();
        QTest::newRow("empty") << QString() << QDateTime();
        QTest::newRow("space separator") << u"2024-05-01 10:00:00Z"_s << QDateTime();
        QTest::newRow("no such day") << u"2024-02-30T10:00:00Z"_s << QDateTime();
        QTest::newRow("hour 24") << u"2024-05-01T24:00:00Z"_s << QDateTime();
        QTest::newRow("trailing text after Z") << u"2024-05-01T10:00:00Zx"_s << QDateTime();
        QTest::newRow("empty fraction") << u"2024-05-01T10:00:00.Z"_s << QDateTime();
        QTest::newRow("non-ASCII digits") << u"2024-05-01T10:00:0\u0661Z"_s << QDateTime();
        QTest::newRow("leap day") << u"2024-02-29T00:00:00Z"_s << utc(2024, 2, 29, 0, 0, 0);
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> parsed = HomeyDate::parse(text);
        if (!expected.isValid()) {
            QVERIFY2(!parsed, qPrintable(parsed ? parsed->toString(Qt::ISODateWithMs) : QString()));
            return;
        }
        QVERIFY(parsed);
        QCOMPARE(parsed->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
        QCOMPARE(parsed->timeSpec(), Qt::UTC);
    }

    void timestamp_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<QDateTime>("expected"); // invalid: no date

        QTest::newRow("milliseconds") << u"250"_s << utc(1970, 1, 1, 0, 0, 0, 250);
        QTest::newRow("negative") << u"-1000"_s << utc(1969, 12, 31, 23, 59, 59);
        QTest::newRow("text stamp") << u"\"2024-05-01T10:00:00.123Z\""_s << utc(2024, 5, 1, 10, 0, 0, 123);
        QTest::newRow("unreadable text") << u"\"gisteren\""_s << QDateTime();
        QTest::newRow("true") << u"true"_s << QDateTime();
        QTest::newRow("object") << u"{}"_s << QDateTime();
        QTest::newRow("array") << u"[1]"_s << QDateTime();
        QTest::newRow("null") << u"null"_s << QDateTime();
        QTest::newRow("beyond any date") << u"1e300"_s << QDateTime();
    }

    void timestamp()
    {
        QFETCH(QString, json);
        QFETCH(QDateTime, expected);
        const HomeyTimestamp stamp = HomeyTimestamp::fromJson(::json(json.toUtf8().constData()));
        QCOMPARE(stamp.date.has_value(), expected.isValid());
        if (stamp.date)
            QCOMPARE(stamp.date->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
    }
};

QTEST_GUILESS_MAIN(TestHomeyDate)
#include "tst_homeydate.moc"
