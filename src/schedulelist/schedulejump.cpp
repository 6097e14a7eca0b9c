#include "schedulelist/schedulejump.h"

#include "cmn/timecode.h"
#include "views/oxamainview.h"
#include "views/timelineitemwidget.h"

#include <QPointer>
#include <QScrollArea>
#include <QTimer>

bool scrollAxisToStart(OXAMainView &view, const TimeCode &start)
{
    if (!start.valid)
        return false;
    if (view.isLocked())
        view.slotLockTimeScroll(false);
    // Read the origin after unlocking: switching the lock recomputes the scroll range.
    view.setScrollPos(start.frames - view.originFrame());
    return true;
}

namespace {

QScrollArea *enclosingScrollArea(QWidget *widget)
{
    for (QWidget *w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(w))
            return area;
    }
    return nullptr;
}

} // namespace

void flashItem(TimelineItemWidget *item, int ms)
{
    if (!item)
        return;
    if (QScrollArea *area = enclosingScrollArea(item))
        area->ensureWidgetVisible(item, 0, 40);
    // Pinning keeps the hover size even when the mouse passes over and leaves the item.
    item->setPinned(true);
    item->update();
    QPointer<TimelineItemWidget> guarded(item);
    QTimer::singleShot(ms, item, [guarded] {
        if (guarded)
            guarded->setPinned(false);
    });
}
