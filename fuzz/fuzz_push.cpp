// Arbitrary payloads for every push decoder: the first byte picks the push type, the rest is
// the payload.
#include "fuzzclient.h"

#include <QDataStream>

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

const int PushTypes[] = {101, 102, 103, 104, 105,  106,  107,  108,  109,  110,  111,  112,  113,  114, 115,
                         116, 117, 118, 119, 120,  121,  122,  123,  124,  125,  126,  127,  128,  129, 130,
                         131, 132, 133, 134, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2999};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 16 * 1024 * 1024)
        return 0;
    const int type = PushTypes[data[0] % std::size(PushTypes)];
    const QByteArray payload =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QDataStream stream(payload);
    trx::TRXMClient::prepareStream(stream);
    fuzzClient()->pushReceived(type, stream);
    return 0;
}
