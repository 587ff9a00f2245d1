#include "awaittask.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/auth/tokenresolver.h"

#include <fcntl.h>
#include <future>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Map = QMap<QString, QString>;

Q_DECLARE_METATYPE(std::optional<ResolvedToken>)

namespace {

QString token(int first, int second, int third, QChar fill = u'a')
{
    return QString(first, fill) + u':' + QString(second, u'b') + u':' + QString(third, u'c');
}

const QString good = token(36, 36, 20);
const QString other = token(36, 36, 40, u'z');

QJsonObject hub(const QJsonValue &token)
{
    return QJsonObject{{u"token"_s, token}};
}

} // namespace

class TestTokenResolver : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString settingsPath() const { return m_home.filePath(u".athom-cli/settings.json"_s); }
    void writeAthomSettings(const QByteArray &content)
    {
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    void writeAthomSettings(const QJsonObject &settings)
    {
        writeAthomSettings(QJsonDocument(settings).toJson());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    void cleanup() { QFile::remove(settingsPath()); }

    // Three pieces of 36, 36 and 20 characters; empty pieces from doubled or outer colons do not count.
    void plausibility()
    {
        const QStringList plausible{good, u":"_s + QString(good).replace(36, 1, u"::"_s) + u":"_s};
        const QStringList implausible{token(36, 36, 19),
                                      token(35, 36, 20),
                                      token(36, 37, 20),
                                      good + u":dddd"_s,
                                      QString(good).replace(40, 1, u'\n'),
                                      QString(good).replace(40, 1, QChar(0x7f)),
                                      u" "_s + good};
        for (const QString &text : plausible)
            QVERIFY2(TokenResolver::isPlausibleToken(text), qPrintable(text));
        for (const QString &text : implausible)
            QVERIFY2(!TokenResolver::isPlausibleToken(text), qPrintable(text));
    }

    void tokenSourcesAndKeychainTexts()
    {
        QCOMPARE(tokenSourceFromRawValue(u"environment"_s), TokenSource::Environment);
        QCOMPARE(tokenSourceFromRawValue(u"Keychain"_s), std::nullopt);
        QCOMPARE(KeychainError::unhandled(-25300).errorDescription(),
                 u"De sleutelbos gaf een fout (-25300)."_s);
        QCOMPARE(KeychainError::denied().errorDescription(),
                 u"De computer gaf geen toegang tot de sleutelbos."_s);
        QCOMPARE(QString::fromUtf8(KeychainError::timedOut().what()),
                 u"De sleutelbos reageerde niet op tijd."_s);
    }

    void memoryStoreKeepsTheLabelOfTheFirstSave()
    {
        MemoryTokenStore store;
        awaitTask(store.save(u"first"_s, TokenStore::defaultService));
        awaitTask(store.save(u"second"_s, TokenStore::defaultService));
        QCOMPARE(store.item(TokenStore::defaultService), (MemoryTokenStore::Item{"second", u"Quorvane"_s}));
    }

    void athomSettings()
    {
        // The active hub's token is implausible; another "homey-" entry has one; a differently named entry
        // is never used.
        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"active"_s}}},
            {u"homeyApi"_s, QJsonObject{{u"a-other"_s, hub(good)},
                                        {u"homey-active"_s, hub(token(36, 36, 19))},
                                        {u"homey-second"_s, hub(u"  "_s + other + u"\n"_s)}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), other);
        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"b"_s}}},
            {u"homeyApi"_s, QJsonObject{{u"homey-a"_s, hub(other)}, {u"homey-b"_s, hub(good)}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), good);
    }

    void malformedAthomSettings()
    {
        for (const char *content :
             {"{homeyApi", "[]", R"({"homeyApi": []})", R"({"homeyApi": {"homey-a": "x"}})",
              R"({"homeyApi": {"homey-a": {"token": 5}}})"}) {
            writeAthomSettings(QByteArray(content));
            QVERIFY2(!TokenResolver::fromAthomCLI(), content);
        }
    }

    void athomSettingsThatAreNoRegularFileAreNeverRead()
    {
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        const QByteArray fifo = QFile::encodeName(settingsPath());
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        auto read = std::async(std::launch::async, [] { return TokenResolver::fromAthomCLI(); });
        if (read.wait_for(5s) != std::future_status::ready) {
            // Give the blocked reader its writer so that the test can end.
            ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
            QFAIL("the settings FIFO was opened for reading");
        }
        QCOMPARE(read.get(), std::nullopt);
        QFile::remove(settingsPath());
        QVERIFY(QFile::link(u"/dev/zero"_s, settingsPath()));
        QCOMPARE(TokenResolver::fromAthomCLI(), std::nullopt);
    }

    void environmentTokens_data()
    {
        QTest::addColumn<Map>("values");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("dev token first")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, u"dev"_s}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional(u"dev"_s);
        QTest::newRow("empty dev token blocks")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, QString()}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional<QString>();
        QTest::newRow("trimmed, CR gone") << Map{{u"HOMEY_TOKEN"_s, u" h \r"_s}} << std::optional(u"h"_s);
        QTest::newRow("blank") << Map{{u"HOMEY_TOKEN"_s, u" \t"_s}} << std::optional<QString>();
        QTest::newRow("line break inside")
            << Map{{u"HOMEY_TOKEN"_s, u"a\r\nX-Evil: 1"_s}} << std::optional<QString>();
    }
    void environmentTokens()
    {
        QFETCH(Map, values);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(TokenResolver::fromEnvironment(values), expected);
    }

    void resolutionOrder()
    {
        auto store = std::make_shared<MemoryTokenStore>();
        writeAthomSettings(QJsonObject{{u"homeyApi"_s, QJsonObject{{u"homey-a"_s, hub(good)}}}});
        const Map environment{{u"HOMEY_TOKEN"_s, u"env-token"_s}};
        const auto resolve = [&](bool fallbacks, const Map &values) {
            return awaitTask(TokenResolver::resolve(fallbacks, store, values));
        };

        awaitTask(store->save(u" stored \n"_s, TokenStore::defaultService));
        QCOMPARE(resolve(true, environment), (ResolvedToken{u"stored"_s, TokenSource::Keychain}));

        // Undecodable data, or a failing keyring, counts as no token.
        store->setRawData(TokenStore::defaultService, "\xff");
        QCOMPARE(resolve(true, environment), (ResolvedToken{good, TokenSource::AthomCLI}));
        store->failWith(KeychainError::timedOut());
        QCOMPARE(resolve(true, environment), (ResolvedToken{good, TokenSource::AthomCLI}));
        QCOMPARE(resolve(false, environment), std::nullopt);
        store->failWith(std::nullopt);

        QFile::remove(settingsPath());
        QCOMPARE(resolve(true, environment), (ResolvedToken{u"env-token"_s, TokenSource::Environment}));
        QCOMPARE(resolve(false, environment), std::nullopt);

        // Only the default service is read.
        awaitTask(store->save(good, u"ai.velkor.quorvane.onboarding-test.7"_s));
        QCOMPARE(resolve(true, Map()), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestTokenResolver)
#include "tst_tokenresolver.moc"
