#include "homey/rest/singleusebody.h"

#include <algorithm>
#include <cstring>

SingleUseBody::SingleUseBody(QByteArray bytes, QObject *parent) : QIODevice(parent), m_bytes(std::move(bytes))
{
    open(QIODevice::ReadOnly);
}

qint64 SingleUseBody::bytesAvailable() const
{
    return m_bytes.size() - m_read + QIODevice::bytesAvailable();
}

bool SingleUseBody::atEnd() const
{
    return bytesAvailable() == 0;
}

qint64 SingleUseBody::readData(char *data, qint64 maxSize)
{
    const qint64 count = std::min(maxSize, m_bytes.size() - m_read);
    if (count <= 0)
        return -1;
    std::memcpy(data, m_bytes.constData() + m_read, size_t(count));
    m_read += count;
    return count;
}
