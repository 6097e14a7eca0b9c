#pragma once

#include "trx/scheduleinfo.h"
#include "views/scheduledrag.h"
#include "views/timelineitemdata.h"
#include "widgets/eventpos.h"

#include <QColor>
#include <QFont>
#include <QMap>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

class QFontMetrics;
class QLineEdit;

// Track and fill colours of a schedule's progress bar.
struct StatusColors
{
    QColor track;
    QColor fill;
};

// Colours for a status and the master progress. progress1 is adjusted in place: the record error
// statuses draw a missing bar (-1) as an empty one (0).
StatusColors statusColors(trx::ScheduleStatus status, int &progress1);

// One schedule on a port's timeline. The timeline places and sizes it (setAssignedSize); the item
// renders its content into a cached pixmap that covers only the part from the timeline's left edge
// on, so very long items stay cheap. Only items on screen render ahead of their paint; the caches
// of all items together stay within a budget (the least recently used are dropped and rendered
// again when next painted), so memory does not grow with the number of items ever shown.
class TimelineItemWidget : public QWidget
{
    Q_OBJECT

public:
    // Value keys of values(): the schedule's task id lives under TaskIdKey; a schedule whose clip
    // the manager removed is marked under ClipRemovedKey.
    enum ValueKey { TaskIdKey = 0, ClipRemovedKey = 1 };

    static constexpr int HoverWidth = 500;
    static constexpr int HoverHeight = 95;

    TimelineItemWidget(QWidget *parent, const QString &name, int startFrame, int length,
                       const QString &startText, const QString &endText, const QString &statusText);
    ~TimelineItemWidget() override;

    // While a drag is under way these are the proposal; setRange keeps what the manager reported,
    // which a cancelled drag springs back to.
    int startFrame() const { return m_drag.isActive() ? m_drag.start() : m_iStartFrame; }
    int length() const { return m_drag.isActive() ? m_drag.length() : m_iLength; }
    void setRange(int startFrame, int length);

    // A drag of the body or an edge. sigDragStarting goes out once the mouse has gone the drag
    // distance; a receiver that refuses calls cancelDrag(). At release sigDragDropped proposes the
    // new range; the receiver calls keepDrop() when it sent it, otherwise the item springs back.
    bool isDragging() const { return m_drag.isActive(); }
    ScheduleDrag::Action dragAction() const { return m_drag.action(); }
    void cancelDrag();
    void keepDrop();

    QString name() const { return m_strName; }
    QString startText() const { return m_strStartText; }
    QString endText() const { return m_strEndText; }
    QString durationText() const { return m_strDuration; }
    QString statusText() const { return m_strStatus; }
    int progress1() const { return m_iProgress1; }
    int progress2() const { return m_iProgress2; }

    void setNameText(const QString &name);
    void setStartText(const QString &text);
    void setEndText(const QString &text);
    // The text is what the item shows; the status picks the bar colours.
    void setStatusText(const QString &text);
    void setStatus(trx::ScheduleStatus status);
    void setDuration(const QString &text);
    void setProgress(int progress1, int progress2);

    bool isMaintenance() const { return m_bMaintenance; }
    void setMaintenance(bool maintenance);
    bool isDated() const { return m_bDated; }
    void setDated(bool dated) { m_bDated = dated; }

    // Rendering waits until the controller has filled the item.
    bool isReady() const { return m_bReady; }
    void setReady(bool ready);
    bool isDirty() const { return m_bDirty; }

    // While pinned (its context menu is open) the item keeps its hover size after the mouse leaves.
    bool isPinned() const { return m_bPinned; }
    void setPinned(bool pinned);
    bool isHovered() const { return m_bHovered; }
    // The item the Delete key acts on; drawn with a frame.
    bool isSelected() const { return m_bSelected; }
    void setSelected(bool selected);

    // The size the timeline's lane layout gives the item; applied at once unless it is enlarged.
    void setAssignedSize(int width, int height);
    // Records the layout's size without resizing; the timeline does so for items out of view and
    // applies it with applyAssignedSize() when they come into view.
    void setAssignedSizeLater(int width, int height);
    void applyAssignedSize();
    bool isSizePending() const { return m_bSizePending; }
    int assignedWidth() const { return m_iAssignedWidth; }
    int assignedHeight() const { return m_iAssignedHeight; }
    // Grows the item to at least HoverWidth x HoverHeight and raises it; restoreSize goes back.
    void enlarge();
    void restoreSize();

    // Everything the item shows, as data; setItemData changes only what differs, so a widget
    // taken from the timeline's pool re-renders what changed and nothing else.
    TimelineItemData itemData() const;
    void setItemData(const TimelineItemData &data);

    QVariant value(int key) const { return m_values.value(key); }
    void setValue(int key, const QVariant &value) { m_values.insert(key, value); }
    QString taskId() const { return m_values.value(TaskIdKey).toString(); }

    // Marks the content stale and re-renders; the timeline calls it when it moves or refreshes items.
    void refresh();
    void render(bool force);
    const QPixmap &cachedPixmap() const { return m_cache; }
    // Drops the cached pixmap (the timeline does so for items it hides); the next paint renders.
    void releaseCache();
    // Bytes held by the caches of all items, and the budget they are kept within.
    static qint64 cachedBytes();
    static qint64 cacheBudget();
    static void setCacheBudget(qint64 bytes);
    static constexpr qint64 DefaultCacheBudget = qint64(48) << 20;

    // The texts the last render drew, in drawing order (labels and values separately).
    const QStringList &drawnTexts() const { return m_drawnTexts; }
    // Where the transfer goes, for the tool tip.
    void setDestinations(const QString &master, const QString &proxy);
    // Name, start, end, duration, status, progress and destinations, as rich text.
    QString toolTipText() const;

    // Opens the in-place editor over the name line; Enter or leaving the field commits, Escape cancels.
    void editName();
    bool isEditingName() const;

signals:
    void sigContextMenu(QPoint pt);
    void sigNameChanged(QString name);
    void sigDragStarting();
    void sigDragDropped(int startFrame, int length);

public slots:
    void nameEditFinished();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void enterEvent(WidgetEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void markDirty();
    // Asks the timeline to place the item at its (proposed) range.
    void placeOnTimeline();
    void endDrag();
    // Width of the schedule itself; a hovered item is drawn wider than its schedule.
    int scheduleWidth() const { return m_iAssignedWidth > 0 ? m_iAssignedWidth : width(); }
    // The name as it fits in `room` pixels: whole, with its tail elided, or empty.
    QString shownName(const QFontMetrics &metrics, int room) const;
    // Width left for texts in the visible part of the item.
    int textRoom() const;
    // A text or progress changed: re-render and repaint now when on screen.
    void contentChanged();
    // True while some part of the item lies inside its window and every ancestor's area.
    bool isOnScreen() const;
    // Renders into the cache without asking for a repaint; paintEvent uses it directly.
    void renderCache();
    void setCache(const QPixmap &pixmap);
    void setTextMember(QString &member, const QString &text);
    void drawBar(QPainter &painter, int x, int y, int width, int height, int percent,
                 const StatusColors &colors) const;

    QString m_strName;
    QString m_strStartText;
    QString m_strEndText;
    QString m_strDuration;
    QString m_strStatus;
    trx::ScheduleStatus m_status = trx::ScheduleStatus::None;
    QString m_strMasterDestination;
    QString m_strProxyDestination;
    QStringList m_drawnTexts;
    int m_iStartFrame = 0;
    int m_iLength = 0;
    int m_iProgress1 = -1;
    int m_iProgress2 = -1;
    bool m_bMaintenance = false;
    bool m_bDated = false;
    bool m_bPinned = false;
    bool m_bHovered = false;
    bool m_bSelected = false;
    int m_iRoomNeedAll = 0;
    int m_iRoomNeedDrawn = 0;
    int m_iAssignedWidth = 0;
    int m_iAssignedHeight = 0;
    bool m_bSizePending = false;
    QMap<int, QVariant> m_values;
    QFont m_font;
    QPixmap m_cache;
    bool m_bReady = false;
    bool m_bDirty = true;
    // Content changed since the last render; m_bDirty also stays set for position-bound caches.
    bool m_bStale = true;
    int m_iCacheX = 0;
    QLineEdit *m_nameEdit = nullptr;
    QSize m_sizeBeforeEnlarge;
    bool m_bEnlarged = false;
    ScheduleDrag m_drag;
    bool m_bDropPending = false;
};
