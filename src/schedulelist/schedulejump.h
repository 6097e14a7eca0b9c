#pragma once

struct TimeCode;
class OXAMainView;
class TimelineItemWidget;

// Scrolls the main window's axis so that `start` (a position on the master clock, as the items
// are placed) lies at the anchor column. A locked axis is unlocked first, as the go-to button does.
// False, with nothing changed, when the start is not a valid position.
bool scrollAxisToStart(OXAMainView &view, const TimeCode &start);

// Shows the item in its hover size for `ms` milliseconds, raised above its neighbours, and brings
// its port row into the main window's vertical view.
void flashItem(TimelineItemWidget *item, int ms);
