#pragma once

#include "trx/streamio.h"

#include <QMap>
#include <QMetaType>
#include <QVector>

namespace trx {

// Settings of one recording server. Fields named by type and stream position are carried; the
// pairs 4/5, 8/9 and 17/18 are declared in the opposite order to the one they travel in.
struct ServerSettings
{
    qint32 int1 = 0;
    qint32 int2 = 0;
    qint32 int3 = 0;
    qint32 int5 = 0;
    qint32 int4 = 0;
    qint32 int6 = 0;
    qint32 int7 = 0;
    qint32 int9 = 0;
    qint32 int8 = 0;
    qint32 int10 = 0;
    qint32 int11 = 0;
    qint32 systemFrequency = 0; // compared with the record trains' system frequency
    qint32 int13 = 0;
    QVector<qint32> ints14;
    quint8 byte15 = 0;
    bool flag16 = false;
    bool flag18 = false;
    bool flag17 = false;
    bool flag19 = false;
    bool flag20 = false;
    QMap<qint32, qint32> map21;
    QMap<qint32, qint32> cameraTrains; // camera number (from 1) to record-train number (from 0)
    qint32 int23 = 0;
    qint32 int24 = 0;
};

bool operator==(const ServerSettings &a, const ServerSettings &b);
bool operator!=(const ServerSettings &a, const ServerSettings &b);

QDataStream &operator<<(QDataStream &s, const ServerSettings &v);
QDataStream &operator>>(QDataStream &s, ServerSettings &v);

template<> struct WireMin<ServerSettings>
{
    static constexpr qint64 bytes = 13 * 4 + 4 + 1 + 5 + 2 * 4 + 2 * 4;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ServerSettings)
