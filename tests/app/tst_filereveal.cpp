#include "app/filereveal.h"
#include "fakefilemanager.h"
#include "platform/freedesktopfilemanager.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString logFile = u"/tmp/Quorvane logboek/quorvane.log"_s;
const QUrl folder = QUrl::fromLocalFile(u"/tmp/Quorvane logboek"_s);

} // namespace

// Runs plainly (no session bus: only the folder can open) and through run-notifications.sh on a private
// session bus with the fake file manager above.
class TstFileReveal : public QObject {
    Q_OBJECT

    FakeFileManager m_manager;
    FreedesktopFileManager m_files;
    QList<QUrl> m_opened;
    int m_unshown = 0;

    static bool haveBus() { return QDBusConnection::sessionBus().isConnected(); }
    void reveal()
    {
        FileReveal::reveal(&m_files, logFile, [this] { ++m_unshown; });
    }

public Q_SLOTS:
    // In place of the desktop's way of opening a folder.
    void openFolder(const QUrl &url) { m_opened << url; }

private Q_SLOTS:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(u"file"_s, this, "openFolder");
        if (haveBus())
            QVERIFY(m_manager.serve(
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"fake-file-manager"_s)));
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(u"file"_s); }
    void init()
    {
        m_manager.shown.clear();
        m_opened.clear();
        m_unshown = 0;
    }
    // Something was shown each time: nobody needs telling.
    void cleanup() { QCOMPARE(m_unshown, 0); }

    void withoutBusTheFolderOpens()
    {
        if (haveBus())
            QSKIP("a session bus is there");
        reveal();
        QCOMPARE(m_opened, QList<QUrl>{folder});
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
        QTRY_COMPARE(m_opened, expected);
        const QList<QStringList> asked{{u"file:///tmp/Quorvane%20logboek/quorvane.log"_s, QString()}};
        if (present)
            QTRY_COMPARE(m_manager.shown, asked);
        // Whatever the file manager answers, the folder opens at most once.
        QTest::qWait(200);
        QCOMPARE(m_opened, expected);
        QCOMPARE(m_manager.shown.size(), present ? 1 : 0);
        if (!present)
            QVERIFY(m_manager.bus().registerService(FakeFileManager::name));
    }
};

QTEST_MAIN(TstFileReveal)
#include "tst_filereveal.moc"
