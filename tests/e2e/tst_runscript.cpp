#include "servedcase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;
using EndToEnd::run;

// scripts/run: the demo home, or the hub it is given.
class TstRunScript : public ServedCase {
    Q_OBJECT

private Q_SLOTS:
    void theRunScriptShowsTheDemoHomeLive()
    {
        // The demo's log is in the build folder, not in the usual place; the script says so. Earlier
        // runs wrote to it too: only what comes after them counts.
        const QString folder = QStringLiteral(QUORVANE_BUILD_DIR "/demo-home/state/Quorvane/");
        const qint64 before = QFileInfo(folder + u"quorvane.log"_s).size();
        const auto logged = [&](const QByteArray &text) {
            QFile log(folder + u"quorvane.log"_s);
            if (!log.open(QIODevice::ReadOnly))
                return false;
            // A log grown too large is started anew.
            if (log.size() >= before)
                log.seek(before);
            return log.readAll().contains(text);
        };
        // An earlier run's hub line, of a hub long gone: the script must read the line of its own hub.
        QDir().mkpath(QStringLiteral(QUORVANE_BUILD_DIR "/demo-home"));
        QFile stale(QStringLiteral(QUORVANE_BUILD_DIR "/demo-home/fakehub.out"));
        QVERIFY(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
        stale.write("fakehub listening on http://127.0.0.1:1 token stale\n");
        stale.close();
        QProcess *script =
            launch(u"bash"_s, {QStringLiteral(QUORVANE_SOURCE_DIR "/scripts/run")},
                   {{u"QUORVANE_RUN_BUILD"_s, QStringLiteral(QUORVANE_BUILD_DIR)}}, QProcess::MergedChannels);
        QString output;
        const auto said = [&](const QString &text) {
            output += QString::fromUtf8(script->readAll());
            return output.contains(text);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(said(u"verbinding: Live verbonden."_s), qPrintable(output), patience);
        QVERIFY(said(u"panel: getoond, zichtbaar=true"_s));
        QVERIFY2(said(u"scripts/run: the log and the pictures of kill -USR2 are in "_s + folder + u'\n'),
                 qPrintable(output));
        QTRY_VERIFY_WITH_TIMEOUT(logged("verbinding: Live verbonden."), patience);
        const QRegularExpressionMatch pid =
            QRegularExpression(u"quorvane runs as pid (\\d+)"_s).match(output);
        QVERIFY(pid.hasMatch());

        // Stopping the script stops the program and the fake hub with it.
        script->terminate();
        QVERIFY(EndToEnd::ended(script));
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid.captured(1).toLongLong()), 0) != 0, patience);
    }

    void theRunScriptConnectsToTheHubItIsGiven()
    {
        QMap<QString, QString> extra = hubEnvironment();
        extra.insert(u"QUORVANE_RUN_BUILD"_s, QStringLiteral(QUORVANE_BUILD_DIR));
        QProcess *script = launch(u"bash"_s, {QStringLiteral(QUORVANE_SOURCE_DIR "/scripts/run")}, extra,
                                  QProcess::MergedChannels);
        QString output;
        const auto said = [&](const QString &text) {
            output += QString::fromUtf8(script->readAll());
            return output.contains(text);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(said(u"verbinding: Live verbonden."_s), qPrintable(output), patience);
        QVERIFY(said(u"scripts/run: connecting to your hub"_s));
        QVERIFY(said(u"scripts/run: the log and the pictures of kill -USR2 are in "_s + home() +
                     u"/state/Quorvane/\n"_s));
        QVERIFY(!said(u"demo home"_s));
        QVERIFY(!m_hub->requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstRunScript)
#include "tst_runscript.moc"
