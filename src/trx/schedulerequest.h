#pragma once

#include "trx/serverport.h"
#include "trx/streamio.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>

namespace trx {

// What the client sends to create a schedule (command 1002) or as the new values of an update
// (command 1005). The three proxy strings travel even when the proxy is not used.
struct ScheduleRequest
{
    QString masterMgwId;
    QString masterDriveId;
    QString masterFolderId;
    QString proxyMgwId;
    QString proxyDriveId;
    QString proxyFolderId;
    QString name;
    QDate startDate;
    QDate endDate;
    qint32 startTc = -1; // integer-packed
    qint32 endTc = -1;   // integer-packed; -1: open end
    bool withProxy = false;
    qint32 type = 0; // as ScheduleInfo::type
    QList<ServerPort> ports;
    QMap<ServerPort, qint32> proxyPorts; // per port, the proxy port paired with it
};

bool operator==(const ScheduleRequest &a, const ScheduleRequest &b);
bool operator!=(const ScheduleRequest &a, const ScheduleRequest &b);

QDataStream &operator<<(QDataStream &s, const ScheduleRequest &v);
QDataStream &operator>>(QDataStream &s, ScheduleRequest &v);

template<> struct WireMin<ScheduleRequest>
{
    static constexpr qint64 bytes = 7 * 4 + 2 * 8 + 2 * 4 + 1 + 4 + 4 + 4;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ScheduleRequest)
