#pragma once

#include "base/settingsstore.h"
#include "fakehub/fakehub.h"
#include "fakehub/fakerealtime.h"

#include <algorithm>
#include <csignal>
#include <memory>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

// What the end-to-end tests share: running copies of the real program in a home folder of their own,
// on the display and session bus that run-e2e.sh provides, against a fake hub serving the demo home.
using namespace Qt::StringLiterals;

namespace EndToEnd {

// Generous: the sanitizer build starts slowly, and nothing here is timed. Under valgrind the program is
// slower still: QUORVANE_E2E_PATIENCE (milliseconds) says how long to wait there.
inline const int patience = qEnvironmentVariableIntValue("QUORVANE_E2E_PATIENCE") > 0
                                ? qEnvironmentVariableIntValue("QUORVANE_E2E_PATIENCE")
                                : 60000;

// One running copy of the program and everything it has logged (the log is echoed to stderr).
class Copy {
public:
    explicit Copy(QProcess *process) : m_process(process) {}

    QProcess *process() const { return m_process; }
    qint64 pid() const { return m_process->processId(); }
    void signal(int number) const { ::kill(pid_t(pid()), number); }

    // The log's messages, without their time stamps.
    QStringList messages()
    {
        m_text += QString::fromUtf8(m_process->readAllStandardError());
        QStringList lines;
        static const QRegularExpression stamp(u"^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}  "_s);
        for (const QString &line : m_text.split(u'\n')) {
            const QRegularExpressionMatch match = stamp.match(line);
            if (match.hasMatch())
                lines.append(line.mid(match.capturedLength()));
        }
        return lines;
    }
    int count(const QString &text) { return int(messages().filter(text).size()); }
    // What was written besides the log's lines: the sanitizers' reports, Qt's warnings.
    QString rest()
    {
        messages();
        QStringList others = m_text.split(u'\n');
        others.removeIf([](const QString &line) { return line.isEmpty() || line.at(0).isDigit(); });
        return others.join(u'\n');
    }
    bool logged(const QString &text) { return count(text) > 0; }

private:
    QProcess *m_process;
    QString m_text;
};

// The test's event loop keeps turning meanwhile: the fake hub lives in it, and a copy that is typed at
// for seconds asks it things while the keys still come.
inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    (void)QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, patience);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// Whether the process has ended, waiting for it as long as patience allows: waitForFinished() alone says
// false for one that ended while the test's event loop turned.
inline bool ended(QProcess *process)
{
    return process->state() == QProcess::NotRunning || process->waitForFinished(patience);
}

} // namespace EndToEnd

// The base of each end-to-end test class: one stage per test function, set up in init() and taken
// down in cleanup().
class EndToEndCase : public QObject {
protected:
    using Copy = EndToEnd::Copy;
    static inline const int patience = EndToEnd::patience;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeHub> m_hub;
    FakeRealtime *m_realtime = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::vector<std::unique_ptr<Copy>> m_copies;

    QString home() const { return m_folder->filePath(u"home"_s); }
    QString snapshotPath() const { return home() + u"/state/Quorvane/panel.png"_s; }

    QProcessEnvironment environment(const QMap<QString, QString> &extra) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &name : environment.keys()) {
            if (name.startsWith(u"HOMEY_"_s) ||
                (name.startsWith(u"QUORVANE_"_s) && name != u"QUORVANE_REDUCE_MOTION"_s))
                environment.remove(name);
        }
        environment.insert(u"HOME"_s, home());
        for (const QString &name : {u"STATE"_s, u"DATA"_s, u"CONFIG"_s, u"CACHE"_s})
            environment.insert(u"XDG_"_s + name + u"_HOME"_s, home() + u"/"_s + name.toLower());
        for (auto it = extra.begin(); it != extra.end(); ++it)
            environment.insert(it.key(), it.value());
        return environment;
    }
    QMap<QString, QString> hubEnvironment(const QString &token = {}) const
    {
        return {{u"HOMEY_BASE"_s, m_hub->baseURL().toString()},
                {u"HOMEY_ID"_s, u"demo"_s},
                {u"HOMEY_TOKEN"_s, token.isEmpty() ? m_hub->token() : token}};
    }
    QProcess *launch(const QString &program, const QStringList &arguments,
                     const QMap<QString, QString> &extra,
                     QProcess::ProcessChannelMode channels = QProcess::SeparateChannels)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment(extra));
        process->setProcessChannelMode(channels);
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }
    // The program, or the command in QUORVANE_E2E_WRAPPER (a memory checker) running it.
    Copy &start(const QStringList &arguments, const QMap<QString, QString> &extra = {})
    {
        QStringList command = QProcess::splitCommand(qEnvironmentVariable("QUORVANE_E2E_WRAPPER"));
        command << QStringLiteral(QUORVANE_BINARY) << arguments;
        QProcess *process = launch(command.takeFirst(), command, extra);
        m_copies.push_back(std::make_unique<Copy>(process));
        return *m_copies.back();
    }
    // The panel as it is now, also kept as e2e/<name>.png in the build folder for a person to see.
    QImage picture(Copy &copy, const QString &name)
    {
        const QImage image = snapshot(copy, snapshotPath());
        const QString folder = QStringLiteral(QUORVANE_BUILD_DIR "/e2e");
        QDir().mkpath(folder);
        image.save(folder + u'/' + name + u".png"_s);
        return image;
    }
    // SIGUSR2, then the picture it wrote.
    static QImage snapshot(Copy &copy, const QString &path)
    {
        const QString written = u"px geschreven naar "_s + path;
        const int before = copy.count(written);
        copy.signal(SIGUSR2);
        QDeadlineTimer deadline(patience);
        while (copy.count(written) == before && !deadline.hasExpired())
            QTest::qWait(20);
        return QImage(path);
    }
    // The copy's windows that are mapped on the display, its tray icon apart.
    static QStringList visibleWindows(const Copy &copy)
    {
        QStringList windows = mappedWindows(copy);
        windows.removeIf([](const QString &window) { return isTrayIcon(window); });
        return windows;
    }
    static QStringList mappedWindows(const Copy &copy)
    {
        return EndToEnd::run(u"xdotool"_s,
                             {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(copy.pid())})
            .split(u'\n', Qt::SkipEmptyParts);
    }
    // The copy's window on the display whose title matches the pattern; empty for none. xdotool takes
    // a window that meets any one condition unless told --all.
    static QString window(const Copy &copy, const QString &titlePattern)
    {
        return EndToEnd::run(u"xdotool"_s, {u"search"_s, u"--all"_s, u"--onlyvisible"_s, u"--pid"_s,
                                            QString::number(copy.pid()), u"--name"_s, titlePattern});
    }
    static bool showsWindow(const Copy &copy, const QString &titlePattern)
    {
        return !window(copy, titlePattern).isEmpty();
    }
    // An icon the tray host took in: the only window of ours that is not a child of the root window.
    static bool isTrayIcon(const QString &window)
    {
        const QString tree = EndToEnd::run(u"xwininfo"_s, {u"-children"_s, u"-id"_s, window});
        const QString parent = tree.mid(tree.indexOf(u"Parent window id:"_s)).section(u'\n', 0, 0);
        return !parent.isEmpty() && !parent.contains(u"(the root window)"_s);
    }
    // The copy's tray icon as the tray host shows it; empty for none.
    static QString trayIcon(const Copy &copy)
    {
        const QStringList windows = mappedWindows(copy);
        const auto icon = std::find_if(windows.begin(), windows.end(), isTrayIcon);
        return icon == windows.end() ? QString() : *icon;
    }
    // Presses keys on the display at once, as a person presses a chord.
    static void press(const QStringList &keys) { EndToEnd::run(u"xdotool"_s, QStringList{u"key"_s} + keys); }
    // Text typed into the window that has the keyboard, one key at a time.
    static void typeText(const QString &text)
    {
        EndToEnd::run(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"120"_s, text});
    }
    // A click of the pointer at a point of a window.
    static void click(const QString &window, QPoint at)
    {
        EndToEnd::run(u"xdotool"_s, {u"mousemove"_s, u"--sync"_s, u"--window"_s, window,
                                     QString::number(at.x()), QString::number(at.y()), u"click"_s, u"1"_s});
    }
    // Key presses to the window that has the keyboard, as a person types them.
    static void typeKeys(const QStringList &keys)
    {
        EndToEnd::run(u"xdotool"_s, QStringList{u"key"_s, u"--delay"_s, u"120"_s} + keys);
    }
    // A copy connected to the hub with its panel up and holding the keyboard; null when it did not
    // get there.
    Copy *openPanel()
    {
        Copy &copy = start({}, hubEnvironment());
        if (!QTest::qWaitFor([&] { return copy.logged(u"verbinding: Live verbonden."_s); }, patience))
            return nullptr;
        copy.signal(SIGUSR1);
        if (!QTest::qWaitFor([&] { return copy.logged(u"panel: key=true"_s); }, patience))
            return nullptr;
        return &copy;
    }
    // The hub's writes: "PUT <path>" and "POST <path>".
    QStringList writes() const
    {
        QStringList lines;
        for (const FakeRequest &request : m_hub->requests()) {
            if (request.method != "GET")
                lines << QString::fromUtf8(request.method + ' ' + request.path());
        }
        return lines;
    }
    SettingsStore settings() const
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home() + u"/config"_s));
        return SettingsStore::standard();
    }

    // A fresh home folder and the fake hub with the demo home, listening.
    bool setUpStage()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_hub = std::make_unique<FakeHub>();
        m_realtime = new FakeRealtime(m_hub.get());
        return m_folder->isValid() && m_hub->loadHome(FakeHub::demoHomePath()) && m_hub->listen();
    }
    // Ends the copies still running. Empty when every copy ended as asked and the sanitizers (in their
    // build) found nothing on the way; else what went wrong.
    QString tearDownStage()
    {
        for (const auto &process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(patience))
                    process->kill();
            }
        }
        QStringList problems;
        for (const auto &copy : m_copies) {
            // The reports first: QtTest cuts a long message short.
            const QString log = copy->rest() + u"\n"_s + copy->messages().join(u'\n');
            if (copy->process()->exitStatus() != QProcess::NormalExit || copy->process()->exitCode() != 0 ||
                log.contains(u"runtime error:"_s) || log.contains(u"AddressSanitizer"_s)) {
                problems << u"a copy ended with status %1:\n"_s.arg(copy->process()->exitCode()) + log;
                qWarning().noquote() << problems.constLast();
            }
        }
        m_copies.clear();
        m_processes.clear();
        m_hub.reset();
        m_folder.reset();
        return problems.join(u'\n');
    }
};
