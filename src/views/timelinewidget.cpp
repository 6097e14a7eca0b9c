#include "views/timelinewidget.h"

#include "views/lanepacking.h"
#include "views/timelineitemwidget.h"
#include "trx/streamio.h"

#include <QAbstractScrollArea>
#include <QHelpEvent>
#include <QScrollBar>
#include <QMutexLocker>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kItemTop = 20;
constexpr int kBandGap = 10;
constexpr int kDash = 10;
constexpr int kDashPeriod = 20;
constexpr double kMaxWidgetSize = 16777215.0;
const QColor kBandColor(56, 75, 109);
const QColor k24hColor(255, 140, 0);
const QColor kRemainColor(0, 211, 70);
// Items this far outside the view keep their widget (hidden), so that small pans and zooms do not
// take and return widgets at every step; rows this far outside the scroll area's viewport too.
constexpr int kLiveMargin = 200;
// Spare widgets a timeline keeps for items coming into view; more are deleted.
constexpr int kPoolSize = 8;

// Columns far outside the widget are pinned just outside it, so that no rectangle overflows.
int pinnedColumn(double x, int clipWidth)
{
    return int(std::max(-2.0, std::min(double(clipWidth) + 2.0, std::trunc(x))));
}

void drawDashedLine(QPainter &painter, int x, int height, const QColor &color)
{
    QPen pen(color, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    for (int y = 0; y < height; y += kDashPeriod)
        painter.drawLine(x, y, x, y + kDash);
}

// Most schedules share their status, duration, day-and-time and destination texts with others: a
// timeline keeps one copy of each such text for all of them.
TimelineItemData withSharedTexts(const TimelineItemData &data)
{
    TimelineItemData shared = data;
    for (QString *text : {&shared.startText, &shared.endText, &shared.durationText, &shared.statusText,
                          &shared.masterDestination, &shared.proxyDestination})
        *text = trx::sharedText(*text);
    return shared;
}

} // namespace

QVector<QRect> usableRangeRects(const QList<UsableRange> &ranges, int anchorFrame, int anchorX,
                                double pixelsPerFrame, int y, int height, int clipWidth)
{
    QVector<QRect> rects;
    for (const UsableRange &r : ranges) {
        if (r.length <= 0)
            continue;
        const double x = (double(r.start) - anchorFrame) * pixelsPerFrame + anchorX;
        const double w = std::max(1.0, std::trunc(r.length * pixelsPerFrame));
        const double left = std::trunc(x);
        if (left + w < 0 || left > clipWidth)
            continue;
        const int l = pinnedColumn(left, clipWidth);
        const int right = pinnedColumn(left + w, clipWidth);
        rects.append(QRect(l, y, std::max(1, right - l), height));
    }
    return rects;
}

bool isNearVisibleArea(const QWidget *widget, int margin)
{
    if (!widget->isVisible())
        return false;
    QRect area = widget->rect();
    const QWidget *w = widget;
    while (!w->isWindow()) {
        const QWidget *parent = w->parentWidget();
        if (!parent)
            return false;
        area = area.translated(w->pos()) & parent->rect().adjusted(0, -margin, 0, margin);
        if (area.isEmpty())
            return false;
        w = parent;
    }
    return true;
}

QScrollBar *newEnclosingScrollBar(QWidget *widget, QPointer<QWidget> &watched)
{
    for (QWidget *w = widget->parentWidget(); w; w = w->parentWidget()) {
        auto *area = qobject_cast<QAbstractScrollArea *>(w);
        if (!area)
            continue;
        QScrollBar *bar = area->verticalScrollBar();
        if (bar == watched)
            return nullptr;
        if (watched)
            QObject::disconnect(watched, nullptr, widget, nullptr);
        watched = bar;
        return bar;
    }
    return nullptr;
}

TimelineWidget::TimelineWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    // The paint covers every pixel, so the panels underneath are not painted first on every
    // clock tick, zoom and pan.
    setAttribute(Qt::WA_OpaquePaintEvent);
    updatePixelScale();
}

TimelineWidget::~TimelineWidget() = default;

void TimelineWidget::updatePixelScale()
{
    m_dPixelsPerFrame = m_iViewFrames > 0 ? double(width()) / m_iViewFrames : 0.0;
}

void TimelineWidget::setViewFrames(int frames)
{
    if (frames <= 0)
        return;
    m_iViewFrames = frames;
    updatePixelScale();
    // Out of view there is no widget to size: the items take the scale when they are bound.
    if (m_bLive || hasBoundWidget())
        relayout();
    else
        m_bRelayoutPending = true;
    updateMarkColumns();
    updateIfLive();
}

bool TimelineWidget::hasBoundWidget() const
{
    return m_iBoundWidgets > 0;
}

int TimelineWidget::columnOf(qint64 frame) const
{
    const double x = (double(frame) - m_iAnchorFrame) * m_dPixelsPerFrame + m_iAnchorX;
    return int(std::max<double>(-kMaxWidgetSize, std::min<double>(kMaxWidgetSize, std::trunc(x))));
}

void TimelineWidget::updateMarkColumns()
{
    m_iMarkStartX = columnOf(qint64(m_iMarkStart) + m_curTc.frames);
    m_iMarkEndX = columnOf(m_iMarkEnd);
}

void TimelineWidget::setAnchor(int frame, int x)
{
    m_iAnchorFrame = frame;
    m_iAnchorX = x;
}

void TimelineWidget::setCurrentTc(const TimeCode &tc)
{
    const bool wasValid = m_curTc.valid;
    m_curTc = tc;
    if (!wasValid) {
        relayout();
    } else {
        const qint64 now = tc.frames;
        for (const int index : qAsConst(m_maintenanceSlots)) {
            Slot &slot = m_slots[index];
            // A maintenance window that has passed shows its fixed text again (the controller may
            // have reused the item for another day).
            if (slot.data.maintenance && qint64(slot.data.startFrame) + slot.data.length < now &&
                slot.data.durationText != QLatin1String("00:00:10:00")) {
                slot.data.durationText = QStringLiteral("00:00:10:00");
                if (slot.widget)
                    slot.widget->setDuration(slot.data.durationText);
            }
        }
        // A row out of view waits for the scroll bar, or its first paint, to come into view.
        if (m_bLive || hasBoundWidget())
            placeItems();
    }
    updateMarkColumns();
    updateIfLive();
}

void TimelineWidget::setView(int anchorFrame, int anchorX)
{
    if (anchorFrame == m_iAnchorFrame && anchorX == m_iAnchorX)
        return;
    setAnchor(anchorFrame, anchorX);
    // A row out of view holds no widget to move, and scrolling it into view places its items.
    if (!m_bLive && !hasBoundWidget()) {
        updateMarkColumns();
        return;
    }
    placeItems();
    updateMarkColumns();
    updateIfLive();
}

void TimelineWidget::updateLiveItems()
{
    placeItems();
}

void TimelineWidget::updateIfLive()
{
    // Hundreds of rows follow every zoom, pan and clock tick; only those in view need a paint.
    if (m_bLive)
        update();
}

void TimelineWidget::placeItems()
{
    const bool live = rowInView();
    // A row out of view has nothing to move: its items are data only.
    if (!live && !m_bLive)
        return;
    if (live && !m_bLive)
        update();
    m_bLive = live;
    if (live && m_bRelayoutPending) {
        // A zoom while out of view: lanes and sizes first (this places the items too).
        m_bRelayoutPending = false;
        relayout();
        return;
    }
    for (Slot &slot : m_slots) {
        const bool wanted = live && isInView(slot, kLiveMargin);
        if (!slot.widget) {
            if (!wanted)
                continue;
            bind(slot);
        } else if (!wanted && !isHeld(slot.widget)) {
            release(slot);
            continue;
        }
        placeHorizontally(slot);
    }
    if (!live) {
        // Later: a widget let go of just now may be the one whose event led here (a Ctrl+wheel).
        for (TimelineItemWidget *spare : qAsConst(m_pool))
            spare->deleteLater();
        m_pool.clear();
    }
}

bool TimelineWidget::rowInView() const
{
    return isNearVisibleArea(this, kLiveMargin);
}

void TimelineWidget::watchScrollArea()
{
    if (QScrollBar *bar = newEnclosingScrollBar(this, m_watchedScrollBar))
        connect(bar, &QScrollBar::valueChanged, this, &TimelineWidget::placeItems);
}

bool TimelineWidget::isInView(const Slot &slot, int margin) const
{
    const qint64 x = columnOf(slot.data.startFrame);
    return x + itemWidthFor(slot.data.length) >= -margin && x <= width() + margin;
}

bool TimelineWidget::isHeld(const TimelineItemWidget *item)
{
    return item->isPinned() || item->isHovered() || item->isEditingName() || item->isDragging();
}

void TimelineWidget::bind(Slot &slot)
{
    TimelineItemWidget *item = nullptr;
    if (!m_pool.isEmpty()) {
        item = m_pool.takeLast();
    } else {
        item = new TimelineItemWidget(this, QString(), 0, 0, QString(), QString(), QString());
        item->hide();
        connect(item, &TimelineItemWidget::sigContextMenu, this, &TimelineWidget::forwardContextMenu);
        connect(item, &TimelineItemWidget::sigDragStarting, this, &TimelineWidget::forwardDragStarting);
        connect(item, &TimelineItemWidget::sigDragDropped, this, &TimelineWidget::forwardDragDropped);
    }
    item->setItemData(slot.data);
    item->setSelected(slot.selected);
    item->setAssignedSizeLater(itemWidthFor(slot.data.length), slot.height);
    item->move(item->x(), slot.y);
    item->setReady(true);
    slot.widget = item;
    ++m_iBoundWidgets;
}

void TimelineWidget::release(Slot &slot)
{
    TimelineItemWidget *item = slot.widget;
    slot.widget = nullptr;
    if (!item)
        return;
    --m_iBoundWidgets;
    if (m_pool.size() >= kPoolSize) {
        item->hide();
        item->deleteLater();
        return;
    }
    item->hide();
    item->releaseCache();
    item->setSelected(false);
    m_pool.append(item);
}

void TimelineWidget::forwardContextMenu(QPoint pt)
{
    if (auto *item = qobject_cast<TimelineItemWidget *>(sender()))
        emit sigItemContextMenu(item, pt);
}

void TimelineWidget::forwardDragStarting()
{
    if (auto *item = qobject_cast<TimelineItemWidget *>(sender()))
        emit sigItemDragStarting(item);
}

void TimelineWidget::forwardDragDropped(int startFrame, int length)
{
    if (auto *item = qobject_cast<TimelineItemWidget *>(sender()))
        emit sigItemDragDropped(item, startFrame, length);
}

void TimelineWidget::placeHorizontally(Slot &slot)
{
    TimelineItemWidget *item = slot.widget;
    // A dragged item is where the mouse proposes, not where the schedule is.
    const int x = columnOf(item->isDragging() ? item->startFrame() : slot.data.startFrame);
    if (!item->isDragging() && !isInView(slot, 0)) {
        if (!item->isHidden()) {
            item->hide();
            // Out of view its picture is only memory; it renders again when it comes back.
            item->releaseCache();
        }
        // Keep the lane so that the item comes back into view at the right height.
        if (item->y() != slot.y)
            item->move(item->x(), slot.y);
        return;
    }
    const bool cameIntoView = item->isHidden();
    item->applyAssignedSize();
    if (item->pos() != QPoint(x, slot.y))
        item->move(x, slot.y);
    if (cameIntoView) {
        item->show();
        item->refresh();
    }
}

void TimelineWidget::setMarkStart(int offset)
{
    m_iMarkStart = offset;
    m_bMarkStartSet = true;
    updateMarkColumns();
    update();
}

void TimelineWidget::setMarkEnd(int frame)
{
    m_iMarkEnd = frame;
    m_bMarkEndSet = true;
    updateMarkColumns();
    update();
}

void TimelineWidget::clearMarks()
{
    m_bMarkStartSet = false;
    m_bMarkEndSet = false;
    m_iMarkStart = -1;
    m_iMarkEnd = -1;
    updateMarkColumns();
    update();
}

void TimelineWidget::set24hLine(int frame)
{
    if (m_b24hSet && frame == m_i24hFrame)
        return;
    m_i24hFrame = frame;
    m_b24hSet = true;
    updateIfLive();
}

void TimelineWidget::clear24hLine()
{
    m_b24hSet = false;
    updateIfLive();
}

void TimelineWidget::setRemainFrames(int frames)
{
    if (frames == m_iRemainFrames)
        return;
    m_iRemainFrames = frames;
    updateIfLive();
}

int TimelineWidget::line24hX() const
{
    return m_b24hSet ? columnOf(m_i24hFrame) : -1;
}

int TimelineWidget::remainX() const
{
    return m_iRemainFrames >= 0 ? columnOf(qint64(m_curTc.frames) + m_iRemainFrames) : -1;
}

void TimelineWidget::setRanges(const QList<UsableRange> &master, const QList<UsableRange> &proxy,
                               bool withProxy)
{
    {
        QMutexLocker lock(&m_mutex);
        m_masterRanges = master;
        m_proxyRanges = proxy;
        m_bWithProxy = withProxy;
    }
    // Every poll brings new ranges for every port; a row out of view paints them when it comes in.
    updateIfLive();
}

QList<UsableRange> TimelineWidget::masterRanges() const
{
    QMutexLocker lock(&m_mutex);
    return m_masterRanges;
}

QList<UsableRange> TimelineWidget::proxyRanges() const
{
    QMutexLocker lock(&m_mutex);
    return m_proxyRanges;
}

bool TimelineWidget::withProxy() const
{
    QMutexLocker lock(&m_mutex);
    return m_bWithProxy;
}

void TimelineWidget::placeItem(TimelineItemWidget *item)
{
    if (!item || item->parentWidget() != this)
        return;
    for (Slot &slot : m_slots) {
        if (slot.widget != item)
            continue;
        // A drop the controller kept stays where it was dropped until the manager's change comes.
        if (!item->isDragging()) {
            slot.data.startFrame = item->startFrame();
            slot.data.length = item->length();
            slot.data.startText = item->startText();
            slot.data.endText = item->endText();
            slot.data.durationText = item->durationText();
        }
        item->setAssignedSize(itemWidthFor(item->length()), item->assignedHeight());
        placeHorizontally(slot);
        return;
    }
}

int TimelineWidget::itemWidthFor(int length) const
{
    return int(std::max(1.0, std::min(kMaxWidgetSize, length * m_dPixelsPerFrame)));
}

void TimelineWidget::reindex()
{
    m_index.clear();
    m_index.reserve(m_slots.size());
    m_maintenanceSlots.clear();
    for (int i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i].data.taskId.isEmpty() && !m_index.contains(m_slots[i].data.taskId))
            m_index.insert(m_slots[i].data.taskId, i);
        if (m_slots[i].data.maintenance)
            m_maintenanceSlots.append(i);
    }
}

void TimelineWidget::setItem(const TimelineItemData &data, bool relayoutNow)
{
    const auto known = data.taskId.isEmpty() ? m_index.cend() : m_index.constFind(data.taskId);
    if (known != m_index.cend()) {
        Slot &slot = m_slots[*known];
        const bool maintenanceChanged = slot.data.maintenance != data.maintenance;
        slot.data = withSharedTexts(data);
        if (maintenanceChanged)
            reindex();
        if (slot.widget)
            slot.widget->setItemData(data);
        if (relayoutNow)
            relayout();
        return;
    }
    appendItem(data, relayoutNow);
}

void TimelineWidget::appendItem(const TimelineItemData &data, bool relayoutNow)
{
    Slot slot;
    slot.data = withSharedTexts(data);
    if (!data.taskId.isEmpty() && !m_index.contains(data.taskId))
        m_index.insert(data.taskId, m_slots.size());
    if (data.maintenance)
        m_maintenanceSlots.append(m_slots.size());
    m_slots.append(slot);
    if (relayoutNow)
        relayout();
}

void TimelineWidget::addItem(TimelineItemWidget *item, bool relayoutNow)
{
    if (!item)
        return;
    for (const Slot &slot : qAsConst(m_slots)) {
        if (slot.widget == item)
            return;
    }
    Slot slot;
    slot.data = item->itemData();
    slot.height = item->assignedHeight() > 0 ? item->assignedHeight() : item->height();
    slot.widget = item;
    ++m_iBoundWidgets;
    item->setParent(this);
    connect(item, &TimelineItemWidget::sigContextMenu, this, &TimelineWidget::forwardContextMenu,
            Qt::UniqueConnection);
    item->setAssignedSize(itemWidthFor(slot.data.length), slot.height);
    item->move(item->x(), kItemTop);
    if (!slot.data.taskId.isEmpty() && !m_index.contains(slot.data.taskId))
        m_index.insert(slot.data.taskId, m_slots.size());
    if (slot.data.maintenance)
        m_maintenanceSlots.append(m_slots.size());
    m_slots.append(slot);
    m_packedSpans.clear();
    if (relayoutNow)
        relayout();
}

void TimelineWidget::removeItems(const QList<QString> &taskIds)
{
    const int before = m_slots.size();
    for (Slot &slot : m_slots) {
        if (slot.widget && taskIds.contains(slot.data.taskId)) {
            // A removed schedule's widget goes with it (the controller may still hold it while its
            // menu runs, through a guarded pointer).
            delete slot.widget;
            slot.widget = nullptr;
            --m_iBoundWidgets;
        }
    }
    m_slots.erase(std::remove_if(m_slots.begin(), m_slots.end(),
                                 [&taskIds](const Slot &slot) { return taskIds.contains(slot.data.taskId); }),
                  m_slots.end());
    if (m_slots.size() != before) {
        if (taskIds.contains(m_strSelected))
            m_strSelected.clear();
        reindex();
        m_groups.clear();
        m_packedSpans.clear();
        relayout();
    }
}

void TimelineWidget::removeItemsByTaskId(const QString &taskId)
{
    removeItems(QList<QString>{taskId});
}

void TimelineWidget::relayout()
{
    QVector<LaneSpan> spans;
    spans.reserve(m_slots.size());
    for (const Slot &slot : qAsConst(m_slots))
        spans.append(LaneSpan{slot.data.startFrame, slot.data.length});
    // The same spans for the same items pack the same way: a zoom, or a change of texts or
    // progress, only places the items again.
    if (spans != m_packedSpans || m_packing.placements.size() != spans.size()) {
        m_packing = packLanes(spans);
        m_packedSpans = spans;
        m_groups.clear();
        m_groups.reserve(m_packing.groups.size());
        for (const QVector<QVector<int>> &lanes : qAsConst(m_packing.groups)) {
            QVector<QVector<QString>> group;
            group.reserve(lanes.size());
            for (const QVector<int> &lane : lanes) {
                QVector<QString> ids;
                ids.reserve(lane.size());
                for (const int index : lane)
                    ids.append(m_slots[index].data.taskId);
                group.append(ids);
            }
            m_groups.append(group);
        }
    }
    const int h = height();
    for (int i = 0; i < m_slots.size(); ++i) {
        Slot &slot = m_slots[i];
        const LaneBox box = laneBox(m_packing.placements[i], h);
        slot.y = box.y;
        slot.height = box.height;
        TimelineItemWidget *item = slot.widget;
        if (!item)
            continue;
        const int w = itemWidthFor(slot.data.length);
        // Resizing a widget costs events even while it is hidden: items out of view take their
        // size when they come into view.
        if (item->assignedWidth() != w || item->assignedHeight() != box.height || item->isSizePending()) {
            if (isInView(slot, 0))
                item->setAssignedSize(w, box.height);
            else
                item->setAssignedSizeLater(w, box.height);
        }
    }
    placeItems();
}

QList<QString> TimelineWidget::taskIds() const
{
    QList<QString> ids;
    ids.reserve(m_slots.size());
    for (const Slot &slot : m_slots)
        ids.append(slot.data.taskId);
    return ids;
}

bool TimelineWidget::setItemSpan(const QString &taskId, qint32 startFrame, qint32 length)
{
    const auto known = m_index.constFind(taskId);
    if (known == m_index.cend())
        return false;
    TimelineItemData &data = m_slots[*known].data;
    if (data.startFrame == startFrame && data.length == length)
        return false;
    data.startFrame = startFrame;
    data.length = length;
    if (TimelineItemWidget *widget = m_slots[*known].widget)
        widget->setItemData(data);
    return true;
}

const TimelineItemData *TimelineWidget::itemData(const QString &taskId) const
{
    const auto it = m_index.constFind(taskId);
    return it == m_index.cend() ? nullptr : &m_slots[*it].data;
}

QVector<TimelineItemData> TimelineWidget::itemsData() const
{
    QVector<TimelineItemData> list;
    list.reserve(m_slots.size());
    for (const Slot &slot : m_slots)
        list.append(slot.data);
    return list;
}

TimelineItemWidget *TimelineWidget::itemWidget(const QString &taskId, bool create)
{
    const auto it = m_index.constFind(taskId);
    if (it == m_index.cend())
        return nullptr;
    Slot &slot = m_slots[*it];
    if (!slot.widget && create) {
        bind(slot);
        placeHorizontally(slot);
    }
    return slot.widget;
}

QList<TimelineItemWidget *> TimelineWidget::items() const
{
    QList<TimelineItemWidget *> list;
    for (const Slot &slot : m_slots) {
        if (slot.widget)
            list.append(slot.widget);
    }
    return list;
}

int TimelineWidget::liveWidgetCount() const
{
    return int(items().size() + m_pool.size());
}

void TimelineWidget::setSelectedItem(const QString &taskId)
{
    if (taskId == m_strSelected)
        return;
    for (Slot &slot : m_slots) {
        const bool selected = !taskId.isEmpty() && slot.data.taskId == taskId;
        if (slot.selected == selected)
            continue;
        slot.selected = selected;
        if (slot.widget)
            slot.widget->setSelected(selected);
    }
    m_strSelected = taskId;
}

void TimelineWidget::refreshMaintenanceItems()
{
    for (Slot &slot : m_slots) {
        if (!slot.data.maintenance)
            continue;
        slot.data.durationText = QStringLiteral("00:00:10:00");
        if (slot.widget) {
            slot.widget->setDuration(slot.data.durationText);
            slot.widget->refresh();
        }
    }
}

void TimelineWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    watchScrollArea();
    placeItems();
}

void TimelineWidget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    placeItems();
}

void TimelineWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updatePixelScale();
    relayout();
    updateMarkColumns();
}

bool TimelineWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = lineToolTip(help->pos().x());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

QString TimelineWidget::lineToolTip(int x) const
{
    // The lines are thin: a few pixels either side count as on the line.
    constexpr int near = 4;
    if (m_bMarkStartSet && std::abs(x - m_iMarkStartX) <= near)
        return tr("Mark start (Start button): an open-end schedule begins here");
    if (m_bMarkEndSet && std::abs(x - m_iMarkEndX) <= near)
        return tr("Mark end (Stop button): the open-end schedule ends here");
    if (m_b24hSet && std::abs(x - line24hX()) <= near)
        return tr("24 hours after the recording in progress began");
    if (m_iRemainFrames >= 0 && std::abs(x - remainX()) <= near)
        return tr("End of the remaining recording time");
    return QString();
}

void TimelineWidget::paintEvent(QPaintEvent *event)
{
    // Painted while its widgets were let go of: the row came into view by a way no scroll bar
    // reported (a layout change above it); bring them back once this paint is done.
    if (!m_bLive)
        QMetaObject::invokeMethod(this, &TimelineWidget::placeItems, Qt::QueuedConnection);
    QPainter painter(this);
    // Opaque: what a style without a background for it would leave shows the window's colour,
    // as the panels underneath did.
    painter.fillRect(event->rect(), palette().brush(QPalette::Window));
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    {
        QMutexLocker lock(&m_mutex);
        painter.setPen(kBandColor);
        painter.setBrush(QBrush(kBandColor, Qt::BDiagPattern));
        const int bandHeight = m_bWithProxy ? (height() - kBandGap) / 2 : height();
        const QVector<QRect> master = usableRangeRects(m_masterRanges, m_iAnchorFrame, m_iAnchorX,
                                                       m_dPixelsPerFrame, 0, bandHeight, width());
        for (const QRect &r : master)
            painter.drawRect(r);
        if (m_bWithProxy) {
            const QVector<QRect> proxy =
                usableRangeRects(m_proxyRanges, m_iAnchorFrame, m_iAnchorX, m_dPixelsPerFrame,
                                 bandHeight + kBandGap, bandHeight, width());
            for (const QRect &r : proxy)
                painter.drawRect(r);
        }
    }

    painter.setBrush(Qt::NoBrush);
    const int x24 = line24hX();
    if (m_b24hSet && x24 >= 0 && x24 <= width()) {
        painter.setPen(QPen(k24hColor, 1));
        painter.drawLine(x24, 0, x24, height());
    }
    const int xRemain = remainX();
    if (m_iRemainFrames >= 0 && xRemain >= 0 && xRemain <= width()) {
        painter.setPen(QPen(kRemainColor, 1, Qt::DotLine));
        painter.drawLine(xRemain, 0, xRemain, height());
    }
    if (m_bMarkStartSet)
        drawDashedLine(painter, m_iMarkStartX, height(), Qt::yellow);
    if (m_bMarkEndSet)
        drawDashedLine(painter, m_iMarkEndX, height(), Qt::red);
}
