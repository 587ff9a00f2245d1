#include "fakehub/fakesocketlink.h"

#include <QCryptographicHash>
#include <QTcpSocket>
#include <QtEndian>

FakeSocketLink::FakeSocketLink(QTcpSocket *socket, const FakeRequest &request, QObject *parent)
    : QObject(parent), m_socket(socket), m_buffer(request.body)
{
    m_socket->setParent(this);
    const QByteArray accept =
        QCryptographicHash::hash(request.header("Sec-WebSocket-Key") + "258EAFA5-E914-47DA-95CA-C5AB0DC85B11",
                                 QCryptographicHash::Sha1)
            .toBase64();
    m_socket->write("HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                    "Sec-WebSocket-Accept: " +
                    accept + "\r\n\r\n");
    connect(m_socket, &QTcpSocket::readyRead, this, &FakeSocketLink::readFrames);
    connect(m_socket, &QTcpSocket::disconnected, this, &FakeSocketLink::closed);
    if (!m_buffer.isEmpty() || m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &FakeSocketLink::readFrames, Qt::QueuedConnection);
}

FakeSocketLink::~FakeSocketLink()
{
    m_socket->disconnect(this);
    m_socket->abort();
}

bool FakeSocketLink::isOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void FakeSocketLink::sendText(const QString &text)
{
    writeFrame(0x1, text.toUtf8());
}

void FakeSocketLink::sendBinary(const QByteArray &bytes)
{
    writeFrame(0x2, bytes);
}

void FakeSocketLink::sendClose(quint16 code)
{
    QByteArray payload(2, 0);
    qToBigEndian(code, payload.data());
    writeFrame(0x8, payload);
    m_socket->disconnectFromHost();
}

void FakeSocketLink::closeTcp()
{
    m_socket->disconnectFromHost();
}

void FakeSocketLink::abortTcp()
{
    m_socket->abort();
}

void FakeSocketLink::writeFrame(quint8 opcode, const QByteArray &payload, bool fin)
{
    if (m_frozen || !isOpen())
        return;
    m_socket->write(frameHead(quint8((fin ? 0x80 : 0) | opcode), quint64(payload.size())) + payload);
}

void FakeSocketLink::writeFrameHead(quint8 opcode, quint64 announced)
{
    if (isOpen())
        m_socket->write(frameHead(quint8(0x80 | opcode), announced));
}

QByteArray FakeSocketLink::frameHead(quint8 firstByte, quint64 size) const
{
    QByteArray head(1, char(firstByte));
    if (size < 126) {
        head.append(char(size));
    } else if (size <= 0xFFFF) {
        head.append(char(126));
        QByteArray length(2, 0);
        qToBigEndian(quint16(size), length.data());
        head.append(length);
    } else {
        head.append(char(127));
        QByteArray length(8, 0);
        qToBigEndian(size, length.data());
        head.append(length);
    }
    return head;
}

void FakeSocketLink::readFrames()
{
    m_buffer.append(m_socket->readAll());
    if (m_frozen) {
        m_buffer.clear();
        return;
    }
    for (;;) {
        if (m_buffer.size() < 2)
            return;
        const auto *bytes = reinterpret_cast<const uchar *>(m_buffer.constData());
        const bool fin = bytes[0] & 0x80;
        const quint8 opcode = bytes[0] & 0x0F;
        const bool masked = bytes[1] & 0x80;
        quint64 length = bytes[1] & 0x7F;
        qsizetype offset = 2;
        if (length == 126) {
            if (m_buffer.size() < 4)
                return;
            length = qFromBigEndian<quint16>(bytes + 2);
            offset = 4;
        } else if (length == 127) {
            if (m_buffer.size() < 10)
                return;
            length = qFromBigEndian<quint64>(bytes + 2);
            offset = 10;
        }
        if (length > 64u * 1024 * 1024) {
            abortTcp();
            return;
        }
        const qsizetype maskOffset = offset;
        if (masked)
            offset += 4;
        if (quint64(m_buffer.size()) < quint64(offset) + length)
            return;
        QByteArray payload = m_buffer.mid(offset, qsizetype(length));
        if (masked) {
            for (qsizetype i = 0; i < payload.size(); ++i)
                payload[i] = char(payload[i] ^ bytes[maskOffset + (i % 4)]);
        }
        m_buffer.remove(0, offset + qsizetype(length));

        switch (opcode) {
        case 0x0: // continuation
        case 0x1:
        case 0x2:
            if (opcode != 0x0)
                m_fragmentOpcode = opcode;
            m_fragments.append(payload);
            if (fin) {
                const QByteArray message = std::exchange(m_fragments, {});
                if (m_fragmentOpcode == 0x1)
                    Q_EMIT textReceived(QString::fromUtf8(message));
            }
            break;
        case 0x8:
            m_closeCode = payload.size() >= 2 ? qFromBigEndian<quint16>(payload.constData()) : 1005;
            sendClose(m_closeCode);
            return;
        case 0x9:
            writeFrame(0xA, payload);
            break;
        default:
            break;
        }
        if (m_frozen || !isOpen())
            return;
    }
}
