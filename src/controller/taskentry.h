#pragma once

#include "cmn/timecode.h"
#include "trx/records.h"
#include "views/usablerange.h"

#include <QList>
#include <QPointer>
#include <QString>

class ServerPortWidget;

// One port as the controller knows it: the record train in progress, its row on the main window
// (null until the row exists, and again once the row is gone) and its usable ranges.
struct PortEntry
{
    QPointer<ServerPortWidget> widget;
    QList<UsableRange> ranges;
};

// One schedule that is not a maintenance schedule. Its item on its port's timeline is data kept by
// that timeline (TimelineWidget::itemData), drawn by a widget only while it is in view.
struct TaskEntry
{
    QString id;
    int kind = 1;
    QString serverId;
    int port = -1;
    QString name;
    TimeCode start;
    TimeCode end;
    trx::ClipInfo masterClip;
    int masterClipState = 0;
    trx::ClipInfo proxyClip;
    int proxyClipState = 0;
    int masterProgress = -1;
    int proxyProgress = -1;
    // The manager removed the master clip; the item keeps the mark through later changes.
    bool clipRemoved = false;
    QString archiveMgwId;
    QString archiveDriveId;
    QString archiveProxyMgwId;
    QString archiveProxyDriveId;
    trx::ScheduleInfo schedule;
};
