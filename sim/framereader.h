#pragma once

#include <QByteArray>

// Splits a TCP byte stream into frame bodies: an 8-byte big-endian length, then that many bytes.
// A length below 1 or above the ceiling cannot be resynchronised from, so the reader reports it
// and the caller drops the link.
class FrameReader
{
public:
    enum class Result { NeedMore, Body, BadLength };

    static constexpr qint64 MaxFrameLength = 64 * 1024 * 1024;

    void append(const QByteArray &bytes) { m_buffer += bytes; }
    // Takes the next complete body out of the buffer.
    Result next(QByteArray &body);
    qint64 badLength() const { return m_iBadLength; }
    int buffered() const { return m_buffer.size(); }

private:
    QByteArray m_buffer;
    qint64 m_iBadLength = 0;
};
