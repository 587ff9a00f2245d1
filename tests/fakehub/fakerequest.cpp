#include "fakehub/fakerequest.h"

#include <optional>

QByteArray FakeRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool FakeRequest::hasHeader(const QByteArray &name) const
{
    for (const auto &pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QByteArray FakeRequest::path() const
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? target : target.left(mark);
}

QByteArray FakeRequest::query() const
{
    const qsizetype mark = target.indexOf('?');
    return mark < 0 ? QByteArray() : target.mid(mark + 1);
}

QByteArray FakeRequest::route() const
{
    const QByteArray p = path();
    if (p.startsWith("/api/"))
        return p.mid(5);
    return p.startsWith('/') ? p.mid(1) : p;
}

QStringList FakeRequest::segments() const
{
    QStringList out;
    for (const QByteArray &raw : route().split('/'))
        out.append(QString::fromUtf8(QByteArray::fromPercentEncoding(raw)));
    return out;
}

bool FakeRequest::wantsClose() const
{
    const QByteArray connection = header("Connection").toLower();
    if (version == "HTTP/1.0")
        return !connection.contains("keep-alive");
    return connection.contains("close");
}

namespace {
bool isToken(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c <= ' ' || c == ':' || c == 127)
            return false;
    }
    return true;
}

std::optional<qsizetype> contentLength(const FakeRequest &request, bool &malformed)
{
    std::optional<qsizetype> length;
    for (const auto &[name, value] : request.headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;
        bool ok = false;
        const qlonglong parsed = value.toLongLong(&ok);
        if (!ok || parsed < 0 || parsed > FakeHttpParser::maxBodySize || (length && *length != parsed)) {
            malformed = true;
            return {};
        }
        length = parsed;
    }
    return length;
}
} // namespace

FakeHttpParser::Outcome FakeHttpParser::take(QByteArray &buffer, FakeRequest &request)
{
    // Blank lines between requests are allowed before a request line.
    while (buffer.startsWith("\r\n"))
        buffer.remove(0, 2);
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return buffer.size() > maxHeadSize ? Outcome::Malformed : Outcome::Incomplete;
    if (headEnd > maxHeadSize)
        return Outcome::Malformed;

    FakeRequest parsed;
    parsed.rawHead = buffer.left(headEnd + 4);
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine =
        lines.first().chopped(lines.first().endsWith('\r') ? 1 : 0).split(' ');
    if (requestLine.size() != 3 || !isToken(requestLine[0]) || requestLine[1].isEmpty() ||
        !requestLine[2].startsWith("HTTP/1.")) {
        request = parsed;
        return Outcome::Malformed;
    }
    parsed.method = requestLine[0];
    parsed.target = requestLine[1];
    parsed.version = requestLine[2];

    bool malformed = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = colon < 0 ? QByteArray() : line.left(colon);
        if (!isToken(name) || line.contains('\r')) {
            malformed = true;
            continue;
        }
        parsed.headers.append({name, line.mid(colon + 1).trimmed()});
    }
    const std::optional<qsizetype> length = contentLength(parsed, malformed);
    // Chunked bodies are not something the client sends; refuse rather than misread them.
    if (malformed || parsed.hasHeader("Transfer-Encoding")) {
        request = parsed;
        return Outcome::Malformed;
    }
    const qsizetype bodySize = length.value_or(0);
    if (buffer.size() < headEnd + 4 + bodySize)
        return Outcome::Incomplete;
    parsed.body = buffer.mid(headEnd + 4, bodySize);
    buffer.remove(0, headEnd + 4 + bodySize);
    request = parsed;
    return Outcome::Request;
}
