#include "trx/records.h"

#include <QMetaType>

namespace trx {

void registerRecordMetaTypes()
{
    static const bool done = [] {
        qRegisterMetaType<ServerPort>("trx::ServerPort");
        qRegisterMetaType<PortNo>("trx::PortNo");
        qRegisterMetaType<PortState>("trx::PortState");
        qRegisterMetaType<ServerInfo>("trx::ServerInfo");
        qRegisterMetaType<ServerSettings>("trx::ServerSettings");
        qRegisterMetaType<RecordTrainInfo>("trx::RecordTrainInfo");
        qRegisterMetaType<ClipInfo>("trx::ClipInfo");
        qRegisterMetaType<ScheduleInfo>("ScheduleInfo");
        qRegisterMetaType<ScheduleInfo>("trx::ScheduleInfo");
        qRegisterMetaType<QList<ScheduleInfo>>("QList<trx::ScheduleInfo>");
        qRegisterMetaType<ScheduleRequest>("trx::ScheduleRequest");
        qRegisterMetaType<MgwInfo>("trx::MgwInfo");
        qRegisterMetaType<QList<MgwInfo>>("QList<trx::MgwInfo>");
        qRegisterMetaType<MgwFolderInfo>("trx::MgwFolderInfo");
        qRegisterMetaType<QList<MgwFolderInfo>>("QList<trx::MgwFolderInfo>");
        qRegisterMetaType<QVector<RecordTrainInfo>>("QVector<trx::RecordTrainInfo>");
        qRegisterMetaType<QVector<ServerInfo>>("QVector<trx::ServerInfo>");
        qRegisterMetaType<MasterPortSync>("trx::MasterPortSync");
        qRegisterMetaType<QMap<qint32, PortState>>("QMap<qint32,trx::PortState>");
        return true;
    }();
    Q_UNUSED(done)
}

} // namespace trx
