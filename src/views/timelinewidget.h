#pragma once

#include "cmn/timecode.h"
#include "views/lanepacking.h"
#include "views/timelineitemdata.h"
#include "views/usablerange.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <QWidget>

class QScrollBar;
class TimelineItemWidget;

// Rectangles of the usable-range band for `ranges`: one per range of positive length that reaches
// into [0, clipWidth], at least one pixel wide, between y and y + height.
QVector<QRect> usableRangeRects(const QList<UsableRange> &ranges, int anchorFrame, int anchorX,
                                double pixelsPerFrame, int y, int height, int clipWidth);

// Whether a visible widget lies within `margin` pixels of the part of every ancestor up to its
// window that is shown (a port row near the visible part of the port list).
bool isNearVisibleArea(const QWidget *widget, int margin);

// Scrolling the port list moves a row in or out of view without any event reaching the row, so
// rows watch the list's scroll bar. The vertical scroll bar of the nearest scroll area around
// `widget` when it is not `watched` yet (the old one is disconnected from `widget` and the new one
// remembered); null when there is none or it is already watched.
QScrollBar *newEnclosingScrollBar(QWidget *widget, QPointer<QWidget> &watched);

// The time strip of one port: usable-range bands (its own and its proxy port's), the mark lines
// and the schedule items, packed into lanes so that overlapping schedules do not cover each other.
// The controller keeps the anchor (frame and column shared with the main window's axis) and the
// current timecode up to date; the server panel passes the zoom on.
class TimelineWidget : public QWidget
{
    Q_OBJECT

public:
    explicit TimelineWidget(QWidget *parent = nullptr);
    ~TimelineWidget() override;

    void setViewFrames(int frames);
    int viewFrames() const { return m_iViewFrames; }
    double pixelsPerFrame() const { return m_dPixelsPerFrame; }

    // Moves, shows and hides the items for the new position; the first valid timecode lays
    // everything out.
    void setCurrentTc(const TimeCode &tc);
    const TimeCode &currentTc() const { return m_curTc; }

    void setAnchor(int frame, int x);
    // The main window moved the shared axis (pan or zoom): the anchor changes and the items,
    // bands and marks follow at once, not at the next timecode update.
    void setView(int anchorFrame, int anchorX);
    int anchorFrame() const { return m_iAnchorFrame; }
    int anchorX() const { return m_iAnchorX; }

    // A mark is drawn once it is set, until clearMarks().
    void setMarkStart(int offset);
    void setMarkEnd(int frame);
    void clearMarks();
    bool hasMarkStart() const { return m_bMarkStartSet; }
    bool hasMarkEnd() const { return m_bMarkEndSet; }
    int markStart() const { return m_iMarkStart; }
    int markEnd() const { return m_iMarkEnd; }
    int markStartX() const { return m_iMarkStartX; }
    int markEndX() const { return m_iMarkEndX; }

    // The line 24 hours after the recording in progress began and the end of the remaining
    // recording time (frames from the current position; negative hides it).
    void set24hLine(int frame);
    void clear24hLine();
    void setRemainFrames(int frames);
    int line24hX() const;
    int remainX() const;

    void setRanges(const QList<UsableRange> &master, const QList<UsableRange> &proxy, bool withProxy);
    QList<UsableRange> masterRanges() const;
    QList<UsableRange> proxyRanges() const;
    bool withProxy() const;

    // The schedule items live here as data; widgets exist only for the items near the visible
    // part of the view (see liveWidgetCount). setItem adds an item or, for a known task id,
    // changes it; a widget on screen re-renders what changed.
    void setItem(const TimelineItemData &data, bool relayout);
    // Adds an item even when its task id is known (a daily window shows one item a day).
    void appendItem(const TimelineItemData &data, bool relayout);
    // Takes an item built as a widget (tests, benchmarks): its data is kept and the widget is
    // used to draw it while it is in view. Adding the same widget twice is ignored.
    void addItem(TimelineItemWidget *item, bool relayout);
    void removeItems(const QList<QString> &taskIds);
    void removeItemsByTaskId(const QString &taskId);
    void relayout();
    // Sizes and places one item for its current range, in its lane (an item being dragged).
    void placeItem(TimelineItemWidget *item);
    QList<QString> taskIds() const;
    // Gives a known item a new span (an open end growing with the clock); false when the item is
    // unknown or already has that span, so the caller knows whether lanes must be packed again.
    bool setItemSpan(const QString &taskId, qint32 startFrame, qint32 length);
    bool hasItem(const QString &taskId) const { return m_index.contains(taskId); }
    // Null for an unknown task id.
    const TimelineItemData *itemData(const QString &taskId) const;
    QVector<TimelineItemData> itemsData() const;
    int itemCount() const { return m_slots.size(); }
    // The widget drawing the item now, or null; with `create`, one is bound to it even when it is
    // out of view (jumping to it, editing its name).
    TimelineItemWidget *itemWidget(const QString &taskId, bool create = false);
    // The widgets that exist now, bound to items.
    QList<TimelineItemWidget *> items() const;
    int liveWidgetCount() const;
    // The item the Delete key acts on; kept as data so that it survives scrolling away.
    void setSelectedItem(const QString &taskId);
    QString selectedItem() const { return m_strSelected; }
    // The lane layout of the last relayout: groups, their lanes and the task ids in each lane.
    const QVector<QVector<QVector<QString>>> &groups() const { return m_groups; }
    void refreshMaintenanceItems();
    // Binds, moves and releases widgets for the current view; the scroll area calls it when the
    // rows move.
    void updateLiveItems();

    // Column of frame position `frame` on this timeline, truncated toward zero.
    int columnOf(qint64 frame) const;

    // What the line at column x means (marks, 24-hour line, remaining time); empty when none.
    QString lineToolTip(int x) const;

signals:
    // An item widget asked for its context menu (global position).
    void sigItemContextMenu(TimelineItemWidget *item, QPoint pt);
    // An item widget's drag went past the drag distance, or was dropped (see TimelineItemWidget).
    void sigItemDragStarting(TimelineItemWidget *item);
    void sigItemDragDropped(TimelineItemWidget *item, int startFrame, int length);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    struct Slot
    {
        TimelineItemData data;
        TimelineItemWidget *widget = nullptr;
        int y = 20;
        int height = 0;
        bool selected = false;
    };

    void updatePixelScale();
    bool hasBoundWidget() const;
    void placeItems();
    void updateIfLive();
    void updateMarkColumns();
    int itemWidthFor(int length) const;
    // Whether the row lies in (or near) the visible part of its scroll area and window.
    bool rowInView() const;
    void watchScrollArea();
    // Whether the item reaches into the widget (margin 0) or near it.
    bool isInView(const Slot &slot, int margin) const;
    void bind(Slot &slot);
    void release(Slot &slot);
    // A widget that the operator is working with stays bound whatever the view.
    static bool isHeld(const TimelineItemWidget *item);
    // Puts the item at its column and shows or hides it.
    void placeHorizontally(Slot &slot);
    void reindex();
    void forwardContextMenu(QPoint pt);
    void forwardDragStarting();
    void forwardDragDropped(int startFrame, int length);

    int m_iViewFrames = 300;
    double m_dPixelsPerFrame = 0.0;
    TimeCode m_curTc;
    int m_iAnchorFrame = 0;
    int m_iAnchorX = 0;
    int m_iMarkStart = -1;
    int m_iMarkStartX = -1;
    int m_iMarkEnd = -1;
    int m_iMarkEndX = -1;
    bool m_bMarkStartSet = false;
    bool m_bMarkEndSet = false;
    int m_i24hFrame = 0;
    bool m_b24hSet = false;
    int m_iRemainFrames = -1;

    mutable QMutex m_mutex;
    QList<UsableRange> m_masterRanges;
    QList<UsableRange> m_proxyRanges;
    bool m_bWithProxy = false;

    QVector<Slot> m_slots;
    QHash<QString, int> m_index;
    // The maintenance items, which the clock checks every second.
    QVector<int> m_maintenanceSlots;
    // Zoomed while out of view: lanes and sizes wait until the row comes into view.
    bool m_bRelayoutPending = false;
    int m_iBoundWidgets = 0;
    // Widgets let go of by items that left the view, ready for the next item that comes in.
    QVector<TimelineItemWidget *> m_pool;
    QString m_strSelected;
    QPointer<QWidget> m_watchedScrollBar;
    bool m_bLive = false;
    QVector<QVector<QVector<QString>>> m_groups;
    // The spans of the last packing and its result: a relayout that finds the same spans (a
    // schedule's texts or progress changed) reuses it.
    QVector<LaneSpan> m_packedSpans;
    LanePacking m_packing;
};
