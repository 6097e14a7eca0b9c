#include "timelineitemwidget.h"

#include "views/timelinewidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>
#include <QToolTip>

#include <algorithm>
#include <vector>

namespace {

const QColor kItemBackground(224, 224, 224);
// A maintenance window is drawn yellow so that it stands out from transfers.
const QColor kMaintenanceBackground(255, 255, 0);
const QColor kDarkText(20, 20, 20);
const QColor kLightText(240, 240, 240);
const QColor kTextShadow(0, 0, 0, 150);
const QColor kSelectedFrame(255, 170, 0);

const char kEmptyDuration[] = "--:--:--:--";
const char kMaintenanceDuration[] = "00:00:10:00";
const char kMaintenanceStyle[] = "background-color: rgb(255, 255, 0);";
const char kNormalStyle[] = "background-color: rgb(178,178,178);";

const int kTextLeft = 10;
const int kValueOffset = 50;
const int kTextRightNarrow = 4;
const int kBaselines[5] = {24, 46, 68, 90, 112};
// The least of a name an elided label keeps; less is a fragment and is not drawn.
const int kMinElidedChars = 6;

// The cached pixmaps of every item (GUI thread only): bytes, budget and last use of each.
struct CacheBook
{
    QHash<const TimelineItemWidget *, quint64> lastUse;
    qint64 bytes = 0;
    qint64 budget = TimelineItemWidget::DefaultCacheBudget;
    quint64 clock = 0;
};

CacheBook &cacheBook()
{
    static CacheBook book;
    return book;
}

qint64 pixmapBytes(const QPixmap &pixmap)
{
    return pixmap.isNull() ? 0 : qint64(pixmap.width()) * pixmap.height() * ((pixmap.depth() + 7) / 8);
}

} // namespace

StatusColors statusColors(trx::ScheduleStatus status, int &progress1)
{
    const QColor darkBlue(24, 70, 102);
    const QColor lightBlue(34, 198, 255);
    const QColor greyTrack(76, 76, 76);
    const QColor greyFill(127, 127, 127);
    const QColor errorTrack(102, 46, 46);
    const QColor errorFill(242, 106, 102);
    const QColor light(224, 224, 224);
    const QColor green(0, 211, 70);

    using S = trx::ScheduleStatus;
    StatusColors colors{light, darkBlue};
    switch (status) {
    case S::Waiting:
        colors = {darkBlue, darkBlue};
        break;
    case S::InProgress:
        colors = {darkBlue, lightBlue};
        break;
    case S::Cancelled:
    case S::Cancelling:
        colors = {greyTrack, greyFill};
        break;
    case S::TransferError:
        colors = {errorTrack, errorFill};
        break;
    case S::Completed:
        colors = {light, green};
        break;
    case S::RecError:
    case S::UnknownError:
        colors = {errorTrack, errorFill};
        if (progress1 == -1)
            progress1 = 0;
        break;
    case S::None:
    case S::Scheduled:
    case S::Other:
        break;
    }
    if (progress1 == -2)
        colors = {errorTrack, errorFill};
    return colors;
}

TimelineItemWidget::TimelineItemWidget(QWidget *parent, const QString &name, int startFrame, int length,
                                       const QString &startText, const QString &endText,
                                       const QString &statusText)
    : QWidget(parent)
    , m_strName(name)
    , m_strStartText(startText)
    , m_strEndText(endText)
    , m_strStatus(statusText)
    , m_iStartFrame(startFrame)
    , m_iLength(length)
{
    m_font = font();
    m_font.setPointSize(12);
    m_font.setBold(true);
    setStyleSheet(QLatin1String(kNormalStyle));
    // Hover moves set the cursor to what a drag would do.
    setMouseTracking(true);
}

TimelineItemWidget::~TimelineItemWidget()
{
    if (m_drag.isActive())
        qApp->removeEventFilter(this);
    setCache(QPixmap());
}

qint64 TimelineItemWidget::cachedBytes()
{
    return cacheBook().bytes;
}

qint64 TimelineItemWidget::cacheBudget()
{
    return cacheBook().budget;
}

void TimelineItemWidget::setCacheBudget(qint64 bytes)
{
    cacheBook().budget = std::max<qint64>(0, bytes);
}

void TimelineItemWidget::setCache(const QPixmap &pixmap)
{
    CacheBook &book = cacheBook();
    book.bytes += pixmapBytes(pixmap) - pixmapBytes(m_cache);
    m_cache = pixmap;
    if (m_cache.isNull()) {
        book.lastUse.remove(this);
        return;
    }
    book.lastUse.insert(this, ++book.clock);
    if (book.bytes <= book.budget)
        return;
    // Over budget: drop the least recently used caches, down to three quarters of it, so that
    // this does not run again on the next render.
    std::vector<std::pair<quint64, const TimelineItemWidget *>> order;
    order.reserve(std::size_t(book.lastUse.size()));
    for (auto it = book.lastUse.cbegin(); it != book.lastUse.cend(); ++it) {
        if (it.key() != this)
            order.emplace_back(it.value(), it.key());
    }
    std::sort(order.begin(), order.end());
    for (const auto &entry : order) {
        if (book.bytes <= book.budget / 4 * 3)
            break;
        const_cast<TimelineItemWidget *>(entry.second)->releaseCache();
    }
}

void TimelineItemWidget::releaseCache()
{
    if (m_cache.isNull())
        return;
    setCache(QPixmap());
    m_bDirty = true;
    m_bStale = true;
}

bool TimelineItemWidget::isOnScreen() const
{
    return isNearVisibleArea(this, 0);
}

void TimelineItemWidget::setRange(int startFrame, int length)
{
    m_iStartFrame = startFrame;
    m_iLength = length;
}

void TimelineItemWidget::placeOnTimeline()
{
    if (auto *timeline = qobject_cast<TimelineWidget *>(parentWidget()))
        timeline->placeItem(this);
}

void TimelineItemWidget::mousePressEvent(QMouseEvent *event)
{
    // Ctrl+drag pans the view (the main window takes it); Shift only fines the snapping.
    auto *timeline = qobject_cast<TimelineWidget *>(parentWidget());
    const QPoint global = eventGlobalPos(event);
    const ScheduleDrag::Action action = ScheduleDrag::actionAt(mapFromGlobal(global).x(), scheduleWidth());
    const bool otherModifiers =
        (event->modifiers() & ~Qt::KeyboardModifiers(Qt::ShiftModifier)) != Qt::NoModifier;
    if (event->button() != Qt::LeftButton || otherModifiers || !timeline || isEditingName() ||
        action == ScheduleDrag::None || m_drag.isPressed()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag.press(action, timeline->mapFromGlobal(global).x(), m_iStartFrame, m_iLength,
                 timeline->pixelsPerFrame(), timeline->currentTc().rate);
    event->accept();
}

void TimelineItemWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint global = eventGlobalPos(event);
    if (!m_drag.isPressed()) {
        // The cursor tells what a drag from here would do.
        switch (ScheduleDrag::actionAt(mapFromGlobal(global).x(), scheduleWidth())) {
        case ScheduleDrag::ResizeStart:
        case ScheduleDrag::ResizeEnd:
            setCursor(Qt::SizeHorCursor);
            break;
        case ScheduleDrag::Move:
            setCursor(Qt::SizeAllCursor);
            break;
        case ScheduleDrag::None:
            unsetCursor();
            break;
        }
        QWidget::mouseMoveEvent(event);
        return;
    }
    event->accept();
    const bool wasActive = m_drag.isActive();
    const int x = parentWidget()->mapFromGlobal(global).x();
    if (!m_drag.moveTo(x, event->modifiers().testFlag(Qt::ShiftModifier), QApplication::startDragDistance()))
        return;
    if (!wasActive) {
        // Only now is it a drag: a click, the hover and the context menu stay as they were.
        qApp->installEventFilter(this);
        emit sigDragStarting();
        if (!m_drag.isActive())
            return;
        setCursor(m_drag.action() == ScheduleDrag::Move ? Qt::ClosedHandCursor : Qt::SizeHorCursor);
    }
    placeOnTimeline();
    refresh();
    // Shown for the timeline: the item's own grey style would reach into the tip.
    QToolTip::showText(global + QPoint(12, 16), m_drag.proposalText(), parentWidget());
}

void TimelineItemWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_drag.isPressed() || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    // A click, or a drag back to where it began, changes nothing.
    if (!m_drag.isActive() || (m_drag.start() == m_iStartFrame && m_drag.length() == m_iLength)) {
        cancelDrag();
        return;
    }
    QToolTip::hideText();
    m_bDropPending = true;
    const int start = m_drag.start();
    const int length = m_drag.length();
    QPointer<TimelineItemWidget> self(this);
    emit sigDragDropped(start, length);
    // Nobody took the proposal: back to where the schedule is.
    if (self && m_bDropPending)
        cancelDrag();
}

void TimelineItemWidget::cancelDrag()
{
    const bool moved = m_drag.isActive();
    endDrag();
    if (moved) {
        placeOnTimeline();
        refresh();
    }
}

void TimelineItemWidget::keepDrop()
{
    // The item stays where it was dropped until the manager's change arrives.
    if (m_drag.isActive()) {
        m_iStartFrame = m_drag.start();
        m_iLength = m_drag.length();
        m_strStartText = m_drag.startText();
        m_strEndText = m_drag.endText();
        m_strDuration = m_drag.durationText();
    }
    endDrag();
    // The timeline keeps the dropped place too, or its next tick would put the item back.
    placeOnTimeline();
    refresh();
}

void TimelineItemWidget::endDrag()
{
    if (m_drag.isActive()) {
        qApp->removeEventFilter(this);
        QToolTip::hideText();
        unsetCursor();
    }
    m_drag.reset();
    m_bDropPending = false;
}

TimelineItemData TimelineItemWidget::itemData() const
{
    TimelineItemData data;
    data.taskId = taskId();
    data.name = m_strName;
    data.startFrame = m_iStartFrame;
    data.length = m_iLength;
    data.startText = m_strStartText;
    data.endText = m_strEndText;
    data.durationText = m_strDuration;
    data.statusText = m_strStatus;
    data.status = m_status;
    data.progress1 = m_iProgress1;
    data.progress2 = m_iProgress2;
    data.maintenance = m_bMaintenance;
    data.dated = m_bDated;
    data.masterDestination = m_strMasterDestination;
    data.proxyDestination = m_strProxyDestination;
    data.values = m_values;
    data.values.remove(TaskIdKey);
    return data;
}

void TimelineItemWidget::setItemData(const TimelineItemData &data)
{
    if (data.startFrame != m_iStartFrame || data.length != m_iLength) {
        setRange(data.startFrame, data.length);
        markDirty();
    }
    setMaintenance(data.maintenance);
    m_bDated = data.dated;
    m_values = data.values;
    m_values.insert(TaskIdKey, data.taskId);
    m_strMasterDestination = data.masterDestination;
    m_strProxyDestination = data.proxyDestination;
    // The duration as stored: an empty one is a duration never set.
    if (data.durationText != m_strDuration) {
        m_strDuration = data.durationText;
        contentChanged();
    }
    setNameText(data.name);
    setStartText(data.startText);
    setEndText(data.endText);
    setStatusText(data.statusText);
    setStatus(data.status);
    setProgress(data.progress1, data.progress2);
}

void TimelineItemWidget::markDirty()
{
    m_bDirty = true;
    m_bStale = true;
}

void TimelineItemWidget::refresh()
{
    markDirty();
    render(false);
}

void TimelineItemWidget::contentChanged()
{
    markDirty();
    // What the manager reports is shown at once: a posted repaint waits behind every push still
    // queued for this thread, which under a burst of changes is a long time.
    if (!m_bReady || !isOnScreen())
        return;
    renderCache();
    repaint();
}

void TimelineItemWidget::setTextMember(QString &member, const QString &text)
{
    if (member == text)
        return;
    member = text;
    contentChanged();
}

void TimelineItemWidget::setNameText(const QString &name)
{
    setTextMember(m_strName, name);
}

void TimelineItemWidget::setStartText(const QString &text)
{
    setTextMember(m_strStartText, text);
}

void TimelineItemWidget::setEndText(const QString &text)
{
    setTextMember(m_strEndText, text);
}

void TimelineItemWidget::setStatusText(const QString &text)
{
    setTextMember(m_strStatus, text);
}

void TimelineItemWidget::setStatus(trx::ScheduleStatus status)
{
    if (status == m_status)
        return;
    m_status = status;
    contentChanged();
}

void TimelineItemWidget::setDuration(const QString &text)
{
    if (text == m_strDuration)
        return;
    m_strDuration = text.isEmpty() ? QString::fromLatin1(kEmptyDuration) : text;
    contentChanged();
}

void TimelineItemWidget::setProgress(int progress1, int progress2)
{
    if (progress1 == m_iProgress1 && progress2 == m_iProgress2)
        return;
    m_iProgress1 = progress1;
    m_iProgress2 = progress2;
    contentChanged();
}

void TimelineItemWidget::setMaintenance(bool maintenance)
{
    if (maintenance == m_bMaintenance)
        return;
    m_bMaintenance = maintenance;
    setStyleSheet(QLatin1String(maintenance ? kMaintenanceStyle : kNormalStyle));
    if (maintenance)
        setDuration(QString::fromLatin1(kMaintenanceDuration));
    refresh();
}

void TimelineItemWidget::setReady(bool ready)
{
    m_bReady = ready;
    if (ready)
        refresh();
}

void TimelineItemWidget::setPinned(bool pinned)
{
    m_bPinned = pinned;
    if (pinned)
        enlarge();
    else if (!m_bHovered)
        restoreSize();
}

void TimelineItemWidget::setAssignedSizeLater(int width, int height)
{
    m_iAssignedWidth = width;
    m_iAssignedHeight = height;
    m_bSizePending = true;
}

void TimelineItemWidget::applyAssignedSize()
{
    if (m_bSizePending)
        setAssignedSize(m_iAssignedWidth, m_iAssignedHeight);
}

void TimelineItemWidget::setAssignedSize(int width, int height)
{
    m_iAssignedWidth = width;
    m_iAssignedHeight = height;
    m_bSizePending = false;
    if (m_bEnlarged)
        setFixedSize(std::max(width, HoverWidth), std::max(height, HoverHeight));
    else
        setFixedSize(width, height);
}

void TimelineItemWidget::enlarge()
{
    raise();
    if (!m_bEnlarged) {
        m_sizeBeforeEnlarge = size();
        m_bEnlarged = true;
    }
    const int w = m_iAssignedWidth > 0 ? m_iAssignedWidth : m_sizeBeforeEnlarge.width();
    const int h = m_iAssignedHeight > 0 ? m_iAssignedHeight : m_sizeBeforeEnlarge.height();
    setFixedSize(std::max(w, HoverWidth), std::max(h, HoverHeight));
}

void TimelineItemWidget::restoreSize()
{
    if (!m_bEnlarged)
        return;
    m_bEnlarged = false;
    if (m_iAssignedWidth > 0 && m_iAssignedHeight > 0)
        setFixedSize(m_iAssignedWidth, m_iAssignedHeight);
    else
        setFixedSize(m_sizeBeforeEnlarge);
}

void TimelineItemWidget::drawBar(QPainter &painter, int x, int y, int width, int height, int percent,
                                 const StatusColors &colors) const
{
    if (width <= 0 || height <= 0)
        return;
    if (percent < 0) {
        painter.fillRect(x, y, width, height, colors.fill);
        return;
    }
    painter.fillRect(x, y, width, height, colors.track);
    const int filled = int(qint64(width) * std::min(percent, 100) / 100);
    if (filled > 0)
        painter.fillRect(x, y, filled, height, colors.fill);
}

void TimelineItemWidget::render(bool force)
{
    if (!m_bReady)
        return;
    // An item clipped away by the scroll area or its timeline renders when it is next painted.
    if (!force && !(m_bDirty && isOnScreen()))
        return;
    renderCache();
    update();
}

void TimelineItemWidget::renderCache()
{
    const int itemWidth = width();
    const int itemHeight = height();
    const int timelineWidth = parentWidget() ? parentWidget()->width() : itemWidth;
    const int pixWidth = std::min(itemWidth, timelineWidth);
    if (pixWidth <= 0 || itemHeight <= 0) {
        setCache(QPixmap());
        m_bStale = false;
        return;
    }

    // Rendered at the screen's pixel density so that text stays sharp on scaled displays.
    const qreal dpr = devicePixelRatioF();
    QPixmap pixmap(QSize(pixWidth, itemHeight) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(m_bMaintenance ? kMaintenanceBackground : kItemBackground);
    const int x0 = std::min(x(), 0);

    QPainter painter(&pixmap);
    int progress1 = m_iProgress1;
    const StatusColors colors = statusColors(m_status, progress1);
    const bool bars = progress1 != -1;
    if (bars) {
        if (m_iProgress2 == -1) {
            drawBar(painter, x0, 5, itemWidth, itemHeight - 10, progress1, colors);
        } else {
            const int half = itemHeight / 2;
            drawBar(painter, x0, 5, itemWidth, half - 5, progress1, colors);
            drawBar(painter, x0, half + 5, itemWidth, half - 10, m_iProgress2, colors);
        }
    }

    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(m_font);
    // Light text where a dark track runs behind it, dark text on the light item body. Light text
    // gets a dark shadow so that it stays readable over a light fill and the gap between two bars.
    const bool lightText = bars && colors.track.lightness() < 128;
    const auto drawText = [&](int x, int y, const QString &text) {
        if (lightText) {
            painter.setPen(kTextShadow);
            painter.drawText(x + 1, y + 1, text);
        }
        painter.setPen(lightText ? kLightText : kDarkText);
        painter.drawText(x, y, text);
    };
    const QFontMetrics metrics(m_font);
    // Texts start at the visible left edge of the item, so that an item that began before the
    // view still says what it is; a text that does not fit whole is left out, never cut to a
    // fragment.
    const int room = textRoom();
    // The room every text needs, and the most that the drawn ones need: a move that gives more
    // room than the first or less than the second changes what is drawn.
    int needAll = 0;
    int needDrawn = 0;
    const auto fits = [&](const QString &text, int width) {
        const int need = metrics.horizontalAdvance(text) + (room - width);
        needAll = std::max(needAll, need);
        const bool ok = !text.isEmpty() && need <= room;
        if (ok)
            needDrawn = std::max(needDrawn, need);
        return ok;
    };
    const auto fitsHeight = [&](int baseline) { return baseline + metrics.descent() <= itemHeight; };
    const auto drawLine = [&](int x, int y, const QString &text) {
        drawText(x, y, text);
        m_drawnTexts.append(text);
    };
    m_drawnTexts.clear();
    const QString name = shownName(metrics, room);
    fits(m_strName, room);

    if (!fitsHeight(kBaselines[1])) {
        // One line only (a compact row): the name and, when there is room, the status after it.
        const int baseline = (itemHeight + metrics.ascent() - metrics.descent()) / 2;
        const QString both = name + QStringLiteral("  ") + m_strStatus;
        if (!name.isEmpty() && name == m_strName && fits(both, room))
            drawLine(kTextLeft, baseline, both);
        else if (!name.isEmpty())
            drawLine(kTextLeft, baseline, name);
    } else {
        const QString labels[3] = {tr("Start: "), tr("End: "), tr("Dur: ")};
        // Values start 50 pixels after the labels; a wider fallback font pushes them further right.
        int valueOffset = kValueOffset;
        for (const QString &label : labels)
            valueOffset = std::max(valueOffset, metrics.horizontalAdvance(label));
        if (!name.isEmpty())
            drawLine(kTextLeft, kBaselines[0], name);
        // While dragged, the item says where it would go.
        const bool dragged = m_drag.isActive();
        const QString values[3] = {dragged ? m_drag.startText() : m_strStartText,
                                   dragged ? m_drag.endText() : m_strEndText,
                                   dragged ? m_drag.durationText() : m_strDuration};
        for (int i = 0; i < 3; ++i) {
            if (!fitsHeight(kBaselines[i + 1]) || !fits(values[i], room - valueOffset))
                continue;
            drawLine(kTextLeft, kBaselines[i + 1], labels[i]);
            drawLine(kTextLeft + valueOffset, kBaselines[i + 1], values[i]);
        }
        if (fitsHeight(kBaselines[4]) && fits(m_strStatus, room))
            drawLine(kTextLeft, kBaselines[4], m_strStatus);
    }
    painter.end();

    m_iRoomNeedAll = needAll;
    m_iRoomNeedDrawn = needDrawn;
    // Cut at the left edge, the content depends on the position: keep re-rendering on moves. Cut
    // at the right edge, only while some text still waits for room.
    m_bDirty = x0 < 0 || x0 > itemWidth || (x() + itemWidth > timelineWidth && room < needAll);
    m_bStale = false;
    m_iCacheX = x();
    setCache(pixmap);
}

int TimelineItemWidget::textRoom() const
{
    // Texts may run up to a few pixels from the right end, so that narrow items keep short names.
    const int timelineWidth = parentWidget() ? parentWidget()->width() : width();
    const int visibleLeft = std::max(x(), 0);
    const int visibleRight = std::min(x() + width(), timelineWidth);
    return visibleRight - visibleLeft - kTextLeft - kTextRightNarrow;
}

QString TimelineItemWidget::shownName(const QFontMetrics &metrics, int room) const
{
    if (m_strName.isEmpty() || room <= 0)
        return QString();
    if (metrics.horizontalAdvance(m_strName) <= room)
        return m_strName;
    // A long name in a wide item may lose its tail; a stub of a few letters says nothing.
    const QString elided = metrics.elidedText(m_strName, Qt::ElideRight, room);
    return elided.size() - 1 >= kMinElidedChars ? elided : QString();
}

void TimelineItemWidget::setDestinations(const QString &master, const QString &proxy)
{
    m_strMasterDestination = master;
    m_strProxyDestination = proxy;
}

QString TimelineItemWidget::toolTipText() const
{
    const auto progress = [](int p) {
        return p >= 0 ? QStringLiteral("%1 %").arg(std::min(p, 100)) : QStringLiteral("-");
    };
    QString text = QStringLiteral("<b>%1</b><br>").arg(m_strName.toHtmlEscaped());
    text += tr("Start: %1").arg(m_strStartText.toHtmlEscaped()) + QStringLiteral("<br>");
    text += tr("End: %1").arg(m_strEndText.toHtmlEscaped()) + QStringLiteral("<br>");
    text += tr("Duration: %1").arg(m_strDuration.toHtmlEscaped()) + QStringLiteral("<br>");
    text += tr("Status: %1").arg(m_strStatus.toHtmlEscaped()) + QStringLiteral("<br>");
    text += tr("Progress: %1").arg(progress(m_iProgress1));
    if (m_iProgress2 != -1)
        text += tr(" (proxy %1)").arg(progress(m_iProgress2));
    if (!m_strMasterDestination.isEmpty())
        text += QStringLiteral("<br>") + tr("Master: %1").arg(m_strMasterDestination.toHtmlEscaped());
    if (!m_strProxyDestination.isEmpty())
        text += QStringLiteral("<br>") + tr("Proxy: %1").arg(m_strProxyDestination.toHtmlEscaped());
    return text;
}

bool TimelineItemWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // Built when asked: the texts change with every push, tool tips are rare.
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), toolTipText(), this);
        return true;
    }
    return QWidget::event(event);
}

void TimelineItemWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &painter, this);
    if (m_bReady) {
        const bool moved = m_bDirty && m_iCacheX != x();
        const QSize wanted(std::min(width(), parentWidget() ? parentWidget()->width() : width()), height());
        if (m_cache.isNull() || m_bStale || moved || m_cache.size() / m_cache.devicePixelRatio() != wanted)
            renderCache();
        else
            cacheBook().lastUse.insert(this, ++cacheBook().clock);
    }
    if (!m_cache.isNull())
        painter.drawPixmap(std::max(0, -x()), 0, m_cache);
    if (m_bSelected) {
        painter.setPen(QPen(kSelectedFrame, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void TimelineItemWidget::setSelected(bool selected)
{
    if (selected == m_bSelected)
        return;
    m_bSelected = selected;
    update();
}

void TimelineItemWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refresh();
}

void TimelineItemWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Less room than the drawn texts need (the item moved under the right edge) redraws too.
    if (event->pos().x() < 0 || event->oldPos().x() < 0 || textRoom() < m_iRoomNeedDrawn)
        refresh();
}

void TimelineItemWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    render(false);
}

void TimelineItemWidget::enterEvent(WidgetEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_bHovered = true;
    enlarge();
}

void TimelineItemWidget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_bHovered = false;
    if (!m_bPinned)
        restoreSize();
}

void TimelineItemWidget::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    emit sigContextMenu(QCursor::pos());
}

void TimelineItemWidget::editName()
{
    if (!m_nameEdit) {
        m_nameEdit = new QLineEdit(this);
        m_nameEdit->setObjectName(QStringLiteral("m_txtItemName"));
        m_nameEdit->installEventFilter(this);
        connect(m_nameEdit, &QLineEdit::editingFinished, this, &TimelineItemWidget::nameEditFinished);
    }
    const int left = std::max(0, -x()) + 4;
    m_nameEdit->setGeometry(left, 4, std::max(80, std::min(width(), 400) - 8), 26);
    m_nameEdit->setText(m_strName);
    m_nameEdit->show();
    m_nameEdit->raise();
    m_nameEdit->setFocus(Qt::OtherFocusReason);
    m_nameEdit->selectAll();
}

bool TimelineItemWidget::isEditingName() const
{
    return m_nameEdit && !m_nameEdit->isHidden();
}

void TimelineItemWidget::nameEditFinished()
{
    // Hiding the editor takes its focus away, which finishes the edit a second time: ignore that.
    if (!isEditingName())
        return;
    const QString text = m_nameEdit->text().trimmed();
    m_nameEdit->hide();
    if (text.isEmpty() || text == m_strName)
        return;
    setNameText(text);
    emit sigNameChanged(text);
}

bool TimelineItemWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Escape anywhere cancels a drag under way; the mouse button may still be down.
    if (m_drag.isActive() && !m_bDropPending && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        cancelDrag();
        return true;
    }
    if (watched == m_nameEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        m_nameEdit->hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
