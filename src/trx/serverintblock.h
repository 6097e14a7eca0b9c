#pragma once

#include "trx/streamio.h"

#include <QMetaType>

#include <array>

namespace trx {

// Seventeen integers that travel together inside ServerInfo and in push 119; carried, not used.
struct ServerIntBlock
{
    std::array<qint32, 17> values{};
};

bool operator==(const ServerIntBlock &a, const ServerIntBlock &b);
bool operator!=(const ServerIntBlock &a, const ServerIntBlock &b);

QDataStream &operator<<(QDataStream &s, const ServerIntBlock &v);
QDataStream &operator>>(QDataStream &s, ServerIntBlock &v);

template<> struct WireMin<ServerIntBlock>
{
    static constexpr qint64 bytes = 17 * 4;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ServerIntBlock)
