#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One HTTP request as the fake hub received it, kept byte for byte so tests can
// assert exactly what the client put on the wire.
struct FakeRequest {
    QByteArray method;
    QByteArray target; // raw request target: path and query, still percent-encoded
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>>
        headers;        // in order, names as sent, values without surrounding blanks
    QByteArray body;    // for a handed-over WebSocket upgrade: bytes read after the head, if any
    QByteArray rawHead; // request line and headers up to and including the blank line
    QDateTime received;
    int connectionId = 0;
    bool knownPath = false; // false for anything the fake hub does not serve (answered 404)

    // First value of a header, matched on the name without regard to case; empty when absent.
    QByteArray header(const QByteArray &name) const;
    bool hasHeader(const QByteArray &name) const;
    QByteArray path() const;  // target without the query
    QByteArray query() const; // text after "?", empty when none
    // The path under "/api/" (or without the leading "/" elsewhere), still encoded:
    // what faults are matched against.
    QByteArray route() const;
    // route() cut at "/" and each piece percent-decoded, so an encoded "/" stays inside its segment.
    QStringList segments() const;
    bool wantsClose() const;

    bool operator==(const FakeRequest &) const = default;
};

// Reads one request off the front of a connection's buffer.
namespace FakeHttpParser {
enum class Outcome { Incomplete, Request, Malformed };

inline constexpr qsizetype maxHeadSize = 64 * 1024;
inline constexpr qsizetype maxBodySize = 16 * 1024 * 1024;

// On Request the request's bytes are taken off the buffer. On Malformed, `request`
// holds what could be read (possibly nothing) and the connection should be dropped.
Outcome take(QByteArray &buffer, FakeRequest &request);
} // namespace FakeHttpParser
