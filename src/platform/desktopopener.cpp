#include "platform/desktopopener.h"

#include "base/childsignalmask.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace DesktopOpener {

namespace {

// One start of the opener, owned by the application object. Where the opener waits for the file
// manager it started (desktops without a file manager service), the application can go first: that is
// the end of the run, not a failure of the opener, and nobody hears of it then. Nobody could: the
// program is taking down the windows and the log that would tell.
class Run final : public QObject {
public:
    Run(const QString &program, const QString &path, Done done)
        : QObject(QCoreApplication::instance()), m_program(program), m_done(std::move(done))
    {
        m_process.setProgram(program);
        m_process.setArguments({path});
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardOutputFile(QProcess::nullDevice());
        // Standard error into a file, not a pipe: the file manager the opener starts inherits it and may
        // write to it long after the opener is gone, and a pipe nobody reads any more would kill it.
        m_process.setStandardErrorFile(m_errors.open() ? m_errors.fileName() : QProcess::nullDevice());
        // The opener gets the signal mask the process started with: QProcess starts it without the fork
        // handlers that give it back.
        m_process.setChildProcessModifier(ChildSignalMask::restoreInChild);
        // Qt reports an opener that never started with errorOccurred() alone, any other end with
        // finished().
        connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                end(m_program + u": "_s + m_process.errorString());
        });
        connect(&m_process, &QProcess::finished, this, &Run::finished);
        m_process.start();
    }

    ~Run() override
    {
        // Still running as the application goes: ended without a word. The file manager it started is
        // a program of its own and stays.
        disconnect(&m_process, nullptr, this, nullptr);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

private:
    void finished(int status, QProcess::ExitStatus how)
    {
        if (how == QProcess::NormalExit && status == 0) {
            end({});
            return;
        }
        QString failure = lastWord();
        if (failure.isEmpty())
            failure = how == QProcess::NormalExit
                          ? m_program + u" stopte met status "_s + QString::number(status)
                          : m_program + u" is afgebroken"_s;
        end(failure);
    }

    void end(const QString &failure)
    {
        deleteLater();
        if (m_done)
            m_done(failure);
    }

    // The opener's last line on standard error, short enough for one log line.
    QString lastWord()
    {
        m_errors.seek(0);
        const QStringList lines =
            QString::fromLocal8Bit(m_errors.read(64 * 1024)).split(u'\n', Qt::SkipEmptyParts);
        for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
            const QString text = line->trimmed();
            if (!text.isEmpty())
                return text.left(300);
        }
        return {};
    }

    const QString m_program;
    const Done m_done;
    QTemporaryFile m_errors;
    QProcess m_process;
};

} // namespace

void open(const QString &program, const QString &path, Done done)
{
    new Run(program, path, std::move(done));
}

} // namespace DesktopOpener
