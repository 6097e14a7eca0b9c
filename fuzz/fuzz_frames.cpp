// Arbitrary bytes as they might arrive on the link: split into frames at their 8-byte length
// prefixes the way the receive path does, each body dispatched as the receive path dispatches it.
#include "fuzzclient.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 16 * 1024 * 1024)
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data);
    std::size_t pos = 0;
    while (size - pos >= 8) {
        const qint64 len = qFromBigEndian<qint64>(bytes + pos);
        pos += 8;
        // A length below 1 ends the read event; the next 8 bytes are taken as a new length.
        if (len < 1)
            continue;
        if (len > trx::TRXMClient::MaxFrameLength || std::size_t(len) > size - pos)
            break;
        const QByteArray body = QByteArray::fromRawData(bytes + pos, int(len));
        pos += std::size_t(len);
        if (!fuzzClient()->dispatchBodyForTesting(body))
            break;
    }
    return 0;
}
