#pragma once

#include "trx/streamio.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

namespace trx {

// One recording (record train) on a server. Fields named by type and stream position are carried.
// serverId, portNo and cameraNo are the train's own identification that the port poll keys
// trains by; the other named fields feed the usable-range computation.
class RecordTrainInfo
{
public:
    RecordTrainInfo() = default;
    RecordTrainInfo(const RecordTrainInfo &) = default;
    RecordTrainInfo &operator=(const RecordTrainInfo &) = default;
    virtual ~RecordTrainInfo();

    QString serverId;
    qint32 portNo = -1;
    qint32 cameraNo = -1;
    qint32 startTc = -1; // integer-packed
    qint32 int5 = -1;
    qint32 int6 = -1;
    qint32 int7 = 0;
    qint32 outPoint = 0; // frames from startTc to the end of the material
    qint32 int9 = -1;
    qint32 int10 = -1;
    qint32 int11 = -1;
    qint32 inPoint = 0; // frames from startTc to the start of the usable material
    qint32 int13 = 0;
    qint32 int14 = 0;
    qint32 int15 = 0;
    qint32 int16 = 0;
    qint32 systemFrequency = 0; // compared with the server's settings
    qint32 rateCode = 0;        // frame rate of the material
    bool dropFrame = false;
    qint32 int20 = 0;
    qint32 int21 = 0;
    QString startDate; // "yyyyMMdd"
    QString startTime; // the first six characters are "HHmmss"
    bool flag24 = false;
    qint32 int25 = 0;
    qint32 int26 = 0;
    qint32 int27 = -1;
    qint16 short28 = -1;
    qint16 short29 = -1;
    QByteArray clipRef; // compared, as hexadecimal text, with a schedule's master clip reference
    QByteArray bytes31;
    qint32 int32 = 1;
    qint32 trainNo = -1;
    bool stillRecording = false; // no final out point yet
    QByteArray bytes35;
    QList<QString> texts36 = QList<QString>()
                             << QString() << QString() << QString() << QString() << QString();
    qint32 int37 = -1;
    qint32 int38 = 0;
    qint32 int39 = 0;
    QString text40;
};

bool operator==(const RecordTrainInfo &a, const RecordTrainInfo &b);
bool operator!=(const RecordTrainInfo &a, const RecordTrainInfo &b);

QDataStream &operator<<(QDataStream &s, const RecordTrainInfo &v);
QDataStream &operator>>(QDataStream &s, RecordTrainInfo &v);

template<> struct WireMin<RecordTrainInfo>
{
    static constexpr qint64 bytes = 147;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::RecordTrainInfo)
