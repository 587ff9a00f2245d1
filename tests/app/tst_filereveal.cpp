#include "app/filereveal.h"
#include "app/logreveal.h"
#include "base/log.h"
#include "fakefilemanager.h"
#include "logcapture.h"
#include "platform/desktopopener.h"
#include "platform/freedesktopfilemanager.h"

#include <csignal>
#include <optional>
#include <QDBusConnection>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString logFile = u"/tmp/Quorvane logboek/quorvane.log"_s;
const QUrl folder = QUrl::fromLocalFile(u"/tmp/Quorvane logboek"_s);

} // namespace

// Runs plainly (no session bus: only the folder can open) and through run-notifications.sh on a private
// session bus with the fake file manager above. The desktop's opener is a script of the test's own.
class TstFileReveal : public QObject {
    Q_OBJECT

    FakeFileManager m_manager;
    QTemporaryDir m_bin;
    std::shared_ptr<FreedesktopFileManager> m_files;
    int m_unshown = 0;

    static bool haveBus() { return QDBusConnection::sessionBus().isConnected(); }
    QString opener() const { return m_bin.filePath(u"xdg-open"_s); }
    // The folders the opener was asked to open.
    QList<QUrl> opened() const
    {
        QFile record(m_bin.filePath(u"opened"_s));
        QList<QUrl> urls;
        if (record.open(QIODevice::ReadOnly)) {
            for (const QString &path : QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts))
                urls << QUrl::fromLocalFile(path);
        }
        return urls;
    }
    // From now on the opener finds no way to open anything, as on a desktop without a file manager.
    void refuse() const { QVERIFY(QFile(m_bin.filePath(u"refuse"_s)).open(QIODevice::WriteOnly)); }
    void reveal()
    {
        FileReveal::reveal(m_files, logFile, [this](const QString &) { ++m_unshown; });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid());
        QFile script(opener());
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\n"
                                    "printf '%s\\n' \"$1\" >> '%1/opened'\n"
                                    "if [ -e '%1/refuse' ]; then\n"
                                    "    echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                                    "    exit 3\n"
                                    "fi\n")
                         .arg(m_bin.path())
                         .toUtf8());
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
        m_files = std::make_shared<FreedesktopFileManager>(QDBusConnection::sessionBus(), opener());
        if (haveBus())
            QVERIFY(m_manager.serve(
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"fake-file-manager"_s)));
    }
    void init()
    {
        m_manager.shown.clear();
        QFile::remove(m_bin.filePath(u"opened"_s));
        QFile::remove(m_bin.filePath(u"refuse"_s));
        m_unshown = 0;
    }
    // Something was shown each time: nobody needs telling.
    void cleanup() { QCOMPARE(m_unshown, 0); }

    void withoutBusTheFolderOpens()
    {
        if (haveBus())
            QSKIP("a session bus is there");
        reveal();
        QTRY_COMPARE(opened(), QList<QUrl>{folder});
    }

    void theFileManagerShowsTheFileElseTheFolderOpens_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("failing");
        QTest::newRow("file manager shows it") << true << false;
        QTest::newRow("file manager cannot") << true << true;
        QTest::newRow("no file manager") << false << false;
    }
    void theFileManagerShowsTheFileElseTheFolderOpens()
    {
        if (!haveBus())
            QSKIP("needs run-notifications.sh");
        QFETCH(bool, present);
        QFETCH(bool, failing);
        if (!present)
            QVERIFY(m_manager.bus().unregisterService(FakeFileManager::name));
        m_manager.failing = failing;
        reveal();

        const QList<QUrl> expected = present && !failing ? QList<QUrl>() : QList<QUrl>{folder};
        QTRY_COMPARE(opened(), expected);
        const QList<QStringList> asked{{u"file:///tmp/Quorvane%20logboek/quorvane.log"_s, QString()}};
        if (present)
            QTRY_COMPARE(m_manager.shown, asked);
        // Whatever the file manager answers, the folder opens at most once.
        QTest::qWait(200);
        QCOMPARE(opened(), expected);
        QCOMPARE(m_manager.shown.size(), present ? 1 : 0);
        if (!present)
            QVERIFY(m_manager.bus().registerService(FakeFileManager::name));
    }

    // The program blocks the signals it reads itself: the opener, and the file manager it starts, must
    // not inherit that, or SIGTERM and Ctrl+C could never stop them. The report comes from bash, which
    // keeps the mask it is given; dash, the usual xdg-open's shell, would clear it and hide the fault.
    void theOpenerStartsWithNoSignalBlocked()
    {
        const QString script = m_bin.filePath(u"report-mask"_s);
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("#!/bin/bash\ngrep SigBlk /proc/self/status > '%1/mask'\n")
                       .arg(m_bin.path())
                       .toUtf8());
        file.close();
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        sigset_t watched;
        sigemptyset(&watched);
        for (const int signal : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2})
            sigaddset(&watched, signal);
        sigset_t before;
        pthread_sigmask(SIG_BLOCK, &watched, &before);
        std::optional<QString> failure;
        DesktopOpener::open(script, u"/tmp"_s, [&](const QString &why) { failure = why; });
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        QTRY_VERIFY(failure.has_value());
        QCOMPARE(*failure, QString());
        QFile mask(m_bin.filePath(u"mask"_s));
        QVERIFY(mask.open(QIODevice::ReadOnly));
        QCOMPARE(mask.readAll().simplified(), QByteArray("SigBlk: 0000000000000000"));
    }

    // No file manager, and an opener that starts but finds nothing to open the folder with (or is not
    // there at all): the log says why, and whoever asked hears where the log is.
    void whenNothingOpensTheFolderTheLogSaysWhy_data()
    {
        QTest::addColumn<bool>("openerThere");
        QTest::newRow("opener finds no way") << true;
        QTest::newRow("no opener") << false;
    }
    void whenNothingOpensTheFolderTheLogSaysWhy()
    {
        QFETCH(bool, openerThere);
        if (haveBus())
            QVERIFY(m_manager.bus().unregisterService(FakeFileManager::name));
        // Back for the next test, whatever becomes of this one.
        const auto present = qScopeGuard([this] {
            if (haveBus())
                m_manager.bus().registerService(FakeFileManager::name);
        });
        refuse();
        const QString program = openerThere ? opener() : m_bin.filePath(u"nothing-here"_s);
        const auto files = std::make_shared<FreedesktopFileManager>(QDBusConnection::sessionBus(), program);
        LogCapture logged;
        QStringList told;
        LogReveal::reveal(files, [&told](const QString &text) { told << text; });

        QTRY_COMPARE(told, QStringList{LogReveal::unshownText()});
        QVERIFY(told.constFirst().endsWith(u"\n"_s + Log::fileURL()));
        const QStringList failures = logged.matching(u"!! logboek tonen: "_s);
        QCOMPARE(failures.size(), 1);
        const QString folderOfLog = QFileInfo(Log::fileURL()).absolutePath();
        // In the opener's own words, or naming the opener that is not there.
        const QString why =
            openerThere ? u"xdg-open: no method available for opening '"_s + folderOfLog + u"'"_s : program;
        QVERIFY2(failures.constFirst().contains(why), qPrintable(failures.constFirst()));
        if (openerThere)
            QCOMPARE(opened(), QList<QUrl>{QUrl::fromLocalFile(folderOfLog)});
    }
};

QTEST_MAIN(TstFileReveal)
#include "tst_filereveal.moc"
