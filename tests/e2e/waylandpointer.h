#pragma once

#include <QLocalSocket>
#include <QPoint>
#include <QSize>
#include <QString>

// A pointer device on the Wayland compositor of run-e2e-wayland.sh, as a mouse on the desktop: the
// headless compositor has none of its own. It is there while the object lives. It speaks the
// compositor's virtual-pointer protocol over the Wayland socket itself, so the test needs no library
// of Wayland's.
class WaylandPointer {
public:
    // Connects to the compositor in WAYLAND_DISPLAY and asks for the device; false, with the reason in
    // error(), when the compositor refuses or lacks the protocol.
    bool open();
    // Puts the pointer at this point of a layout of the given size (the compositor's outputs together),
    // and waits until the compositor has taken the move in.
    bool moveTo(QPoint point, QSize layout);
    QString error() const { return m_error; }

private:
    struct Message {
        quint32 object = 0;
        quint16 opcode = 0;
        QByteArray body;
    };
    void send(quint32 object, quint16 opcode, const QByteArray &body = {});
    // Asks the compositor for a round trip and reads what it says until the answer comes; false on an
    // error or a closed connection.
    bool roundTrip();
    bool read(Message &message);

    QLocalSocket m_socket;
    quint32 m_nextID = 2;
    quint32 m_registry = 0;
    quint32 m_pointer = 0;
    quint32 m_seatName = 0;
    quint32 m_managerName = 0;
    QString m_error;
};
