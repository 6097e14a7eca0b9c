#pragma once

#include "trx/records.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

namespace trx {

// Receives pushes and the link-lost notice from TRXMClient. Every operation is called on the
// socket thread (the link-lost notice after a heartbeat failure on the heartbeat thread), with
// arguments that live only for the call: copy what you need and hand work to your own thread.
// Never make a synchronous request from inside an operation. Every operation does nothing by
// default; the comment names the push that triggers it. The onPushNNN operations carry pushes
// whose meaning nothing here relies on.
class TRXMClientDelegate
{
public:
    virtual ~TRXMClientDelegate() = default;

    // 101
    virtual void clipsReceived(const QString & /*serverId*/, const QVector<ClipInfo> & /*clips*/) {}
    // 102
    virtual void clipChanged(const QString & /*serverId*/, const ClipInfo & /*clip*/, qint32 /*value*/) {}
    // 103
    virtual void recordTrainsReceived(const QString & /*serverId*/,
                                      const QVector<RecordTrainInfo> & /*trains*/)
    {}
    // 104
    virtual void recordTrainChanged(const QString & /*serverId*/, const RecordTrainInfo & /*train*/) {}
    // 107: first the server id, second the clip id.
    virtual void clipRemoved(const QPair<QString, QString> & /*serverAndClip*/) {}
    // 108
    virtual void onPush108(const QString & /*text*/) {}
    // 109: the payload carries kind, value, server id in that order.
    virtual void remainTimeChanged(const QString & /*serverId*/, qint32 /*kind*/, const QString & /*value*/)
    {}
    // 118
    virtual void serverInfoChanged(const ServerInfo & /*server*/) {}
    // connected is always false: the client reports only the loss of a link it had.
    virtual void connectionStateChanged(bool /*connected*/, int /*socketError*/) {}
    // 133
    virtual void onPush133(const Push133Info & /*info*/) {}
    // 106
    virtual void onPush106(const QString & /*text1*/, qint32 /*int2*/, const QString & /*text3*/,
                           const QString & /*text4*/, const ClipInfo & /*clip*/, qint32 /*int6*/,
                           const QString & /*text7*/)
    {}
    // 123
    virtual void onPush123(const QString & /*text*/, const QList<VflObject> & /*objects*/) {}
    // 121
    virtual void onPush121(const QString & /*text*/, const VflObject & /*object*/, qint32 /*value*/) {}
    // 122
    virtual void onPush122(const QString & /*text1*/, const QString & /*text2*/) {}
    // 105
    virtual void onPush105(const ClipInfo & /*clip*/, qint32 /*value*/, const QString & /*text*/) {}
    // 110
    virtual void onPush110(bool /*flag*/) {}
    // 111
    virtual void onPush111(const QString & /*text*/, bool /*flag*/, const QMap<qint32, bool> & /*flags*/) {}
    // 112: the payload carries the map first, then the server id.
    virtual void portStatesChanged(const QString & /*serverId*/, const QMap<qint32, PortState> & /*states*/)
    {}
    // 113
    virtual void onPush113(qint32 /*int1*/, qint32 /*int2*/, const QString & /*text3*/,
                           const QString & /*text4*/, bool /*flag5*/, const QString & /*text6*/,
                           const QByteArray & /*bytes7*/, qint32 /*int8*/)
    {}
    // 117: the payload is not read.
    virtual void onPush117() {}
    // 114: the image arrives as it travelled, PNG-encoded (empty for a null image), so that the
    // link needs no image library; QImage::fromData(imageData, "PNG") decodes it.
    virtual void onPush114(const QString & /*text1*/, const QString & /*text2*/, qint32 /*value*/,
                           const QByteArray & /*imageData*/)
    {}
    // 115
    virtual void onPush115(bool /*flag*/) {}
    // 119
    virtual void onPush119(const QMap<QString, ServerIntBlock> & /*blocks*/) {}
    // 120
    virtual void onPush120(const QString & /*text1*/, const QString & /*text2*/, bool /*flag*/,
                           qint32 /*value*/)
    {}
    // 124
    virtual void onPush124(const QString & /*text*/, const QMap<QString, QList<FloatSample>> & /*samples*/) {}
    // 126
    virtual void onPush126(const QString & /*text1*/, const QString & /*text2*/, qint32 /*value*/) {}
    // 127
    virtual void onPush127(const QString & /*text1*/, const QString & /*text2*/, qint32 /*value*/) {}
    // 128
    virtual void serversReceived(const QVector<ServerInfo> & /*servers*/) {}
    // 125
    virtual void onPush125(const QString & /*text1*/, const QString & /*text2*/,
                           const QList<FloatSample> & /*samples*/)
    {}
    // 129
    virtual void mgwsChanged(const QList<MgwInfo> & /*mgws*/) {}
    // 130
    virtual void onPush130(const QString & /*text1*/, const QString & /*text2*/, const QString & /*text3*/,
                           const QString & /*text4*/, const QString & /*text5*/, const QString & /*text6*/,
                           const QList<QString> & /*texts*/)
    {}
    // 131
    virtual void onPush131(qint32 /*int1*/, qint32 /*int2*/) {}
    // 134
    virtual void onPush134(qint32 /*int1*/, qint32 /*int2*/, bool /*flag3*/, qint32 /*int4*/, qint32 /*int5*/)
    {}
    // 2001
    virtual void schedulesReceived(const QList<ScheduleInfo> & /*schedules*/, qint64 /*value*/) {}
    // 2002
    virtual void scheduleAdded(const ScheduleInfo & /*schedule*/) {}
    // 2003
    virtual void scheduleChanged(const ScheduleInfo & /*schedule*/, qint32 /*value*/) {}
    // 2004
    virtual void scheduleRemoved(const QString & /*scheduleId*/) {}
    // 2005
    virtual void mgwFoldersReceived(const QString & /*mgwId*/, const QString & /*driveId*/,
                                    const QList<MgwFolderInfo> & /*folders*/)
    {}
    // 2999
    virtual void onPush2999(const QByteArray & /*bytes*/) {}
    // 2006: flags bit 0 = master port set, bit 1 = date set.
    virtual void masterPortSynced(const MasterPortSync & /*sync*/, qint32 /*flags*/) {}
    // 2007
    virtual void onPush2007(const QString & /*text1*/, qint32 /*value*/, const QString & /*text3*/) {}
    // 2008
    virtual void onPush2008(qint32 /*value*/, bool /*flag*/) {}
    // 2009
    virtual void onPush2009(const QString & /*text1*/, qint32 /*int2*/, qint32 /*int3*/,
                            const QString & /*text4*/, qint32 /*int5*/, const QString & /*text6*/)
    {}
};

} // namespace trx
