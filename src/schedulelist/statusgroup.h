#pragma once

#include <QString>

// The status choices of the schedule list's filter, in the order the filter offers them. A schedule
// whose status code is unknown belongs to no group and is shown only under All.
enum class StatusGroup { All, Scheduled, Waiting, InProgress, Completed, Errors, Cancelled, None };

// The group of a manager status code: the waiting and completed sub-states fold together, the three
// failure codes are Errors, and a schedule being cancelled is already counted as Cancelled.
StatusGroup statusGroupOf(int status);

// The filter's text for a group ("All", "Scheduled", "Waiting", "In-Progress", "Completed", "Errors",
// "Cancelled"); empty for None.
QString statusGroupTitle(StatusGroup group);

// Where a group sorts in the status column: the order a schedule lives through.
int statusGroupRank(StatusGroup group);
