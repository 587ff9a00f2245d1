#include "platform/desktopopener.h"

#include "base/childsignalmask.h"

#include <memory>
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace DesktopOpener {

namespace {

// The opener's last line on standard error, short enough for one log line.
QString lastWord(QTemporaryFile &errors)
{
    errors.seek(0);
    const QStringList lines = QString::fromLocal8Bit(errors.read(64 * 1024)).split(u'\n', Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = line->trimmed();
        if (!text.isEmpty())
            return text.left(300);
    }
    return {};
}

} // namespace

void open(const QString &program, const QString &path, Done done)
{
    // Standard error into a file, not a pipe: the file manager the opener starts inherits it and may
    // write to it long after the opener is gone, and a pipe nobody reads any more would kill it.
    auto errors = std::make_shared<QTemporaryFile>();
    // Owned by the application: an opener still running at the end of the run goes with it.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProgram(program);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(errors->open() ? errors->fileName() : QProcess::nullDevice());
    // The opener gets the signal mask the process started with: QProcess starts it without the fork
    // handlers that give it back.
    process->setChildProcessModifier(ChildSignalMask::restoreInChild);
    if (!done)
        done = [](const QString &) {};
    // Qt reports an opener that never started with errorOccurred() alone, any other end with finished().
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, program, done](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         done(program + u": "_s + process->errorString());
                     });
    QObject::connect(process, &QProcess::finished, process,
                     [process, program, errors, done](int status, QProcess::ExitStatus how) {
                         process->deleteLater();
                         if (how == QProcess::NormalExit && status == 0) {
                             done({});
                             return;
                         }
                         QString failure = lastWord(*errors);
                         if (failure.isEmpty())
                             failure = how == QProcess::NormalExit
                                           ? program + u" stopte met status "_s + QString::number(status)
                                           : program + u" is afgebroken"_s;
                         done(failure);
                     });
    process->start();
}

} // namespace DesktopOpener
