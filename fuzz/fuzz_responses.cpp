// Arbitrary response payloads for the synchronous commands: the first byte picks the command,
// the rest is decoded in the order the command catalogue reads that command's response.
#include "trx/records.h"
#include "trx/trxmclient.h"

#include <QDataStream>

#include <cstddef>
#include <cstdint>

namespace {

template<typename T> void keep(const T &value)
{
    // Copy the decoded value as a caller would, so that the copy runs under the sanitizers too.
    static T sink;
    sink = value;
}

void decodeResponse(int which, const QByteArray &payload)
{
    QDataStream s(payload);
    trx::TRXMClient::prepareStream(s);
    switch (which) {
    case 0: { // identify
        bool accepted = false;
        qint32 unused = 0;
        s >> accepted >> unused;
        keep(accepted);
        break;
    }
    case 1: { // servers
        QVector<trx::ServerInfo> list;
        trx::readValue(s, list);
        keep(list);
        break;
    }
    case 2: { // server settings
        trx::ServerSettings decoded;
        s >> decoded;
        keep(decoded);
        break;
    }
    case 3: { // notification registration
        bool registered = false;
        s >> registered;
        keep(registered);
        break;
    }
    case 4: { // record trains
        QVector<trx::RecordTrainInfo> list;
        trx::readValue(s, list);
        keep(list);
        break;
    }
    case 5: { // loop recording mode
        qint32 mode = 0;
        QMap<qint32, qint32> ports;
        s >> mode;
        trx::readValue(s, ports);
        keep(ports);
        break;
    }
    case 6: { // port states, with the second map
        QMap<qint32, trx::PortState> states;
        trx::readValue(s, states);
        QMap<trx::ServerPort, trx::PortState> all;
        trx::readValue(s, all);
        keep(states);
        keep(all);
        break;
    }
    default: { // clip info
        trx::ClipInfo clip;
        s >> clip;
        keep(clip);
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 16 * 1024 * 1024)
        return 0;
    const QByteArray payload =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    decodeResponse(data[0] % 8, payload);
    return 0;
}
