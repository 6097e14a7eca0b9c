#include "trx/pngstream.h"

#include "platform/idbg.h"
#include "trx/streamio.h"

#include <QDataStream>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace trx {

namespace {

const char PngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int SignatureBytes = 8;
// Length, type and CRC around each chunk's data.
constexpr int ChunkFrameBytes = 12;
// PNG caps a chunk's length at 2^31 - 1.
constexpr quint32 MaxChunkBytes = 0x7fffffff;

bool readExactly(QDataStream &s, char *into, int n)
{
    return s.readRawData(into, n) == n;
}

} // namespace

void readPngStream(QDataStream &s, QByteArray &png)
{
    png.clear();
    qint32 marker = 0;
    s >> marker;
    if (s.status() != QDataStream::Ok || marker == 0)
        return;

    auto corrupt = [&s, &png](const char *why) {
        idbg_api("[%04x] ERROR <TRXMClient> Corrupt image in payload: %s", logTid(), why);
        png.clear();
        // As the bounded container readers do: later reads yield defaults, not bytes of the image.
        s.skipRawData(int(qMin<qint64>(bytesLeft(s), std::numeric_limits<int>::max())));
        s.setStatus(QDataStream::ReadCorruptData);
    };

    QByteArray bytes(SignatureBytes, Qt::Uninitialized);
    if (!readExactly(s, bytes.data(), SignatureBytes))
        return corrupt("short signature");
    if (std::memcmp(bytes.constData(), PngSignature, SignatureBytes) != 0)
        return corrupt("not a PNG stream");

    for (;;) {
        char head[8];
        if (!readExactly(s, head, sizeof head))
            return corrupt("stream ends inside a chunk header");
        const quint32 length = qFromBigEndian<quint32>(head);
        if (length > MaxChunkBytes || qint64(length) + 4 > bytesLeft(s))
            return corrupt("chunk longer than the payload");
        const int at = bytes.size();
        bytes.resize(at + ChunkFrameBytes + int(length));
        std::memcpy(bytes.data() + at, head, sizeof head);
        if (!readExactly(s, bytes.data() + at + 8, int(length) + 4))
            return corrupt("stream ends inside a chunk");
        if (std::memcmp(head + 4, "IEND", 4) == 0)
            break;
    }
    png = bytes;
}

} // namespace trx
