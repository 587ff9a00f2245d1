#pragma once

#include <QByteArray>
#include <QIODevice>

// A request body that can be read once and never rewound. Qt sends a request again by itself when the
// link closes before an answer; a body it cannot rewind makes it fail the request instead, which is how
// a write reaches the hub at most once. Give the request DoNotBufferUploadDataAttribute and a
// Content-Length, or Qt copies the body into a buffer it can rewind.
class SingleUseBody final : public QIODevice {
public:
    explicit SingleUseBody(QByteArray bytes, QObject *parent = nullptr);

    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    bool seek(qint64) override { return false; }
    qint64 bytesAvailable() const override;
    bool atEnd() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const QByteArray m_bytes;
    qint64 m_read = 0;
};
