#include "fakehub/fakehub.h"

#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases{
        {200, "OK"},          {204, "No Content"},         {301, "Moved Permanently"},
        {302, "Found"},       {400, "Bad Request"},        {401, "Unauthorized"},
        {403, "Forbidden"},   {404, "Not Found"},          {500, "Internal Server Error"},
        {502, "Bad Gateway"}, {503, "Service Unavailable"}};
    return phrases.value(status, "Status");
}

QByteArray errorBody(const QString &message)
{
    return QJsonDocument(QJsonObject{{u"error"_s, message}}).toJson(QJsonDocument::Compact);
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool matches(const QStringList &segments, std::initializer_list<QStringView> pattern)
{
    if (segments.size() != qsizetype(pattern.size()))
        return false;
    qsizetype i = 0;
    for (QStringView part : pattern) {
        if (!part.isEmpty() && part != u"*" && segments[i] != part)
            return false;
        if (part.isEmpty() && !segments[i].isEmpty())
            return false;
        ++i;
    }
    return true;
}

// The read paths and the home member each one serves.
struct ReadRoute {
    QStringView path;
    QStringView member;
};
constexpr ReadRoute readRoutes[] = {
    {u"manager/zones/zone/", u"zones"},
    {u"manager/devices/device/", u"devices"},
    {u"manager/flow/flow/", u"flows"},
    {u"manager/flow/advancedflow/", u"advancedFlows"},
    {u"manager/moods/mood/", u"moods"},
    {u"manager/users/user/me", u"me"},
    {u"manager/energy/live/", u"energy"},
    {u"manager/system/", u"system"},
    {u"manager/notifications/notification/", u"notifications"},
    {u"manager/sessions/session/me", u"session"},
};

const ReadRoute *readRoute(const QStringList &segments)
{
    const QString joined = segments.join(u'/');
    for (const ReadRoute &route : readRoutes) {
        if (route.path == joined)
            return &route;
    }
    return nullptr;
}
} // namespace

FakeHub::FakeHub(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FakeHub::acceptConnections);
}

bool FakeHub::waitForRequests(qsizetype count, int timeoutMs)
{
    if (m_requests.size() < count) {
        QEventLoop loop;
        connect(this, &FakeHub::requestReceived, &loop, [&] {
            if (m_requests.size() >= count)
                loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_requests.size() >= count;
}

FakeHub::~FakeHub()
{
    // Sockets must not report their own teardown to a hub that is half gone.
    for (auto &[socket, connection] : m_connections) {
        socket->disconnect(this);
        socket->abort();
    }
    m_connections.clear();
}

bool FakeHub::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 FakeHub::port() const
{
    return m_server->serverPort();
}

QUrl FakeHub::baseURL() const
{
    QUrl url;
    url.setScheme(u"http"_s);
    url.setHost(u"127.0.0.1"_s);
    url.setPort(port());
    return url;
}

QString FakeHub::demoHomePath()
{
    return QStringLiteral(QUORVANE_FAKEHUB_DEMOHOME);
}

QString FakeHub::smallHomePath()
{
    return QStringLiteral(QUORVANE_FAKEHUB_SMALLHOME);
}

std::optional<QJsonObject> FakeHub::readHomeFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"cannot open %1: %2"_s.arg(path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error) {
            *error = parseError.error != QJsonParseError::NoError
                         ? u"%1: %2 at offset %3"_s.arg(path, parseError.errorString()).arg(parseError.offset)
                         : u"%1: the home must be a JSON object"_s.arg(path);
        }
        return std::nullopt;
    }
    return document.object();
}

bool FakeHub::loadHome(const QString &path, QString *error)
{
    const std::optional<QJsonObject> home = readHomeFile(path, error);
    if (!home)
        return false;
    setHome(*home);
    return true;
}

void FakeHub::setHome(const QJsonObject &home)
{
    m_home = home;
    if (home.value(u"token").isString())
        m_token = home.value(u"token").toString();
}

QJsonObject FakeHub::device(const QString &deviceID) const
{
    return m_home.value(u"devices").toObject().value(deviceID).toObject();
}

bool FakeHub::setCapabilityValue(const QString &deviceID, const QString &capabilityID,
                                 const QJsonValue &value)
{
    return changeCapability(deviceID, capabilityID, value, QString());
}

bool FakeHub::changeCapability(const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                               const QString &transactionID)
{
    QJsonObject devices = m_home.value(u"devices").toObject();
    QJsonObject device = devices.value(deviceID).toObject();
    QJsonObject capabilities = device.value(u"capabilitiesObj").toObject();
    if (!devices.contains(deviceID) || !capabilities.value(capabilityID).isObject())
        return false;
    QJsonObject capability = capabilities.value(capabilityID).toObject();
    capability.insert(u"value"_s, value);
    capability.insert(u"lastUpdated"_s, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    capabilities.insert(capabilityID, capability);
    device.insert(u"capabilitiesObj"_s, capabilities);
    devices.insert(deviceID, device);
    m_home.insert(u"devices"_s, devices);
    Q_EMIT capabilityChanged(deviceID, capabilityID, value, transactionID);
    return true;
}

QList<FakeRequest> FakeHub::unknownRequests() const
{
    QList<FakeRequest> out;
    for (const FakeRequest &request : m_requests) {
        if (!request.knownPath)
            out.append(request);
    }
    return out;
}

void FakeHub::failPath(const QString &path, int status)
{
    addFault({path, FaultKind::Status, status, {}});
}

void FakeHub::stallPath(const QString &path)
{
    addFault({path, FaultKind::Stall, 0, {}});
}

void FakeHub::malformPath(const QString &path, const QByteArray &body)
{
    addFault({path, FaultKind::Malformed, 200, body});
}

void FakeHub::closePath(const QString &path)
{
    addFault({path, FaultKind::Close, 0, {}});
}

void FakeHub::redirectPath(const QString &path, const QString &location)
{
    addFault({path, FaultKind::Redirect, 302, location.toUtf8()});
}

void FakeHub::rawResponsePath(const QString &path, const QByteArray &response)
{
    addFault({path, FaultKind::Raw, 0, response});
}

void FakeHub::addFault(Fault fault)
{
    m_faults.removeIf([&](const Fault &old) { return old.path == fault.path; });
    m_faults.append(std::move(fault));
}

const FakeHub::Fault *FakeHub::faultFor(const QByteArray &route) const
{
    const QString text = QString::fromUtf8(route);
    for (auto it = m_faults.crbegin(); it != m_faults.crend(); ++it) {
        const bool prefix = it->path.endsWith(u'*');
        if (prefix ? text.startsWith(it->path.chopped(1)) : text == it->path)
            return &*it;
    }
    return nullptr;
}

void FakeHub::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_connections.emplace(socket, Connection{socket, {}, m_nextConnectionId++, false});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        if (socket->bytesAvailable() > 0)
            readFrom(socket);
    }
}

void FakeHub::drop(QTcpSocket *socket)
{
    if (m_connections.erase(socket) == 0)
        return;
    socket->disconnect(this);
    socket->deleteLater();
}

void FakeHub::readFrom(QTcpSocket *socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    Connection &connection = found->second;
    const QByteArray incoming = socket->readAll();
    if (connection.stalled)
        return; // a stalled connection swallows whatever follows
    connection.buffer.append(incoming);
    for (;;) {
        FakeRequest request;
        const FakeHttpParser::Outcome outcome = FakeHttpParser::take(connection.buffer, request);
        if (outcome == FakeHttpParser::Outcome::Incomplete)
            return;
        request.received = QDateTime::currentDateTimeUtc();
        request.connectionId = connection.id;
        if (outcome == FakeHttpParser::Outcome::Malformed) {
            if (!request.method.isEmpty()) {
                m_requests.append(request);
                Q_EMIT requestReceived(request);
            }
            send(connection, {400, errorBody(u"malformed request"_s), {}}, true);
            return;
        }
        if (!serve(connection, std::move(request)))
            return;
    }
}

bool FakeHub::serve(Connection &connection, FakeRequest request)
{
    const Route route = routeOf(request);
    request.knownPath = route != Route::Unknown;
    m_requests.append(request);
    Q_EMIT requestReceived(request);

    Reply reply;
    if (const Fault *fault = faultFor(request.route())) {
        switch (fault->kind) {
        case FaultKind::Stall:
            connection.stalled = true;
            connection.buffer.clear();
            return false;
        case FaultKind::Close: {
            QTcpSocket *socket = connection.socket;
            drop(socket); // connection is gone from here on
            socket->abort();
            return false;
        }
        case FaultKind::Raw:
            connection.socket->write(fault->payload);
            connection.stalled = true;
            connection.buffer.clear();
            connection.socket->disconnectFromHost();
            return false;
        case FaultKind::Malformed:
            reply = {200, fault->payload, {}};
            break;
        case FaultKind::Redirect:
            reply = {302, errorBody(u"moved"_s), {{"Location", fault->payload}}};
            break;
        case FaultKind::Status:
            reply = {fault->status, errorBody(u"injected fault"_s), {}};
            break;
        }
    } else if (route == Route::Upgrade) {
        QTcpSocket *socket = connection.socket;
        request.body = connection.buffer;
        m_connections.erase(socket);
        socket->disconnect(this);
        m_upgradeHandler(socket, request);
        return false;
    } else {
        reply = answer(route, request);
    }
    send(connection, reply, request.wantsClose());
    return !request.wantsClose();
}

FakeHub::Route FakeHub::routeOf(const FakeRequest &request) const
{
    if (request.path().startsWith("/socket.io/"))
        return m_upgradeHandler && request.header("Upgrade").compare("websocket", Qt::CaseInsensitive) == 0
                   ? Route::Upgrade
                   : Route::Unknown;
    if (!request.path().startsWith("/api/"))
        return Route::Unknown;
    const QStringList segments = request.segments();
    if (request.method == "GET") {
        if (matches(segments, {u"manager", u"system", u"ping"}))
            return Route::Ping;
        if (const ReadRoute *read = readRoute(segments))
            return read->member == u"session" ? Route::Session : Route::Read;
    }
    if (request.method == "PUT" &&
        matches(segments, {u"manager", u"devices", u"device", u"*", u"capability", u"*"}))
        return Route::WriteCapability;
    if (request.method == "POST" &&
        (matches(segments, {u"manager", u"flow", u"flow", u"*", u"trigger"}) ||
         matches(segments, {u"manager", u"flow", u"advancedflow", u"*", u"trigger"}) ||
         matches(segments, {u"manager", u"moods", u"mood", u"*", u"set"})))
        return Route::Trigger;
    return Route::Unknown;
}

FakeHub::Reply FakeHub::answer(Route route, const FakeRequest &request)
{
    if (route == Route::Unknown)
        return {404, errorBody(u"not found"_s), {}};
    if (route == Route::Ping)
        return {200, compact({}), {}};
    const QByteArray authorization = request.header("Authorization");
    if (!authorization.startsWith("Bearer ") || !accepts(QString::fromUtf8(authorization.mid(7))))
        return {401, errorBody(u"invalid token"_s), {}};

    const QStringList segments = request.segments();
    switch (route) {
    case Route::Read:
    case Route::Session: {
        const ReadRoute *read = readRoute(segments);
        return {200, compact(m_home.value(read->member).toObject()), {}};
    }
    case Route::WriteCapability:
        return writeCapability(segments, request);
    case Route::Trigger:
        return trigger(segments);
    default:
        return {404, errorBody(u"not found"_s), {}};
    }
}

FakeHub::Reply FakeHub::writeCapability(const QStringList &segments, const FakeRequest &request)
{
    const QString &deviceID = segments[3];
    const QString &capabilityID = segments[5];
    const QJsonObject capabilities = device(deviceID).value(u"capabilitiesObj").toObject();
    if (!capabilities.value(capabilityID).isObject())
        return {404, errorBody(u"unknown device or capability"_s), {}};
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    const QJsonObject body = document.object();
    if (parseError.error != QJsonParseError::NoError || !document.isObject() || !body.contains(u"value"))
        return {400, errorBody(u"expected {\"value\": ...}"_s), {}};
    changeCapability(deviceID, capabilityID, body.value(u"value"), body.value(u"transactionId").toString());
    return {200, compact({}), {}};
}

FakeHub::Reply FakeHub::trigger(const QStringList &segments) const
{
    const QString member = segments[1] == u"moods"          ? u"moods"_s
                           : segments[2] == u"advancedflow" ? u"advancedFlows"_s
                                                            : u"flows"_s;
    if (!m_home.value(member).toObject().contains(segments[3]))
        return {404, errorBody(u"not found"_s), {}};
    return {200, compact({}), {}};
}

void FakeHub::send(Connection &connection, const Reply &reply, bool close)
{
    QByteArray out =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    out += "Content-Type: application/json; charset=utf-8\r\n";
    out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    for (const auto &[name, value] : reply.headers)
        out += name + ": " + value + "\r\n";
    out += close ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    out += "\r\n" + reply.body;
    QTcpSocket *socket = connection.socket;
    socket->write(out);
    if (close) {
        // Let the answer drain first; disconnected() then forgets the connection.
        connection.stalled = true;
        connection.buffer.clear();
        socket->disconnectFromHost();
    }
}
