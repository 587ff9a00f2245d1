#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <QHash>
#include <QString>
#include <QVariant>
#include <sys/types.h>

class QTimer;

// One settings file of the process, shared by every store of its suite. Its entries are held in memory:
// read from the file once, and again whenever something else has changed the file. Changes are seen at
// once by every reader; they reach the disk on the settings worker shortly after the first of them, so
// that a burst of writes costs one write of the file and the main thread never waits for the disk. A
// change made while no event loop runs on the main thread (start-up, shutdown, a test's own code) has no
// timer to wait for and is written at once. Each write replaces the file whole: after a crash the file is
// the old one or the new one, never a mix.
class SettingsFile {
public:
    // How long the first of a burst of changes waits for the others.
    static constexpr std::chrono::milliseconds delay{200};

    // The file at path; one object per path for the life of the process.
    static std::shared_ptr<SettingsFile> at(const QString &path);
    // Writes the waiting changes of every file and returns once they are on disk.
    static void flushAll();

    explicit SettingsFile(QString path);
    SettingsFile(const SettingsFile &) = delete;
    SettingsFile &operator=(const SettingsFile &) = delete;

    // The entry under key as QSettings reads it; invalid when absent.
    QVariant value(const QString &key);
    // stored: the new text of the entry; absent removes it.
    void change(const QString &key, const std::optional<QString> &stored);
    // The entry's text is made by text when it is first needed: when the key is read or the file is
    // written, on the thread that does so. A value that changes often is then made once per write of
    // the file rather than at every change, and a write the timer starts makes it on the worker, so
    // text may run on another thread than the one that called.
    void changeLater(const QString &key, std::function<QString()> text);
    // Returns once every change made so far is on disk.
    void flush();

private:
    // What the file at the path is: a changed one has another inode, size or time of change.
    struct Signature {
        bool exists = false;
        // A regular file: anything else is neither read nor written.
        bool regular = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        qint64 changed = 0; // nanoseconds
        bool operator==(const Signature &) const = default;
    };
    using Changes = QHash<QString, std::optional<QString>>;
    using Later = std::shared_ptr<const std::function<QString()>>;

    static Signature signatureOf(const QString &path);
    // On the calling thread: applies changes to the file and syncs it. Returns the file's new signature.
    static Signature write(const QString &path, const Changes &changes, bool keepOpen);
    static bool mayWait();

    void reloadIfChanged(std::unique_lock<std::mutex> &lock);
    // Reads the file as it is now; the caller holds the lock.
    void reload(const Signature &now);
    // Changes of ours not yet on disk: memory is ahead of the file.
    bool pending() const { return !m_waiting.isEmpty() || !m_later.isEmpty() || m_dispatched != m_done; }
    // Takes the waiting change of the file's place in, as for any other change; the caller holds the
    // lock. False when something other than a regular file is there.
    bool takeIn();
    // Makes the text of key's later entry, or of all of them; the caller holds the lock.
    void makeLater(const QString &key);
    void makeAllLater();
    // After a change is in memory and waiting: schedules the write, or writes at once.
    void afterChange(std::unique_lock<std::mutex> &lock);
    void schedule();
    // Hands the waiting changes to the worker; the caller holds the lock.
    void dispatch(std::unique_lock<std::mutex> &lock);
    void waitForWorker(std::unique_lock<std::mutex> &lock);
    // Writes what waits on the calling thread; the caller holds the lock.
    void writeHere(std::unique_lock<std::mutex> &lock);

    const QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_written;
    QHash<QString, QVariant> m_values;
    bool m_loaded = false;
    Signature m_signature;
    Changes m_waiting;
    QHash<QString, Later> m_later;
    // Handed to the worker, which makes them; until it has, a reader makes its own.
    QHash<QString, Later> m_making;
    quint64 m_dispatched = 0;
    quint64 m_done = 0;
    // Lives on the main thread; made with the first change that waits.
    QTimer *m_timer = nullptr;
};
