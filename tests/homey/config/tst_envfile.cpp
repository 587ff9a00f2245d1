#include "homey/config/envfile.h"
#include "homey/config/homeyconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Map = QMap<QString, QString>;

class TestEnvFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QString &relativePath, const QByteArray &content)
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write test file");
        file.write(content);
        return path;
    }

private Q_SLOTS:
    void cleanup()
    {
        HomeyConfig::setEnvironmentSourceForTesting(std::nullopt);
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Map>("expected");
        QTest::newRow("first occurrence wins") << u"A=1\nA=2\n"_s << Map{{u"A"_s, u"1"_s}};
        QTest::newRow("double quotes keep inner spaces") << u"A=\" x y \""_s << Map{{u"A"_s, u" x y "_s}};
        QTest::newRow("single quotes") << u"A='v'"_s << Map{{u"A"_s, u"v"_s}};
        QTest::newRow("mixed quotes stay") << u"A=\"v'"_s << Map{{u"A"_s, u"\"v'"_s}};
        QTest::newRow("a lone quote stays") << u"A=\""_s << Map{{u"A"_s, u"\""_s}};
        QTest::newRow("empty quotes") << u"A=\"\""_s << Map{{u"A"_s, QString()}};
        QTest::newRow("only one pair removed") << u"A=\"\"v\"\""_s << Map{{u"A"_s, u"\"v\""_s}};
        QTest::newRow("comment, blanks, no equals, leading equals")
            << u"# A=1\n \t \nNOEQUALS\n=v\n"_s << Map{{QString(), u"v"_s}};
        QTest::newRow("indented comment") << u"   # A=1"_s << Map{};
        QTest::newRow("export is part of the key") << u"export A=1"_s << Map{{u"export A"_s, u"1"_s}};
        QTest::newRow("no inline comment") << u"A=1 # note"_s << Map{{u"A"_s, u"1 # note"_s}};
        QTest::newRow("no expansion or escapes") << u"A=$HOME\\n"_s << Map{{u"A"_s, u"$HOME\\n"_s}};
        QTest::newRow("first equals splits") << u"A = b=c "_s << Map{{u"A"_s, u"b=c"_s}};
        QTest::newRow("unicode spaces and tabs trimmed") << u"\tA\u00a0=\u2003v\t"_s << Map{{u"A"_s, u"v"_s}};
        QTest::newRow("CRLF line ends") << u"A=1\r\nB = \"two\"\r\n\r\nC='3'\r\n"_s
                                        << Map{{u"A"_s, u"1"_s}, {u"B"_s, u"two"_s}, {u"C"_s, u"3"_s}};
        QTest::newRow("CR inside a value stays") << u"A=1\r2"_s << Map{{u"A"_s, u"1\r2"_s}};
        QTest::newRow("empty value") << u"A="_s << Map{{u"A"_s, QString()}};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(Map, expected);
        QCOMPARE(EnvFile::parse(text), expected);
    }

    void candidatesWalkUpFiveDirectoriesAtMost()
    {
        const QString deep = m_dir.filePath(u"a/b/c/d/e/f"_s);
        QDir().mkpath(deep);
        write(u"a/.env"_s, "TOO=far");
        const QString fromB = write(u"a/b/.env"_s, "B=1");
        const QString fromE = write(u"a/b/c/d/e/.env"_s, "E=1");
        QDir().mkpath(m_dir.filePath(u"a/b/c/d/.env"_s)); // a directory, not a file

        QCOMPARE(HomeyConfig::envFileCandidates({}, deep), (QStringList{fromE, fromB}));
    }

    void namedFileComesFirstAndRelativeToWorkingDirectory()
    {
        const QString working = m_dir.filePath(u"w"_s);
        const QString local = write(u"w/.env"_s, "A=local");
        const QString named = write(u"w/conf/dev.env"_s, "A=named\nB=2");
        const Map process{{u"QUORVANE_ENV_FILE"_s, u"conf/dev.env"_s}};

        QCOMPARE(HomeyConfig::envFileCandidates(process, working), (QStringList{named, local}));
        QCOMPARE(HomeyConfig::buildEnvironmentValues(process, working),
                 (Map{{u"A"_s, u"named"_s}, {u"B"_s, u"2"_s}, {u"QUORVANE_ENV_FILE"_s, u"conf/dev.env"_s}}));

        const Map missing{{u"QUORVANE_ENV_FILE"_s, u"nowhere.env"_s}};
        QCOMPARE(HomeyConfig::envFileCandidates(missing, working), QStringList{local});
    }

    void unreadableFileIsSkippedAndProcessEnvironmentWins()
    {
        const QString working = m_dir.filePath(u"x/y"_s);
        write(u"x/y/.env"_s, "A=\xff\xfe broken");
        write(u"x/.env"_s, "A=file\nB=file\nB=second");
        const Map values = HomeyConfig::buildEnvironmentValues({{u"A"_s, u"process"_s}}, working);
        QCOMPARE(values, (Map{{u"A"_s, u"process"_s}, {u"B"_s, u"file"_s}}));
    }

    void filesAreNeverMerged()
    {
        const QString working = m_dir.filePath(u"x/y"_s);
        write(u"x/y/.env"_s, "");
        write(u"x/.env"_s, "A=parent");
        QCOMPARE(HomeyConfig::buildEnvironmentValues({}, working), Map{});
    }

    void environmentValuesAreReadOncePerProcess()
    {
        const QString working = m_dir.filePath(u"w"_s);
        const QString path = write(u"w/.env"_s, "A=first");
        HomeyConfig::setEnvironmentSourceForTesting(
            HomeyConfig::EnvironmentSource{{{u"P"_s, u"1"_s}}, working});
        QCOMPARE(HomeyConfig::environmentValues(), (Map{{u"A"_s, u"first"_s}, {u"P"_s, u"1"_s}}));

        write(u"w/.env"_s, "A=changed");
        QCOMPARE(HomeyConfig::environmentValues().value(u"A"_s), u"first"_s);

        HomeyConfig::setEnvironmentSourceForTesting(HomeyConfig::EnvironmentSource{{}, working});
        QCOMPARE(HomeyConfig::environmentValues(), (Map{{u"A"_s, u"changed"_s}}));
        Q_UNUSED(path);
    }
};

QTEST_GUILESS_MAIN(TestEnvFile)
#include "tst_envfile.moc"
