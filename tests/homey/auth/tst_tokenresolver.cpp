#include "awaittask.h"
#include "homey/auth/memorytokenstore.h"
#include "homey/auth/tokenresolver.h"
#include "homey/config/homeyconfig.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<ResolvedToken>)

namespace {

QString token(int first, int second, int third, QChar fill = u'a')
{
    return QString(first, fill) + u':' + QString(second, u'b') + u':' + QString(third, u'c');
}

const QString good = token(36, 36, 20);
const QString other = token(36, 36, 40, u'z');

} // namespace

class TestTokenResolver : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

    void writeAthomSettings(const QJsonObject &settings)
    {
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        QFile file(m_home.filePath(u".athom-cli/settings.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(settings).toJson());
    }

    void setEnvironment(const QMap<QString, QString> &values)
    {
        HomeyConfig::setEnvironmentSourceForTesting(HomeyConfig::EnvironmentSource{values, m_home.path()});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        QCOMPARE(QDir::homePath(), m_home.path());
    }

    void cleanup()
    {
        QFile::remove(m_home.filePath(u".athom-cli/settings.json"_s));
        HomeyConfig::setEnvironmentSourceForTesting(std::nullopt);
    }

    void plausibility_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("plausible");
        QTest::newRow("36:36:20") << token(36, 36, 20) << true;
        QTest::newRow("36:36:64") << token(36, 36, 64) << true;
        QTest::newRow("last piece 19") << token(36, 36, 19) << false;
        QTest::newRow("first piece 35") << token(35, 36, 20) << false;
        QTest::newRow("second piece 37") << token(36, 37, 20) << false;
        QTest::newRow("four pieces") << token(36, 36, 20) + u":dddd"_s << false;
        QTest::newRow("doubled colon") << QString(good).replace(36, 1, u"::"_s) << true;
        QTest::newRow("colons at the ends") << u":"_s + good + u":"_s << true;
        QTest::newRow("two pieces") << QString(36, u'a') + u':' + QString(56, u'b') << false;
        QTest::newRow("line break inside") << QString(good).replace(40, 1, u'\n') << false;
        QTest::newRow("trailing CR") << good + u'\r' << false;
        QTest::newRow("DEL inside") << QString(good).replace(40, 1, QChar(0x7f)) << false;
        QTest::newRow("spaces around") << u" "_s + good << false;
        QTest::newRow("empty") << QString() << false;
    }

    void plausibility()
    {
        QFETCH(QString, text);
        QFETCH(bool, plausible);
        QCOMPARE(TokenResolver::isPlausibleToken(text), plausible);
    }

    void tokenSourceRawValues()
    {
        for (TokenSource source : {TokenSource::Keychain, TokenSource::AthomCLI, TokenSource::Environment})
            QCOMPARE(tokenSourceFromRawValue(rawValue(source)), source);
        QCOMPARE(rawValue(TokenSource::AthomCLI), u"athomCLI"_s);
        QCOMPARE(tokenSourceFromRawValue(u"Keychain"_s), std::nullopt);
        QCOMPARE(tokenSourceFromRawValue(u"keychain "_s), std::nullopt);
    }

    void keychainErrorTexts()
    {
        QCOMPARE(KeychainError::unhandled(-25300).errorDescription(),
                 u"De sleutelbos gaf een fout (-25300)."_s);
        QCOMPARE(KeychainError::unhandled(-25300).status(), -25300);
        QCOMPARE(KeychainError::denied().errorDescription(),
                 u"De computer gaf geen toegang tot de sleutelbos."_s);
        QCOMPARE(QString::fromUtf8(KeychainError::denied().what()),
                 KeychainError::denied().errorDescription());
    }

    void memoryStoreContract()
    {
        MemoryTokenStore store;
        const QString service = TokenStore::defaultService;
        QCOMPARE(awaitTask(store.load(service)), std::nullopt);
        awaitTask(store.clear(service));

        awaitTask(store.save(u"first"_s, service));
        QCOMPARE(store.item(service), (MemoryTokenStore::Item{"first", u"Quorvane"_s}));
        awaitTask(store.save(u"second"_s, service));
        QCOMPARE(store.itemCount(), 1);
        QCOMPARE(awaitTask(store.load(service)), u"second"_s);
        QCOMPARE(awaitTask(store.load(u"ai.velkor.quorvane.onboarding-test.1"_s)), std::nullopt);

        store.setRawData(service, QByteArray());
        QCOMPARE(awaitTask(store.load(service)), std::nullopt);
        store.setRawData(service, "\xc3\x28");
        QCOMPARE(awaitTask(store.load(service)), std::nullopt);

        store.failWith(KeychainError::denied());
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(store.load(service)));
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(store.save(u"x"_s, service)));
        QVERIFY_THROWS_EXCEPTION(KeychainError, awaitTask(store.clear(service)));
        store.failWith(std::nullopt);

        awaitTask(store.clear(service));
        awaitTask(store.clear(service));
        QCOMPARE(store.itemCount(), 0);
    }

    void athomSettings()
    {
        // The active hub's token is implausible; another "homey-" entry has one; a differently named entry
        // is never used.
        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"active"_s}}},
            {u"homeyApi"_s,
             QJsonObject{{u"a-other"_s, QJsonObject{{u"token"_s, good}}},
                         {u"homey-active"_s, QJsonObject{{u"token"_s, token(36, 36, 19)}}},
                         {u"homey-second"_s, QJsonObject{{u"token"_s, u"  "_s + other + u"\n"_s}}}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), other);

        writeAthomSettings(QJsonObject{
            {u"activeHomey"_s, QJsonObject{{u"id"_s, u"b"_s}}},
            {u"homeyApi"_s, QJsonObject{{u"homey-a"_s, QJsonObject{{u"token"_s, other}}},
                                        {u"homey-b"_s, QJsonObject{{u"token"_s, good}}}}},
        });
        QCOMPARE(TokenResolver::fromAthomCLI(), good);

        writeAthomSettings(QJsonObject{{u"homeyApi"_s, QJsonObject{{u"token"_s, good}}}});
        QCOMPARE(TokenResolver::fromAthomCLI(), std::nullopt);
        writeAthomSettings(
            QJsonObject{{u"homeyApi"_s, QJsonObject{{u"homey-a"_s, QJsonObject{{u"token"_s, 5}}}}}});
        QCOMPARE(TokenResolver::fromAthomCLI(), std::nullopt);
    }

    void malformedAthomSettings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not JSON") << QByteArray("{homeyApi");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("homeyApi is an array") << QByteArray("{\"homeyApi\": []}");
        QTest::newRow("entry is text") << QByteArray("{\"homeyApi\": {\"homey-a\": \"x\"}}");
    }

    void malformedAthomSettings()
    {
        QFETCH(QByteArray, content);
        QDir(m_home.path()).mkpath(u".athom-cli"_s);
        QFile file(m_home.filePath(u".athom-cli/settings.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QCOMPARE(TokenResolver::fromAthomCLI(), std::nullopt);
    }

    void environmentTokens_data()
    {
        using Map = QMap<QString, QString>;
        QTest::addColumn<Map>("values");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("dev token first")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, u"dev"_s}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional(u"dev"_s);
        QTest::newRow("empty dev token blocks")
            << Map{{u"QUORVANE_DEV_TOKEN"_s, QString()}, {u"HOMEY_TOKEN"_s, u"h"_s}}
            << std::optional<QString>();
        QTest::newRow("homey token") << Map{{u"HOMEY_TOKEN"_s, u" h \r"_s}} << std::optional(u"h"_s);
        QTest::newRow("blank") << Map{{u"HOMEY_TOKEN"_s, u" \t"_s}} << std::optional<QString>();
        QTest::newRow("line break inside")
            << Map{{u"HOMEY_TOKEN"_s, u"a\r\nX-Evil: 1"_s}} << std::optional<QString>();
        QTest::newRow("none") << Map{} << std::optional<QString>();
    }

    void environmentTokens()
    {
        using Map = QMap<QString, QString>;
        QFETCH(Map, values);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(TokenResolver::fromEnvironment(values), expected);
    }

    void resolutionOrder()
    {
        MemoryTokenStore store;
        writeAthomSettings(
            QJsonObject{{u"homeyApi"_s, QJsonObject{{u"homey-a"_s, QJsonObject{{u"token"_s, good}}}}}});
        setEnvironment({{u"HOMEY_TOKEN"_s, u"env-token"_s}});

        awaitTask(store.save(u" stored \n"_s, TokenStore::defaultService));
        QCOMPARE(awaitTask(TokenResolver::resolve(true, store)),
                 (ResolvedToken{u"stored"_s, TokenSource::Keychain}));

        // Empty or undecodable data, or a failing keyring, counts as no token.
        store.setRawData(TokenStore::defaultService, "\xff");
        QCOMPARE(awaitTask(TokenResolver::resolve(true, store)),
                 (ResolvedToken{good, TokenSource::AthomCLI}));
        store.failWith(KeychainError::unhandled(-1));
        QCOMPARE(awaitTask(TokenResolver::resolve(true, store)),
                 (ResolvedToken{good, TokenSource::AthomCLI}));
        QCOMPARE(awaitTask(TokenResolver::resolve(false, store)), std::nullopt);
        store.failWith(std::nullopt);

        QFile::remove(m_home.filePath(u".athom-cli/settings.json"_s));
        QCOMPARE(awaitTask(TokenResolver::resolve(true, store)),
                 (ResolvedToken{u"env-token"_s, TokenSource::Environment}));
        QCOMPARE(awaitTask(TokenResolver::resolve(false, store)), std::nullopt);

        // Only the default service is read.
        awaitTask(store.save(good, u"ai.velkor.quorvane.onboarding-test.7"_s));
        setEnvironment({});
        QCOMPARE(awaitTask(TokenResolver::resolve(true, store)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestTokenResolver)
#include "tst_tokenresolver.moc"
