#pragma once

#include "settings/mgwdestination.h"
#include "trx/records.h"

#include <QDate>
#include <QList>
#include <QString>

// What the schedule dialog holds when OK is pressed, or what a drag on the timeline proposes: the
// checks and the request are built from this, so both paths check and send alike.
struct ScheduleForm
{
    QString name;
    QDate date;
    int startTc = -1;
    int endTc = -1;
    // The length the duration fields give, integer-packed; only its being zero counts.
    int durationTc = 0;
    MgwDestination destination;
    bool withProxy = false;
    bool maintenance = false;
    QList<trx::ServerPort> ports;
};
