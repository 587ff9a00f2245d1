#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

// A failure of the secret store. A missing item is never one of these.
class KeychainError : public std::exception {
public:
    enum class Kind { Unhandled, Denied };

    // The store answered with a status we do not map.
    static KeychainError unhandled(int status);
    // The store refused access (locked, no service running, the user said no).
    static KeychainError denied();

    Kind kind() const { return m_kind; }
    // Only meaningful for Unhandled; 0 for Denied.
    int status() const { return m_status; }
    QString errorDescription() const;
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
