#include "waylandpointer.h"

#include <cstring>
#include <QDeadlineTimer>

using namespace Qt::StringLiterals;

namespace {

// The wire format: each argument a 32-bit word in the host's byte order; a text as its length with the
// closing zero, then its bytes, padded to a word.
void put(QByteArray &body, quint32 word)
{
    body.append(reinterpret_cast<const char *>(&word), sizeof word);
}

void put(QByteArray &body, const QByteArray &text)
{
    put(body, quint32(text.size() + 1));
    body.append(text);
    body.append('\0');
    while (body.size() % 4 != 0)
        body.append('\0');
}

quint32 word(const QByteArray &body, qsizetype at)
{
    quint32 value = 0;
    if (at + qsizetype(sizeof value) <= body.size())
        std::memcpy(&value, body.constData() + at, sizeof value);
    return value;
}

constexpr quint32 display = 1;
constexpr int patience = 10000;

} // namespace

bool WaylandPointer::open()
{
    QString path = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (path.isEmpty())
        path = u"wayland-0"_s;
    if (!path.startsWith(u'/'))
        path = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + path;
    m_socket.connectToServer(path);
    if (!m_socket.waitForConnected(patience)) {
        m_error = u"no compositor at "_s + path;
        return false;
    }
    m_registry = m_nextID++;
    QByteArray registry;
    put(registry, m_registry);
    send(display, 1, registry); // wl_display.get_registry
    if (!roundTrip())
        return false;
    if (m_seatName == 0 || m_managerName == 0) {
        m_error = u"the compositor offers no seat or no virtual pointers"_s;
        return false;
    }
    const quint32 seat = m_nextID++;
    const quint32 manager = m_nextID++;
    const auto bind = [this](quint32 name, const QByteArray &interface, quint32 id) {
        QByteArray body;
        put(body, name);
        put(body, interface);
        put(body, 1u); // version
        put(body, id);
        send(m_registry, 0, body); // wl_registry.bind
    };
    bind(m_seatName, "wl_seat", seat);
    bind(m_managerName, "zwlr_virtual_pointer_manager_v1", manager);
    m_pointer = m_nextID++;
    QByteArray create;
    put(create, seat);
    put(create, m_pointer);
    send(manager, 0, create); // create_virtual_pointer
    return roundTrip();
}

bool WaylandPointer::moveTo(QPoint point, QSize layout)
{
    QByteArray motion;
    put(motion, quint32(QDeadlineTimer::current().deadline()));
    put(motion, quint32(point.x()));
    put(motion, quint32(point.y()));
    put(motion, quint32(layout.width()));
    put(motion, quint32(layout.height()));
    send(m_pointer, 1, motion); // motion_absolute
    send(m_pointer, 4);         // frame
    return roundTrip();
}

void WaylandPointer::send(quint32 object, quint16 opcode, const QByteArray &body)
{
    QByteArray message;
    put(message, object);
    put(message, (quint32(8 + body.size()) << 16) | opcode);
    message.append(body);
    m_socket.write(message);
    m_socket.flush();
}

bool WaylandPointer::roundTrip()
{
    const quint32 callback = m_nextID++;
    QByteArray sync;
    put(sync, callback);
    send(display, 0, sync); // wl_display.sync
    Message message;
    while (read(message)) {
        if (message.object == display && message.opcode == 0) {
            m_error = u"the compositor reported an error: "_s +
                      QString::fromUtf8(message.body.mid(16)).section(QChar(0), 0, 0);
            return false;
        }
        if (message.object == m_registry && message.opcode == 0) { // wl_registry.global
            const QByteArray interface = message.body.mid(8, word(message.body, 4) - 1);
            if (interface == "wl_seat" && m_seatName == 0)
                m_seatName = word(message.body, 0);
            else if (interface == "zwlr_virtual_pointer_manager_v1")
                m_managerName = word(message.body, 0);
        }
        if (message.object == callback && message.opcode == 0)
            return true;
    }
    return false;
}

bool WaylandPointer::read(Message &message)
{
    const QDeadlineTimer deadline(patience);
    while (m_socket.bytesAvailable() < 8) {
        if (m_socket.state() != QLocalSocket::ConnectedState || deadline.hasExpired() ||
            !m_socket.waitForReadyRead(int(deadline.remainingTime()))) {
            m_error = u"the compositor stopped answering"_s;
            return false;
        }
    }
    const QByteArray header = m_socket.peek(8);
    const quint32 size = word(header, 4) >> 16;
    if (size < 8) {
        m_error = u"the compositor sent a message shorter than its header"_s;
        return false;
    }
    while (m_socket.bytesAvailable() < size) {
        if (deadline.hasExpired() || !m_socket.waitForReadyRead(int(deadline.remainingTime()))) {
            m_error = u"the compositor stopped answering"_s;
            return false;
        }
    }
    const QByteArray whole = m_socket.read(size);
    message.object = word(whole, 0);
    message.opcode = quint16(word(whole, 4) & 0xffff);
    message.body = whole.mid(8);
    return true;
}
