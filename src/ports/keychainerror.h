#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

// A failure of the secret store. A missing item is never one of these.
class KeychainError : public std::exception {
public:
    enum class Kind { Unhandled, Denied, TimedOut };

    // The store answered with a status we do not map.
    static KeychainError unhandled(int status);
    // The store refused access (no service running, the user said no).
    static KeychainError denied();
    // The store did not answer in time (a locked keyring waiting on its unlock prompt). The operation was
    // either never started or may still end on its own; it was not refused.
    static KeychainError timedOut();

    Kind kind() const { return m_kind; }
    // Only meaningful for Unhandled; 0 otherwise.
    int status() const { return m_status; }
    QString errorDescription() const;
    // What the user can do about it.
    QString recovery() const;
    const char *what() const noexcept override;

    bool operator==(const KeychainError &other) const
    {
        return m_kind == other.m_kind && m_status == other.m_status;
    }

private:
    KeychainError(Kind kind, int status);

    Kind m_kind;
    int m_status;
    QByteArray m_what;
};
