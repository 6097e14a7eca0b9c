// Arbitrary payloads for every push decoder: the first byte picks the push type, the rest is
// the payload.
#include "fuzzclient.h"

#include <QDataStream>

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

using trx::PushType;

// 116 and 132 have no decoder: they go down the unknown-type path. The order is the seed
// corpus's (make_seeds.py): the first byte of a seed is an index into this table.
// clang-format off
const PushType PushTypes[] = {
    PushType::Clips, PushType::ClipChanged, PushType::RecordTrains, PushType::RecordTrainChanged,
    PushType::Push105, PushType::Push106, PushType::ClipRemoved, PushType::Push108, PushType::RemainTime,
    PushType::Push110, PushType::Push111, PushType::PortStates, PushType::Push113, PushType::Push114,
    PushType::Push115, PushType(116), PushType::Push117, PushType::ServerInfoChanged, PushType::Push119,
    PushType::Push120, PushType::Push121, PushType::Push122, PushType::Push123, PushType::Push124,
    PushType::Push125, PushType::Push126, PushType::Push127, PushType::Servers, PushType::Mgws,
    PushType::Push130, PushType::Push131, PushType(132), PushType::Push133, PushType::Push134,
    PushType::Schedules, PushType::ScheduleAdded, PushType::ScheduleChanged, PushType::ScheduleRemoved,
    PushType::MgwFolders, PushType::MasterPortSynced, PushType::Push2007, PushType::Push2008,
    PushType::Push2009, PushType::Push2999};
// clang-format on

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 16 * 1024 * 1024)
        return 0;
    const int type = code(PushTypes[data[0] % std::size(PushTypes)]);
    const QByteArray payload =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    QDataStream stream(payload);
    trx::TRXMClient::prepareStream(stream);
    fuzzClient()->pushReceived(type, stream);
    return 0;
}
