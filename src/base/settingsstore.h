#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <QMap>
#include <QString>
#include <QStringList>
#include <variant>

class SettingsFile;

using SettingsValue = std::variant<bool, qint64, double, QString, QStringList, QMap<QString, double>>;

// Typed user defaults: one INI file per suite under $XDG_CONFIG_HOME/Quorvane. Every value is stored with
// its type, so another process reads back exactly what was written. Every store of a suite sees a write at
// once; the disk gets it shortly after, on a worker (see SettingsFile), and at the latest when the
// application quits. Anything but a regular file at the file's place (a FIFO, a device) is left alone:
// nothing is read from it and nothing is written.
class SettingsStore {
public:
    explicit SettingsStore(const QString &suite);
    // The suite "quorvane".
    static SettingsStore standard();

    QString suite() const { return m_suite; }
    QString filePath() const { return m_filePath; }

    std::optional<SettingsValue> value(const QString &key) const;
    void setValue(const QString &key, const SettingsValue &value);
    // value is asked for the value only when it is read or written, on the thread that does so; it
    // must be safe to call there. For a value that changes often and is costly to store.
    void setValueLater(const QString &key, std::function<SettingsValue()> value);
    void remove(const QString &key);
    bool contains(const QString &key) const;
    // Returns once every write made so far is on disk: this suite's, or every suite's.
    void flush();
    static void flushAll();

    // Only a value stored with exactly this type; anything else is absent.
    std::optional<bool> boolValue(const QString &key) const;
    std::optional<qint64> integerValue(const QString &key) const;
    std::optional<double> doubleValue(const QString &key) const;
    std::optional<QString> stringValue(const QString &key) const;
    std::optional<QStringList> stringListValue(const QString &key) const;
    std::optional<QMap<QString, double>> doubleMapValue(const QString &key) const;

    // Lenient readings: absent and unusable values read as false.
    bool boolReading(const QString &key) const;
    // Lenient readings: absent and unusable values read as 0; fractions are cut toward zero.
    qint64 integerReading(const QString &key) const;

    static QString encode(const SettingsValue &value);
    static std::optional<SettingsValue> decode(const QString &stored);

private:
    QString m_suite;
    QString m_filePath;
    std::shared_ptr<SettingsFile> m_file;
};
