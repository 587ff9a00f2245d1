#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

// The one failure type of the hub layer. Every case carries a Dutch message and a hint for the user.
class HomeyError : public std::exception {
public:
    enum class Kind { unreachable, http, decoding, socket, notConfigured, offline, unauthorized };

    // host is the host that was tried, or "je Homey" when none is known.
    static HomeyError unreachable(const QString &host);
    // path is the request path as shown to the user, beginning with "/api/".
    static HomeyError http(int status, const QString &path);
    static HomeyError decoding(const QString &text);
    static HomeyError socket(const QString &text);
    static HomeyError notConfigured();
    static HomeyError offline();
    static HomeyError unauthorized();

    Kind kind() const { return m_kind; }
    // Payloads; empty (or 0) for the cases that do not carry them.
    QString host() const { return m_kind == Kind::unreachable ? m_text : QString(); }
    int status() const { return m_status; }
    QString path() const { return m_kind == Kind::http ? m_text : QString(); }
    // The reason text of decoding and socket.
    QString text() const { return m_kind == Kind::decoding || m_kind == Kind::socket ? m_text : QString(); }

    QString errorDescription() const;
    QString recovery() const;
    // The same for every error of the kind: no payload goes into it.
    static QString recovery(Kind kind);
    const char *what() const noexcept override { return m_what.constData(); }

    friend bool operator==(const HomeyError &a, const HomeyError &b)
    {
        return a.m_kind == b.m_kind && a.m_status == b.m_status && a.m_text == b.m_text;
    }

private:
    HomeyError(Kind kind, QString text = {}, int status = 0);

    Kind m_kind;
    QString m_text;
    int m_status;
    QByteArray m_what;
};
