#pragma once

#include "cmn/timecode.h"
#include "views/timeaxis.h"

#include <QElapsedTimer>
#include <QKeySequence>
#include <QMainWindow>
#include <QMap>
#include <QPair>
#include <QPoint>
#include <QPointer>
#include <QString>

class InputTcWidget;
class LinkStatusBar;
class PaintTcScale;
class QAction;
class ProxyComboBox;
class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpacerItem;
class QVBoxLayout;
class ServerPortWidget;
class ServerWidget;
class TimelineItemWidget;
class TimelineWidget;
class QTimer;
class QDialog;

namespace Ui {
class OXAMainView;
}

// The main window. It owns the time axis that every port timeline shares: the zoom (frames across
// the timeline width), the scroll offset, the column of the anchor frame and the 15-day span that
// can be scrolled. The controller adds the server panels, feeds the current timecode and the date,
// and positions items with anchorFrame(), originX() and viewFrames(). The window never reaches the
// controller directly: the settings and maintenance dialogs are asked for with signals.
// The "Using the client" section of the README (Markdown), empty when it has none.
QString helpMarkdown(const QString &readme);

class OXAMainView : public QMainWindow
{
    Q_OBJECT

public:
    // Timelines start this far from the scroll area's left edge (server column, port panel, border).
    static constexpr int TimelineLeft = 401;
    // The timelines are this much narrower than the scroll area.
    static constexpr int TimelineRightReserve = 498;

    // `controller` is kept as an opaque, non-owning reference for whoever assembles the window.
    explicit OXAMainView(QObject *controller = nullptr, QWidget *parent = nullptr);
    ~OXAMainView() override;

    QObject *controller() const { return m_pController; }

    // Ignored when a panel for the same server id is already shown.
    void addServerWidget(ServerWidget *widget);
    // Deletes every server panel; the controller calls it before it rebuilds them after a reconnect.
    void removeAllServerWidgets();
    // A server the manager lists but that is not connected: a grey, collapsed header that says
    // "disconnected", so the operator knows it exists. Its real panel replaces it on connection.
    void addDisconnectedServer(const QString &serverId, const QString &name);
    // A server whose panel is shown lost or regained its connection: while it is lost the hidden
    // panel is stood in for by the same grey header, in its place.
    void setServerConnected(const QString &serverId, bool connected);
    QWidget *disconnectedServerHeader(const QString &serverId) const
    {
        return m_mapDisconnected.value(serverId);
    }
    const QMap<QString, ServerWidget *> &serverWidgets() const { return m_mapServerWidgets; }

    void applyTimecodeMode(const TimeCode &tc);
    void updateCurrentTc(const TimeCode &tc);
    void updateDate();

    int anchorFrame() const { return m_iOriginFrame + m_iPanFrames; }
    int originFrame() const { return m_iOriginFrame; }
    int originX() const { return m_iOriginX; }
    int panFrames() const { return m_iPanFrames; }
    int viewFrames() const { return m_iViewFrames; }
    const ZoomLevels &zoomLevels() const { return m_iZoomLevels; }
    const TimeCode &currentTc() const { return m_curTc; }
    bool isZoomAtMouse() const { return m_bZoomAtMouse; }
    bool isLocked() const;
    // Width of the timeline column (the time scroll bar's width).
    int timelineWidth() const;

    void setScrollPos(int v);
    void updateScrollRange(int oldFrames, int newFrames);
    // Moves every port timeline, the current-timecode line and the scale to the axis as it is
    // now; every navigation input ends here, so the view follows the hand in the same frame.
    void refreshView();
    // Narrows (factor < 1) or widens the shown span by `factor`, within L0 ... L5; the slider and
    // the saved zoom value take the nearest position. At the mouse when `atMouse`.
    void zoomBy(double factor, bool atMouse = false);
    // The big timecode display: runs on between updates, grey when no update came for a while.
    bool isTcDisplayStale() const { return m_bTcStale; }
    // The schedule item the Delete key acts on: the one last clicked, while it exists.
    QString selectedTaskId() const;
    void rebuildScaleLabels();

    QSlider *zoomSlider() const;
    QSlider *timeScrollBar() const;
    QCheckBox *lockCheckBox() const;
    QLabel *tcLabel() const;
    QWidget *tcLine() const { return m_pTcLine; }
    ProxyComboBox *gotoDayCombo() const;
    InputTcWidget *gotoTcInput() const;
    QPushButton *gotoButton() const;
    PaintTcScale *scaleWidget() const;
    QWidget *portsWidget() const { return m_pPortsWidget; }

    // The status line that shows the link to the manager.
    LinkStatusBar *linkStatusBar() const { return m_pLinkStatusBar; }
    // Dims the ports area while the data shown may be stale (no link to the manager).
    void setLinkDimmed(bool dimmed);
    // The port rows' command buttons follow the link (their look and tool tips).
    void setPortCommandsLinkUp(bool up);
    bool isLinkDimmed() const;
    QWidget *linkDimmer() const { return m_pLinkDimmer; }
    // The port row the keyboard commands act on: the row holding the focus, else the row last
    // clicked; null when neither is on this window.
    ServerPortWidget *focusedPort() const;
    // The actions that carry the keyboard shortcuts, in the order they are listed.
    const QList<QAction *> &shortcutActions() const { return m_listShortcutActions; }
    QString keyboardShortcutsText() const;
    QList<QPair<QKeySequence, QString>> shortcutEntries() const;

signals:
    void sigNewTask();
    void sigDeleteAllSchedules();
    void sigAddSchedules10Per();
    void sigResizePortHeight(int iHeight);
    void sigUpdateView();
    // The operator asked for the settings or the maintenance dialog.
    void sigSettings();
    void sigMtnSetting();
    // The operator asked for the schedule list window.
    void sigScheduleList();
    // F5: try the manager again now instead of waiting for the countdown.
    void sigRetryNow();
    // Delete (with its confirmation) for the selected schedule item.
    void sigDeleteSchedule(QString taskId);
    // Ctrl+Z: the last move or resize of a schedule on the timeline goes back.
    void sigUndoMove();

public slots:
    void zoomChanged(int val);
    void btnNewClicked();
    void settings();
    void mtnSetting();
    void slotExit();
    // Writes the settings file once per exit, whichever way the program ends in order:
    // the Exit action, closing the window, the application quitting.
    void saveSettingsOnExit();
    void slotLockTimeScroll(bool bLocked);
    void timeLinePosChanged(const TimeCode &tc);
    void sliderPosChanged(const TimeCode &tc);
    void sliderValueChanged(int iVal);
    void slotAboutClicked();
    void slotGotoTc();
    void resizeSceneHeight();
    void slotDrawPortSplitter(int iPosY, bool bLongSplitter);
    void slotClearSplitterLine();
    void slotZoomIn();
    void slotZoomOut();
    void slotDeleteAllSchedules();
    void slotAddSchedules10Per();
    void reHeightAllPorts(int iPortHeight);
    void slotSetPortHighHeight();
    void slotSetPortMiddleHeight();
    void slotSetPortLowHeight();
    void slotSetPortCompactHeight();
    void slotUpdateView();
    // Keyboard commands: lock on the current timecode, and move the anchor to the start of the
    // previous or next schedule of the focused port (the lock goes off, as with "Go").
    void slotGoToNow();
    void slotPreviousSchedule();
    void slotNextSchedule();
    void slotKeyboardShortcuts();
    // Pan by a tenth of the shown span (Left / Right); the lock goes off, as with "Go".
    void slotShiftLeft();
    void slotShiftRight();
    void slotDeleteSelected();
    void slotHelpContents();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool filterTimelineEvent(QObject *watched, QEvent *event);
    bool isInPortsArea(const QWidget *w) const;
    int timelineColumnAt(const QPoint &global) const;
    void placeTimeAxisWidgets();
    QDate workingDate() const;
    void installShortcuts();
    void moveToAdjacentSchedule(bool forward);
    void noteClickedPort(QWidget *receiver);
    void applyZoom(int sliderValue, int viewFrames);
    void markHeightInForce(int height);
    void shiftView(int direction);
    void unlockForNavigation();
    void tickTcDisplay();
    void setTcDisplayStale(bool stale);
    void markFocusedPort();

    Ui::OXAMainView *ui = nullptr;
    QPointer<QObject> m_pController;
    QMap<QString, ServerWidget *> m_mapServerWidgets;
    QMap<QString, QWidget *> m_mapDisconnected;
    void insertDisconnectedHeader(const QString &serverId, const QString &name, int index);
    void removeDisconnectedHeader(const QString &serverId);
    QWidget *m_pPortsWidget = nullptr;
    QVBoxLayout *m_pPortsLayout = nullptr;
    QSpacerItem *m_pTailSpacer = nullptr;
    QWidget *m_pTcLine = nullptr;
    ZoomLevels m_iZoomLevels = defaultZoomLevels();
    int m_iViewFrames = 0;
    TimeCode m_curTc;
    int m_iOriginFrame = 0;
    int m_iOriginX = 0;
    int m_iPanFrames = 0;
    bool m_bZoomAtMouse = false;
    bool m_bSettingsSaved = false;
    int m_iZoomMouseX = 0;
    QPoint m_ptPress;
    int m_iPressPan = 0;
    LinkStatusBar *m_pLinkStatusBar = nullptr;
    QWidget *m_pLinkDimmer = nullptr;
    QPointer<ServerPortWidget> m_pLastClickedPort;
    QPointer<ServerPortWidget> m_pMarkedPort;
    QPointer<TimelineWidget> m_pSelectedTimeline;
    // setScrollPos sets the scroll bar: its change is not a second navigation.
    bool m_bSettingScroll = false;
    // The controller places the timelines itself after a timecode update.
    bool m_bFollowingTc = false;
    QTimer *m_pTcClock = nullptr;
    QPushButton *m_btnCompactHeight = nullptr;
    QPointer<QDialog> m_pHelpWindow;
    QElapsedTimer m_tcSince;
    bool m_bTcStale = true;
    QList<QAction *> m_listShortcutActions;
};
