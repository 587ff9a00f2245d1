#include "base/settingsfile.h"

#include "base/regularfile.h"
#include "base/settingsworker.h"
#include "base/workerthreads.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <sys/stat.h>

namespace {

bool onMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

struct Files {
    std::mutex mutex;
    QHash<QString, std::shared_ptr<SettingsFile>> byPath;
};

// Leaked on purpose: no file goes before the process does, and none is destroyed at exit while a write
// of it may still be on its way.
Files &files()
{
    static Files *const instance = new Files;
    return *instance;
}

} // namespace

std::shared_ptr<SettingsFile> SettingsFile::at(const QString &path)
{
    Files &all = files();
    std::lock_guard lock(all.mutex);
    std::shared_ptr<SettingsFile> &file = all.byPath[path];
    if (!file)
        file = std::make_shared<SettingsFile>(path);
    return file;
}

void SettingsFile::flushAll()
{
    QList<std::shared_ptr<SettingsFile>> each;
    {
        Files &all = files();
        std::lock_guard lock(all.mutex);
        each = all.byPath.values();
    }
    for (const std::shared_ptr<SettingsFile> &file : each)
        file->flush();
}

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

SettingsFile::Signature SettingsFile::signatureOf(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true,         S_ISREG(info.st_mode),
            info.st_dev,  info.st_ino,
            info.st_size, qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

SettingsFile::Signature SettingsFile::write(const QString &path, const Changes &changes, bool keepOpen)
{
    // Something else took the file's place meanwhile (a FIFO would hold the writer forever).
    if (!RegularFile::absentOrRegular(path))
        return signatureOf(path);
    std::optional<QSettings> own;
    if (!keepOpen)
        own.emplace(path, QSettings::IniFormat);
    QSettings &settings = keepOpen ? SettingsWorker::settings(path) : *own;
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value())
            settings.setValue(it.key(), *it.value());
        else
            settings.remove(it.key());
    }
    // Written to a new file that then takes the old one's place.
    settings.sync();
    return signatureOf(path);
}

bool SettingsFile::mayWait()
{
    return onMainThread() && QThread::currentThread()->loopLevel() > 0;
}

QVariant SettingsFile::value(const QString &key)
{
    std::unique_lock lock(m_mutex);
    reloadIfChanged(lock);
    makeLater(key);
    return m_values.value(key);
}

bool SettingsFile::takeIn()
{
    // One look at the file's place serves both: a FIFO or device there is left alone, and another
    // process's changes are read first. Within a burst of our own changes nothing is read, and the
    // worker looks again before it writes, so the place is not looked at for each change.
    if (pending())
        return true;
    const Signature now = signatureOf(m_path);
    if (now.exists && !now.regular)
        return false;
    if (!m_loaded || now != m_signature)
        reload(now);
    return true;
}

void SettingsFile::change(const QString &key, const std::optional<QString> &stored)
{
    std::unique_lock lock(m_mutex);
    if (!takeIn())
        return;
    m_later.remove(key);
    m_making.remove(key);
    if (stored)
        m_values.insert(key, *stored);
    else
        m_values.remove(key);
    m_waiting.insert(key, stored);
    afterChange(lock);
}

void SettingsFile::changeLater(const QString &key, std::function<QString()> text)
{
    std::unique_lock lock(m_mutex);
    if (!takeIn())
        return;
    m_making.remove(key);
    m_later.insert(key, std::make_shared<const std::function<QString()>>(std::move(text)));
    afterChange(lock);
}

void SettingsFile::afterChange(std::unique_lock<std::mutex> &lock)
{
    if (mayWait()) {
        lock.unlock();
        schedule();
        return;
    }
    writeHere(lock);
}

void SettingsFile::writeHere(std::unique_lock<std::mutex> &lock)
{
    // Written now, after what the worker still has of this file.
    waitForWorker(lock);
    makeAllLater();
    const Changes changes = std::exchange(m_waiting, {});
    m_signature = write(m_path, changes, false);
}

void SettingsFile::makeLater(const QString &key)
{
    if (const auto found = m_later.find(key); found != m_later.end()) {
        const QString text = (**found)();
        m_later.erase(found);
        m_values.insert(key, text);
        m_waiting.insert(key, text);
    } else if (const auto making = m_making.find(key); making != m_making.end()) {
        // On its way to the file already: only memory waits for it.
        m_values.insert(key, (**making)());
        m_making.erase(making);
    }
}

void SettingsFile::makeAllLater()
{
    for (auto it = m_later.cbegin(); it != m_later.cend(); ++it) {
        const QString text = (*it.value())();
        m_values.insert(it.key(), text);
        m_waiting.insert(it.key(), text);
    }
    m_later.clear();
}

void SettingsFile::flush()
{
    if (m_timer && onMainThread())
        m_timer->stop();
    std::unique_lock lock(m_mutex);
    dispatch(lock);
    waitForWorker(lock);
}

void SettingsFile::reloadIfChanged(std::unique_lock<std::mutex> &)
{
    // While changes of ours are on their way, memory is ahead of the file.
    if (m_loaded && pending())
        return;
    const Signature now = signatureOf(m_path);
    if (m_loaded && now == m_signature)
        return;
    reload(now);
}

void SettingsFile::reload(const Signature &now)
{
    m_values.clear();
    if (now.exists) {
        const QSettings settings(m_path, QSettings::IniFormat);
        for (const QString &key : settings.allKeys())
            m_values.insert(key, settings.value(key));
    }
    m_signature = now;
    m_loaded = true;
}

void SettingsFile::schedule()
{
    if (!m_timer) {
        m_timer = new QTimer;
        m_timer->setSingleShot(true);
        m_timer->setInterval(delay);
        QObject::connect(m_timer, &QTimer::timeout, [this] {
            std::unique_lock lock(m_mutex);
            dispatch(lock);
        });
        // Whatever still waits when the application object goes is written first.
        WorkerThreads::stopWithApplication();
    }
    // Not restarted by later changes: a steady stream of them still reaches the disk.
    if (!m_timer->isActive())
        m_timer->start();
}

void SettingsFile::dispatch(std::unique_lock<std::mutex> &lock)
{
    if (m_waiting.isEmpty() && m_later.isEmpty())
        return;
    const quint64 ticket = m_dispatched + 1;
    // The later texts are made on the worker too: a long list costs the main thread nothing.
    const bool posted = SettingsWorker::post([this, changes = m_waiting, later = m_later, ticket]() mutable {
        QHash<QString, QString> made;
        for (auto it = later.cbegin(); it != later.cend(); ++it)
            made.insert(it.key(), (*it.value())());
        {
            std::lock_guard lock(m_mutex);
            for (auto it = made.cbegin(); it != made.cend(); ++it) {
                // Not if a reader made it meanwhile, or the key changed again.
                const auto making = m_making.find(it.key());
                if (making != m_making.end() && *making == later.value(it.key())) {
                    m_values.insert(it.key(), it.value());
                    m_making.erase(making);
                }
            }
        }
        for (auto it = made.cbegin(); it != made.cend(); ++it)
            changes.insert(it.key(), it.value());
        const Signature written = write(m_path, changes, true);
        std::lock_guard lock(m_mutex);
        m_signature = written;
        m_done = ticket;
        m_written.notify_all();
    });
    if (!posted) {
        // The worker has stopped with the application: the changes stay ours to write.
        writeHere(lock);
        return;
    }
    m_dispatched = ticket;
    for (auto it = m_later.cbegin(); it != m_later.cend(); ++it)
        m_making.insert(it.key(), it.value());
    m_waiting.clear();
    m_later.clear();
}

void SettingsFile::waitForWorker(std::unique_lock<std::mutex> &lock)
{
    m_written.wait(lock, [this] { return m_done == m_dispatched; });
}
