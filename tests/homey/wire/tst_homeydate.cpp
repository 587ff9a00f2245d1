#include "homey/wire/homeydate.h"
#include "homey/wire/homeytimestamp.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// An invalid date stands for none.
void row(const char *text, const QDateTime &expected = {})
{
    QTest::newRow(*text ? text : "empty") << QString::fromUtf8(text) << expected;
}

} // namespace

class TestHomeyDate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        const QDateTime tenZ = utc(2024, 5, 1, 10, 0, 0);
        row("2024-05-01T10:00:00.123Z", utc(2024, 5, 1, 10, 0, 0, 123));
        row("2024-05-01T10:00:00.5Z", utc(2024, 5, 1, 10, 0, 0, 500));
        row("2024-05-01T10:00:00.123456789Z", utc(2024, 5, 1, 10, 0, 0, 123));
        row("2024-05-01T10:00:00.1234567890Z");
        row("2024-05-01T10:00:00.250", utc(2024, 5, 1, 10, 0, 0, 250));
        row("2024-05-01T12:00:00.123+02:00", utc(2024, 5, 1, 10, 0, 0, 123));
        row("2024-05-01T12:00:00.123+0200", utc(2024, 5, 1, 10, 0, 0, 123));
        row("2024-05-01T05:30:00.0-04:30", tenZ);
        row("2024-05-01T10:00:00Z", tenZ);
        row("2024-05-01T12:00:00+02:00", tenZ);
        row("2024-05-01T12:00:00+0200", tenZ);
        row("2024-05-01T01:00:00+03:00", utc(2024, 4, 30, 22, 0, 0));
        row("2024-05-01T10:00:00");
        row("2024-05-01");
        row("1714557600000");
        row("");
        row("2024-05-01 10:00:00Z");
        row("2024-02-30T10:00:00Z");
        row("2024-05-01T24:00:00Z");
        row("2024-05-01T10:00:00Zx");
        row("2024-05-01T10:00:00.Z");
        row("2024-05-01T10:00:0\u0661Z");
        row("2024-02-29T00:00:00Z", utc(2024, 2, 29, 0, 0, 0));
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> parsed = HomeyDate::parse(text);
        QCOMPARE(parsed.has_value(), expected.isValid());
        if (parsed) {
            QCOMPARE(parsed->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
            QCOMPARE(parsed->timeSpec(), Qt::UTC);
        }
    }

    void timestamp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected");
        row("250", utc(1970, 1, 1, 0, 0, 0, 250));
        row("-1000", utc(1969, 12, 31, 23, 59, 59));
        row("\"2024-05-01T10:00:00.123Z\"", utc(2024, 5, 1, 10, 0, 0, 123));
        row("\"gisteren\"");
        row("true");
        row("{}");
        row("[1]");
        row("null");
        row("1e300");
    }

    // A time stamp of any JSON type reads, as a date or as none.
    void timestamp()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const HomeyTimestamp stamp = decodeJson<QList<HomeyTimestamp>>((u'[' + text + u']').toUtf8()).at(0);
        QCOMPARE(stamp.date.has_value(), expected.isValid());
        if (stamp.date)
            QCOMPARE(stamp.date->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch());
    }
};

QTEST_GUILESS_MAIN(TestHomeyDate)
#include "tst_homeydate.moc"
