#pragma once

#include <QString>

// The state of the link to the hub; only the home store writes it. Default-constructed it is idle.
class ConnectionState {
public:
    enum class Kind { loading, degraded, failed, idle, connecting, live };

    ConnectionState() = default;

    // What is being loaded, for example "Apparaten ophalen...".
    static ConnectionState loading(const QString &text) { return ConnectionState(Kind::loading, text); }
    // The home is shown but the live link is missing or lost; text says why.
    static ConnectionState degraded(const QString &text) { return ConnectionState(Kind::degraded, text); }
    static ConnectionState failed(const QString &message, const QString &hint)
    {
        return ConnectionState(Kind::failed, message, hint);
    }
    static ConnectionState idle() { return ConnectionState(Kind::idle); }
    static ConnectionState connecting() { return ConnectionState(Kind::connecting); }
    static ConnectionState live() { return ConnectionState(Kind::live); }

    Kind kind() const { return m_kind; }
    // The text of loading and degraded, the message of failed; empty otherwise.
    const QString &text() const { return m_text; }
    // The hint of failed; empty otherwise.
    const QString &hint() const { return m_hint; }

    bool operator==(const ConnectionState &) const = default;

private:
    explicit ConnectionState(Kind kind, QString text = {}, QString hint = {})
        : m_kind(kind), m_text(std::move(text)), m_hint(std::move(hint))
    {}

    Kind m_kind = Kind::idle;
    QString m_text;
    QString m_hint;
};
