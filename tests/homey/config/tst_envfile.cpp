#include "homey/config/envfile.h"
#include "homey/config/homeyconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

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
        QTest::newRow("only one pair removed") << u"A=\"\"v\"\""_s << Map{{u"A"_s, u"\"v\""_s}};
        QTest::newRow("comment, blanks, no equals, leading equals")
            << u"  # A=1\n \t \nNOEQUALS\n=v\n"_s << Map{{QString(), u"v"_s}};
        QTest::newRow("export, inline comment, no expansion")
            << u"export A=1 # note $HOME\\n"_s << Map{{u"export A"_s, u"1 # note $HOME\\n"_s}};
        QTest::newRow("first equals splits") << u"A = b=c "_s << Map{{u"A"_s, u"b=c"_s}};
        QTest::newRow("unicode spaces and tabs trimmed") << u"\tA\u00a0=\u2003v\t"_s << Map{{u"A"_s, u"v"_s}};
        QTest::newRow("CRLF line ends") << u"A=1\r\nB = \"two\"\r\n\r\nC=\r\n"_s
                                        << Map{{u"A"_s, u"1"_s}, {u"B"_s, u"two"_s}, {u"C"_s, QString()}};
        QTest::newRow("CR inside a value stays") << u"A=1\r2"_s << Map{{u"A"_s, u"1\r2"_s}};
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
        QDir().mkpath(m_dir.filePath(u"a/b/c/d/.env"_s)); // a folder, not a file
        QVERIFY(::mkfifo(QFile::encodeName(m_dir.filePath(u"a/b/c/.env"_s)).constData(), 0600) == 0);
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
        const Map device{{u"QUORVANE_ENV_FILE"_s, u"/dev/zero"_s}};
        QCOMPARE(HomeyConfig::envFileCandidates(device, working), QStringList{local});
    }

    void unreadableFileIsSkippedFilesAreNeverMergedProcessWins()
    {
        const QString working = m_dir.filePath(u"x/y/z"_s);
        write(u"x/y/z/.env"_s, "A=\xff\xfe broken");
        write(u"x/y/.env"_s, "A=file\nB=file");
        write(u"x/.env"_s, "C=grandparent");
        QCOMPARE(HomeyConfig::buildEnvironmentValues({{u"A"_s, u"process"_s}}, working),
                 (Map{{u"A"_s, u"process"_s}, {u"B"_s, u"file"_s}}));
    }

    void environmentValuesAreReadOncePerProcess()
    {
        const QString working = m_dir.filePath(u"w"_s);
        write(u"w/.env"_s, "QV_ONCE=first");
        QVERIFY(QDir::setCurrent(working));
        QCOMPARE(HomeyConfig::environmentValues().value(u"QV_ONCE"_s), u"first"_s);
        write(u"w/.env"_s, "QV_ONCE=changed");
        QCOMPARE(HomeyConfig::environmentValues().value(u"QV_ONCE"_s), u"first"_s);
    }
};

QTEST_GUILESS_MAIN(TestEnvFile)
#include "tst_envfile.moc"
