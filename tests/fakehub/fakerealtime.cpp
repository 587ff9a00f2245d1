#include "fakehub/fakerealtime.h"

#include "fakehub/fakehub.h"
#include "fakehub/fakesocketlink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

QString compact(const QJsonArray &array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

// "/ns," before the ack id and payload, nothing for the default namespace.
QString prefix(const QString &nameSpace)
{
    return nameSpace == u"/" ? QString() : nameSpace + u',';
}

} // namespace

FakeRealtime::FakeRealtime(FakeHub *hub) : QObject(hub), m_hub(hub)
{
    hub->setWebSocketUpgradeHandler([this](QTcpSocket *socket, const FakeRequest &request) {
        if (!m_accepting) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        accept(new FakeSocketLink(socket, request, this));
    });
    connect(hub, &FakeHub::capabilityChanged, this,
            [this](const QString &deviceID, const QString &capabilityID, const QJsonValue &value,
                   const QString &transactionID) {
                pushCapability(deviceID, capabilityID, value, transactionID);
            });
}

FakeRealtime::~FakeRealtime()
{
    if (m_hub)
        m_hub->setWebSocketUpgradeHandler({});
}

void FakeRealtime::setSubscriptionAnswer(const QString &uri, Answer answer)
{
    m_answers.insert(uri, answer);
}

void FakeRealtime::accept(FakeSocketLink *link)
{
    ++m_linksMade;
    m_links.append(Link{link, {}});
    connect(link, &FakeSocketLink::textReceived, this,
            [this, link](const QString &text) { received(link, text); });
    connect(link, &FakeSocketLink::closed, this, [this, link] {
        if (link->closeCodeReceived() != 0)
            m_lastCloseCode = link->closeCodeReceived();
        m_links.removeIf([link](const Link &entry) { return entry.link == link; });
        link->deleteLater();
    });
    if (m_sendOpen)
        link->sendText(u"0{\"sid\":\"fake-sid\",\"upgrades\":[],\"pingInterval\":25000,\"pingTimeout\":20000,"
                       u"\"maxPayload\":1000000}"_s);
}

FakeRealtime::Link *FakeRealtime::find(FakeSocketLink *link)
{
    for (Link &entry : m_links) {
        if (entry.link == link)
            return &entry;
    }
    return nullptr;
}

void FakeRealtime::received(FakeSocketLink *socketLink, const QString &frame)
{
    m_inbound.append(frame);
    Q_EMIT frameReceived(frame);
    Link *link = find(socketLink);
    if (!link || !frame.startsWith(u'4') || frame.size() < 2)
        return;
    const QChar type = frame.at(1);
    QString rest = frame.mid(2);
    QString nameSpace = u"/"_s;
    if (rest.startsWith(u'/')) {
        const qsizetype comma = rest.indexOf(u',');
        nameSpace = comma < 0 ? rest : rest.left(comma);
        rest = comma < 0 ? QString() : rest.mid(comma + 1);
    }
    if (type == u'0') {
        if (nameSpace == u"/" || nameSpace == m_namespace)
            socketLink->sendText(u"40"_s + prefix(nameSpace) + u"{\"sid\":\"fake-"_s + nameSpace + u"\"}"_s);
        else
            socketLink->sendText(u"44"_s + prefix(nameSpace) + u"{\"message\":\"Invalid namespace\"}"_s);
        return;
    }
    if (type == u'2') {
        qsizetype digits = 0;
        while (digits < rest.size() && rest.at(digits).isDigit())
            ++digits;
        handleEvent(*link, nameSpace, rest.left(digits), rest.mid(digits));
    }
}

void FakeRealtime::handleEvent(Link &link, const QString &nameSpace, const QString &ackID,
                               const QString &json)
{
    const QJsonArray payload = QJsonDocument::fromJson(json.toUtf8()).array();
    const QString event = payload.at(0).toString();
    const QString ack = u"43"_s + prefix(nameSpace) + ackID;
    if (event == u"handshakeClient" && nameSpace == u"/") {
        if (!m_answerHandshake || ackID.isEmpty())
            return;
        const QJsonObject credentials = payload.at(1).toObject();
        if (m_refuseToken || !m_hub->accepts(credentials.value(u"token").toString())) {
            link.link->sendText(ack + compact({u"Invalid token"_s}));
            return;
        }
        const QJsonObject answer{{u"success"_s, true}, {u"namespace"_s, m_namespace}};
        link.link->sendText(ack + compact({QJsonValue::Null, answer}));
        return;
    }
    if (event == u"subscribe" && nameSpace == m_namespace) {
        const QString uri = payload.at(1).toString();
        switch (m_answers.value(uri, m_subscriptionAnswer)) {
        case Answer::Accept:
            link.subscriptions.append(uri);
            link.link->sendText(ack + compact({QJsonValue::Null}));
            break;
        case Answer::Refuse:
            link.link->sendText(ack + compact({u"error"_s}));
            break;
        case Answer::Ignore:
            break;
        }
    }
}

void FakeRealtime::sendTo(const QString &frame, const std::function<bool(const Link &)> &filter)
{
    for (const Link &entry : std::as_const(m_links)) {
        if (entry.link && (!filter || filter(entry)))
            entry.link->sendText(frame);
    }
}

void FakeRealtime::pushRaw(const QString &frame)
{
    sendTo(frame);
}

void FakeRealtime::pushEvent(const QString &uri, const QString &name, const QJsonValue &data)
{
    QJsonArray payload{uri, name};
    if (!data.isUndefined())
        payload.append(data);
    sendTo(u"42"_s + prefix(m_namespace) + compact(payload),
           [uri](const Link &link) { return link.subscriptions.contains(uri); });
}

void FakeRealtime::pushCapability(const QString &deviceID, const QString &capabilityID,
                                  const QJsonValue &value, const QString &transactionID)
{
    QJsonObject data{{u"capabilityId"_s, capabilityID}, {u"value"_s, value}};
    if (!transactionID.isEmpty()) {
        data.insert(u"transactionId"_s, transactionID);
        data.insert(u"transactionTime"_s, 1700000000000.0);
    }
    pushEvent(u"homey:device:"_s + deviceID, u"capability"_s, data);
}

void FakeRealtime::sendEngineClose()
{
    sendTo(u"1"_s);
}

void FakeRealtime::sendSocketDisconnect()
{
    sendTo(u"41"_s);
}

void FakeRealtime::closeLinks()
{
    for (const Link &entry : std::as_const(m_links)) {
        if (entry.link)
            entry.link->closeTcp();
    }
}

void FakeRealtime::freezeLinks()
{
    for (const Link &entry : std::as_const(m_links)) {
        if (entry.link)
            entry.link->setFrozen(true);
    }
}

int FakeRealtime::openLinkCount() const
{
    int count = 0;
    for (const Link &entry : m_links)
        count += entry.link && entry.link->isOpen() ? 1 : 0;
    return count;
}

QStringList FakeRealtime::subscriptions() const
{
    return m_links.isEmpty() ? QStringList() : m_links.last().subscriptions;
}

FakeSocketLink *FakeRealtime::lastLink() const
{
    return m_links.isEmpty() ? nullptr : m_links.last().link.data();
}
