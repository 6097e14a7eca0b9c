#include "framereader.h"

#include <QtEndian>

FrameReader::Result FrameReader::next(QByteArray &body)
{
    if (m_buffer.size() < 8)
        return Result::NeedMore;
    const qint64 len = qFromBigEndian<qint64>(m_buffer.constData());
    if (len < 1 || len > MaxFrameLength) {
        m_iBadLength = len;
        m_buffer.clear();
        return Result::BadLength;
    }
    if (m_buffer.size() - 8 < len)
        return Result::NeedMore;
    body = m_buffer.mid(8, int(len));
    m_buffer.remove(0, int(8 + len));
    return Result::Body;
}
