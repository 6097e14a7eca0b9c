#include "views/timelinewidget.h"

#include "views/lanepacking.h"
#include "views/timelineitemwidget.h"

#include <QHelpEvent>
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

TimelineWidget::TimelineWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    updatePixelScale();
}

TimelineWidget::~TimelineWidget()
{
    // The items go before QWidget's destructor would delete them a second time as children.
    m_groups.clear();
    m_items.clear();
}

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
    relayout();
    updateMarkColumns();
    update();
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
        for (const QSharedPointer<TimelineItemWidget> &item : qAsConst(m_items)) {
            // A maintenance window that has passed shows its fixed text again (the controller may
            // have reused the item for another day).
            if (item->isMaintenance() && qint64(item->startFrame()) + item->length() < now)
                item->setDuration(QStringLiteral("00:00:10:00"));
        }
        placeItems();
    }
    updateMarkColumns();
    update();
}

void TimelineWidget::setView(int anchorFrame, int anchorX)
{
    if (anchorFrame == m_iAnchorFrame && anchorX == m_iAnchorX)
        return;
    setAnchor(anchorFrame, anchorX);
    placeItems();
    updateMarkColumns();
    update();
}

void TimelineWidget::placeItems()
{
    for (const QSharedPointer<TimelineItemWidget> &item : qAsConst(m_items)) {
        // Most items are hidden far from the view and stay so: nothing to move.
        if (item->isHidden() && !isInView(item.data(), columnOf(item->startFrame())))
            continue;
        placeHorizontally(item.data(), item->y());
    }
}

bool TimelineWidget::isInView(const TimelineItemWidget *item, int x) const
{
    const int w = item->assignedWidth() > 0 ? item->assignedWidth() : item->width();
    return qint64(x) + w >= 0 && x <= width();
}

bool TimelineWidget::placeHorizontally(TimelineItemWidget *item, int y)
{
    const int x = columnOf(item->startFrame());
    if (!isInView(item, x)) {
        if (!item->isHidden()) {
            item->hide();
            // Out of view its picture is only memory; it renders again when it comes back.
            item->releaseCache();
        }
        // Keep the lane so that the item comes back into view at the right height.
        if (item->y() != y)
            item->move(item->x(), y);
        return false;
    }
    const bool cameIntoView = item->isHidden();
    item->applyAssignedSize();
    const bool moved = item->pos() != QPoint(x, y);
    if (moved)
        item->move(x, y);
    if (cameIntoView) {
        item->show();
        item->refresh();
    }
    return moved || cameIntoView;
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
    m_i24hFrame = frame;
    m_b24hSet = true;
    update();
}

void TimelineWidget::clear24hLine()
{
    m_b24hSet = false;
    update();
}

void TimelineWidget::setRemainFrames(int frames)
{
    m_iRemainFrames = frames;
    update();
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
    update();
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
    item->setAssignedSize(itemWidthFor(item->length()), item->assignedHeight());
    placeHorizontally(item, item->y());
}

int TimelineWidget::itemWidthFor(int length) const
{
    return int(std::max(1.0, std::min(kMaxWidgetSize, length * m_dPixelsPerFrame)));
}

void TimelineWidget::addItem(TimelineItemWidget *item, bool relayoutNow)
{
    if (!item)
        return;
    for (const QSharedPointer<TimelineItemWidget> &known : qAsConst(m_items)) {
        if (known.data() == item)
            return;
    }
    m_items.append(QSharedPointer<TimelineItemWidget>(item));
    m_packedSpans.clear();
    item->setParent(this);
    item->setAssignedSize(itemWidthFor(item->length()),
                          item->assignedHeight() > 0 ? item->assignedHeight() : item->height());
    item->move(item->x(), kItemTop);
    if (relayoutNow)
        relayout();
}

void TimelineWidget::removeItems(const QList<QString> &taskIds)
{
    const int before = m_items.size();
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&taskIds](const QSharedPointer<TimelineItemWidget> &item) {
                                     return taskIds.contains(item->taskId());
                                 }),
                  m_items.end());
    if (m_items.size() != before) {
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
    spans.reserve(m_items.size());
    for (const QSharedPointer<TimelineItemWidget> &item : qAsConst(m_items))
        spans.append(LaneSpan{item->startFrame(), item->length()});
    // The same spans for the same items pack the same way: a zoom, or a change of texts or
    // progress, only places the items again.
    if (spans != m_packedSpans || m_packing.placements.size() != spans.size()) {
        m_packing = packLanes(spans);
        m_packedSpans = spans;
        m_groups.clear();
        m_groups.reserve(m_packing.groups.size());
        for (const QVector<QVector<int>> &lanes : qAsConst(m_packing.groups)) {
            QVector<QVector<TimelineItemWidget *>> group;
            group.reserve(lanes.size());
            for (const QVector<int> &lane : lanes) {
                QVector<TimelineItemWidget *> items;
                items.reserve(lane.size());
                for (const int index : lane)
                    items.append(m_items[index].data());
                group.append(items);
            }
            m_groups.append(group);
        }
    }
    const LanePacking &packing = m_packing;

    const int h = height();
    for (int i = 0; i < m_items.size(); ++i) {
        TimelineItemWidget *item = m_items[i].data();
        const LaneBox box = laneBox(packing.placements[i], h);
        const int w = itemWidthFor(item->length());
        // Resizing a widget costs events even while it is hidden: items out of view take their
        // size when they come into view.
        const int x = columnOf(item->startFrame());
        const bool inView = qint64(x) + w >= 0 && x <= width();
        if (item->assignedWidth() != w || item->assignedHeight() != box.height || item->isSizePending()) {
            if (inView)
                item->setAssignedSize(w, box.height);
            else
                item->setAssignedSizeLater(w, box.height);
        }
        placeHorizontally(item, box.y);
    }
}

QList<QString> TimelineWidget::taskIds() const
{
    QList<QString> ids;
    ids.reserve(m_items.size());
    for (const QSharedPointer<TimelineItemWidget> &item : m_items)
        ids.append(item->taskId());
    return ids;
}

QList<TimelineItemWidget *> TimelineWidget::items() const
{
    QList<TimelineItemWidget *> list;
    list.reserve(m_items.size());
    for (const QSharedPointer<TimelineItemWidget> &item : m_items)
        list.append(item.data());
    return list;
}

void TimelineWidget::refreshMaintenanceItems()
{
    for (const QSharedPointer<TimelineItemWidget> &item : qAsConst(m_items)) {
        if (!item->isMaintenance())
            continue;
        item->setDuration(QStringLiteral("00:00:10:00"));
        item->refresh();
    }
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
    Q_UNUSED(event)
    QPainter painter(this);
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
