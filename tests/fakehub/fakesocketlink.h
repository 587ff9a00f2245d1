#pragma once

#include "fakehub/fakerequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;

// The hub's end of one WebSocket, written by hand so tests can make it misbehave at the frame level:
// a frozen link reads and discards everything, pings included, and sends nothing.
class FakeSocketLink : public QObject {
    Q_OBJECT

public:
    // Takes over the socket and answers the upgrade request.
    FakeSocketLink(QTcpSocket *socket, const FakeRequest &request, QObject *parent = nullptr);
    ~FakeSocketLink() override;

    bool isOpen() const;
    void sendText(const QString &text);
    void sendBinary(const QByteArray &bytes);
    // One frame as given; fin false leaves the message open for continuation frames (opcode 0).
    void writeFrame(quint8 opcode, const QByteArray &payload, bool fin = true);
    // Only the head of a frame that announces this many payload bytes, none of which follow.
    void writeFrameHead(quint8 opcode, quint64 announced);
    // A close frame with this status, then the TCP link is closed.
    void sendClose(quint16 code = 1000);
    void closeTcp(); // FIN without a close frame
    void abortTcp(); // RST
    void setFrozen(bool frozen) { m_frozen = frozen; }
    // The status of the client's close frame; 0 while none came.
    quint16 closeCodeReceived() const { return m_closeCode; }

Q_SIGNALS:
    void textReceived(const QString &text);
    void closed();

private:
    void readFrames();
    QByteArray frameHead(quint8 firstByte, quint64 size) const;

    QTcpSocket *m_socket;
    QByteArray m_buffer;
    QByteArray m_fragments;
    quint8 m_fragmentOpcode = 0;
    bool m_frozen = false;
    quint16 m_closeCode = 0;
};
