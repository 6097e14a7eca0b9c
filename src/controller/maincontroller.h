#pragma once

#include "cmn/timecode.h"
#include "controller/controlleroptions.h"
#include "controller/controllerprompts.h"
#include "controller/editingprompts.h"
#include "controller/handoverqueue.h"
#include "controller/linkretry.h"
#include "controller/portstatus.h"
#include "controller/remainalert.h"
#include "controller/schedulechecks.h"
#include "controller/taskentry.h"
#include "controller/taskmenu.h"
#include "trx/records.h"
#include "trx/trxmclientdelegate.h"
#include "views/timelineitemdata.h"
#include "views/usablerange.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>

class OXAMainView;
class PortPoller;
class QAction;
class CreateTaskDialog;
class ServerPortWidget;
class ServerWidget;
class Settings;
class TimelineItemWidget;
struct FramePeriod;
struct ScheduleForm;
struct PortCheckFacts;
class TimelineWidget;

namespace trx {
class TRXMClient;
}

// Schedules travel between threads under this name (registered with the records).
using ScheduleInfo = trx::ScheduleInfo;

// The application object between the manager link and the views: it owns the settings and the
// client, builds a server panel with its port rows for every connected server, keeps the schedule
// model and its timeline items, and reconnects when the link is lost. Lives on the GUI thread;
// the delegate operations arrive on the link's threads and only hand work over to it.
class MainController : public QObject, public trx::TRXMClientDelegate
{
    Q_OBJECT

public:
    static const char StatusConnecting[];
    static const char StatusInitPorts[];
    static const char StatusLoadingSchedules[];
    // The Start Now rule of a fresh installation (no settings file yet).
    static const char FreshOpenEndRule[];
    static void seedFreshInstallationNames(Settings &settings);

    explicit MainController(const ControllerOptions &options = ControllerOptions(),
                            QObject *parent = nullptr);
    ~MainController() override;

    // The main window registers itself here; not owned.
    void setMainView(OXAMainView *view);
    OXAMainView *mainView() const { return m_pMainView; }

    Settings *settings() const { return m_pSettings; }
    trx::TRXMClient *client() const { return m_pClient; }

    bool hasServers() const { return m_bHasServers; }
    bool isConnected() const { return m_bConnected; }
    // True from a successful identify until the link is lost, which the client notices before the
    // controller does. Operator commands are sent only while it holds; nothing is kept for later.
    bool isLinkUp() const;
    bool isInitializing() const { return m_bInitializing; }
    const QMap<QString, trx::ServerInfo> &servers() const { return m_mapServers; }
    const QMap<QString, trx::ServerSettings> &serverSettings() const { return m_mapServerSettings; }
    const QMap<QString, QMap<int, PortEntry>> &ports() const { return m_mapPorts; }
    const QMap<QString, TaskEntry> &tasks() const { return m_mapTasks; }
    const QMap<QString, ScheduleInfo> &maintenanceSchedules() const { return m_mapMaintenance; }
    const QMap<trx::ServerPort, int> &proxyPorts() const { return m_mapProxyPorts; }
    const QMap<trx::ServerPort, bool> &loopRecModes() const { return m_mapLoopRec; }
    const QList<trx::MgwInfo> &mgws() const { return m_listMgws; }
    QThread *workerThread() { return &m_workerThread; }
    // Milliseconds until the next connection attempt; -1 when none is pending.
    int retryRemainingMs() const;
    // The wait before the pending (or last) attempt.
    int pendingRetryDelayMs() const { return m_linkRetry.delayMs(); }
    // The operator asks for the next attempt now (F5, a click on the status line's retry text);
    // nothing while the link is up.
    void retryNow();
    // The text shown on the main window while the manager is not reachable; empty when connected.
    QString connectionStatusText() const { return m_linkRetry.statusText(); }
    // When the last push from the manager arrived, in milliseconds since the epoch; 0 before any.
    qint64 lastPushMs() const { return m_iLastPushMs.load(std::memory_order_relaxed); }
    // Marks the remaining-time field of every port row red or not, by whether the port's remaining
    // recording time covers its next schedule (controller_ports.cpp); returns the ports short of it.
    QList<RemainAlert> refreshRemainAlerts();

    // The row of a port, null when the server or port is unknown or has no row.
    ServerPortWidget *findPortWidget(const QString &serverId, int port) const;
    // The id of the first task (in id order) that is the proxy schedule of schedule `id`.
    QString findLinkingTask(const QString &id) const;
    TaskEntry buildTaskEntry(const ScheduleInfo &sch) const;
    // The timeline item of the schedule as data: texts, extent and progress filled in.
    TimelineItemData createTaskView(const ScheduleInfo &sch);
    // The timeline that shows the task, null when no row shows it.
    TimelineWidget *taskTimeline(const QString &taskId) const;
    // The widget drawing the task now, null when it is off screen; with `create` one is made.
    TimelineItemWidget *taskWidget(const QString &taskId, bool create = false) const;
    // False without a gateway id; true when the last gateway list has that gateway with that drive.
    bool validateDestination(const QString &mgwId, const QString &driveId) const;
    // How the schedule dialog and its messages run (controller_editing.cpp).
    void setEditingPrompts(const EditingPrompts &prompts) { m_editingPrompts = prompts; }

    // trx::TRXMClientDelegate, called on the link's threads.
    void serverInfoChanged(const trx::ServerInfo &server) override;
    void connectionStateChanged(bool connected, int socketError) override;
    void recordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train) override;
    void schedulesReceived(const QList<trx::ScheduleInfo> &schedules, qint64 value) override;
    void scheduleChanged(const trx::ScheduleInfo &schedule, qint32 value) override;
    void scheduleRemoved(const QString &scheduleId) override;
    void mgwsChanged(const QList<trx::MgwInfo> &mgws) override;
    void mgwFoldersReceived(const QString &mgwId, const QString &driveId,
                            const QList<trx::MgwFolderInfo> &folders) override;
    // Port status and the master clock (controller_ports.cpp, controller_master.cpp).
    void recordTrainsReceived(const QString &serverId, const QVector<trx::RecordTrainInfo> &trains) override;
    void clipRemoved(const QPair<QString, QString> &serverAndClip) override;
    void remainTimeChanged(const QString &serverId, qint32 kind, const QString &value) override;
    void portStatesChanged(const QString &serverId, const QMap<qint32, trx::PortState> &states) override;
    void masterPortSynced(const trx::MasterPortSync &sync, qint32 flags) override;

    // Port status and master clock as the views were last given them.
    trx::ServerPort masterPort() const;
    trx::PortState masterPortState() const;
    const TimeCode &currentTc() const { return m_curTc; }
    // The next master state re-anchors the main window's timeline.
    bool masterChangePending() const { return m_bMasterChanged; }
    const QMap<QString, QMap<int, int>> &remainFrames() const { return m_mapRemainFrames; }
    const QMap<trx::ServerPort, int> &lines24h() const { return m_map24hLines; }
    QMap<trx::ServerPort, TrainStart> trainStarts() const;
    // How many polls ran and how many were skipped because the previous answer was not applied yet.
    int pollCount() const;
    int skippedPollCount() const;

    // Task actions and maintenance (controller_actions.cpp, controller_maintenance.cpp).
    void setPrompts(const ControllerPrompts &prompts) { m_prompts = prompts; }
    bool canEdit(const ScheduleInfo &sch);
    bool canDelete(const ScheduleInfo &sch) const;
    bool isUnfinished(const QString &taskId) const;
    // True when the 10-second window from `tc` (the master's current timecode when bNow) is taken on
    // some port; one "... Next Schedule" line per such port is appended to errorText.
    // Without `wantText` it stops at the first port in the way and writes no text.
    bool maintenanceConflict(int tc, bool bNow, QString &errorText, bool wantText = true) const;

signals:
    void mgwFoldersReady(QString strMgwId, QString strDriveId, QList<trx::MgwFolderInfo> folders);
    void mgwsReady(QList<trx::MgwInfo>);
    void mtnDone();
    void mtnNoDone();
    void sigServerStatusChanged(QString strServerId, bool bConnectStateChanged, bool bSingle);
    void sigServerInfoChanged(trx::ServerInfo serverInfo, bool bConnectChanged, bool bAddServer,
                              bool bNameChanged);
    void sigReconnectTrxMngSuccess();
    void sigProxyChkEnable(bool bEnable);
    void sigUpdateMaintenanceTaskView(QString strId);
    void sigDifSysFreqServer(QString strServerId);
    void sigCanMaintenance(bool bCan);
    void sigCloseMtnDialog();
    void sigInitStatusChanged(QString);
    void sigInitDone();
    void sigClearAllPortViews();
    // The task table changed: one task added or changed, one removed, or the whole list reloaded.
    void sigTaskChanged(QString strId);
    void sigTaskRemoved(QString strId);
    void sigTasksReset();
    // The manager is not reachable: the text says so and when the next attempt comes; empty once
    // connected again.
    void sigConnectionStatusChanged(QString strText);
    // What was just sent for the operator, shown in the status line for a few seconds.
    void sigOperatorNotice(QString strText);

public slots:
    void init();
    void initDone();
    void updateMgw();
    // Also the delegate operation of push 2002: it always hands the schedule to this thread.
    void scheduleAdded(const ScheduleInfo &sch) override;
    void scheduleInfoChanged(ScheduleInfo sch);
    void newTask(QString serverId, int port);
    void newTask(QString serverId);
    void newTask();
    void markStart(QString serverId, int port);
    void markEnd(QString serverId, int port);
    void updateTimeline(trx::PortState masterPortState);
    TimeCode curTc(QString serverId, int port);
    void makeClipDone(QString taskId);
    void startArchive(QString taskId);
    void taskItemContextMenu(QPoint pos);
    void taskItemMenu(TimelineItemWidget *item, QPoint pos);
    void editTask();
    void removeTask();
    // The Delete key on a selected item: as the item's Delete entry.
    void deleteTaskById(QString taskId);
    void cancelTask();
    void retransferTask();
    void updateTaskView(QString taskId);
    void removeTask(QString taskId);
    void editTask(QString taskId);
    void setTC(QString serverId, int port);
    void setREC(QString serverId, int port, bool rec);
    void updateTC(QString serverId);
    void fetchMgwFolders(QString strMgwId, QString strDriveId, QString strParentId);
    void refreshMgws();
    void updateRemainTime(QString serverId, int port, QString remainTime);
    void updateLoopRecStatus(QString serverId, int port, bool loop);
    void updateRecStatus(QString serverId, int port, bool recording);
    void updatePortsRemainTime(QString serverId, QString vals);
    void maintenance(bool bNow);
    void maintenance();
    void slotRemoveTasks(QList<QString> taskIds);
    void slotProxyPortChanged(QString strServerId, int iPort, int iProxyPortId);
    void adjustTasksPos();
    void updateDate();
    void slotServerInfoChanged(const trx::ServerInfo &serverInfo, bool bConnectStateChanged, bool bAddServer,
                               bool bNameChanged);
    void refreshServer(trx::ServerInfo serverInfo, bool bConnectStateChanged);
    void slotReSetMasterTc(QString strServerId);
    void slotReconnectTrxMngSuccess();
    void updateUsableRangesView(QString strServerId);
    void slotProxyChkIsEnable(QMap<trx::ServerPort, bool> selectedPorts, int iStart, int iEnd, QDate date);
    void setMasterPort(trx::ServerPort port);
    void setDate(QDate date);
    void updateMaintenanceTaskView(QString strId);
    void updatePorts();
    void updatePortUsableRanges(QString strServerId, trx::PortNo iPort, QList<UsableRange> ranges);
    void updatePortTcStatus(QString strServerId, int iPort, int iStatus);
    void updateMaintenanceTask();
    void slotCanMaintenance(bool bNow, int iTc);
    void slotCreateTaskOKClicked();
    void slotEditTaskOKClicked();
    // A schedule item is dragged (the sender): may it move, and where it was dropped.
    void slotItemDragStarting(TimelineItemWidget *item);
    void slotItemDragDropped(TimelineItemWidget *item, int startFrame, int length);
    // Ctrl+Z: the last move or resize made on the timeline goes back, when the schedule allows it.
    void undoScheduleMove();
    void refreshSchedules();
    void update24hPortLines();
    void markClipRemoved(QString strServerId, QString strClipId);
    void slotRemoveAllTasks();
    void slotAddSchedules10Per();
    void schedulesReady(QList<trx::ScheduleInfo> schedules);
    void slotClearAllPortViews();
    bool usableRangeAccepts(QString serverId, QVector<int> ports, int startTc, int endTc, QDate date);
    // The main window's settings and maintenance actions.
    void settingsDialog();
    void maintenanceDialog();

private:
    // Work for this thread from any other one, run in the order it was handed over.
    void handOver(std::function<void()> work) { m_handOver.post(std::move(work)); }
    // Called by every push on the link's threads: one relaxed store, read by the status line.
    void notePush() { m_iLastPushMs.store(QDateTime::currentMSecsSinceEpoch(), std::memory_order_relaxed); }

    // Start-up pieces (controller_startup.cpp).
    // While the link is down: tells the operator (over `parent`, the main window when null) that the
    // command was not sent, and returns true.
    bool refuseWhileLinkDown(QWidget *parent = nullptr);
    bool buildServers();
    void buildServer(const trx::ServerInfo &info);
    void clearServerViews();
    void startWorker();
    void stopWorker();
    void showMainWindowFullScreen();
    void onLinkLost();
    void onServerInfoPushed(const trx::ServerInfo &info);
    void onRecordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train);

    // Schedule model (controller_schedules.cpp).
    void addScheduleFromPush(const ScheduleInfo &sch);
    void changeScheduleFromPush(const ScheduleInfo &sch);
    void removeTaskById(const QString &taskId);
    int daysFromWorkingDate(const QDate &date) const;
    TimelineItemData taskItemData(const TaskEntry &entry) const;
    // Hands the task's item to its row's timeline (new or changed); the timeline it went to.
    TimelineWidget *showTaskItem(const TaskEntry &entry);
    void watchTimeline(TimelineWidget *timeline);
    // Open-end items take their length up to the current timecode; the timelines that changed.
    QSet<TimelineWidget *> growOpenEndItems();
    QString destinationText(const trx::ScheduleDestination &d) const;

    // Port status (controller_ports.cpp): what the poll fetched, applied on this thread.
    void applyPortPoll(const QMap<trx::ServerPort, trx::PortState> &states,
                       const QVector<trx::RecordTrainInfo> &trains);
    void onPortStatesPushed(const QString &serverId, const QMap<qint32, trx::PortState> &states);
    // The rows whose proxy port is `port` of the server.
    QList<ServerPortWidget *> proxyRowsOf(const QString &serverId, int port) const;

    const ControllerOptions m_options;
    ControllerPrompts m_prompts = ControllerPrompts::interactive();
    HandOverQueue m_handOver;
    std::atomic<qint64> m_iLastPushMs{0};

    bool m_bHasServers = false;
    bool m_bConnected = false;
    bool m_bInitializing = true;
    bool m_bSingle = false;
    OXAMainView *m_pMainView = nullptr;
    Settings *m_pSettings = nullptr;
    trx::TRXMClient *m_pClient = nullptr;
    QList<trx::MgwInfo> m_listMgws;
    QMap<QString, trx::ServerInfo> m_mapServers;
    QMap<QString, trx::ServerSettings> m_mapServerSettings;
    QMap<QString, QMap<int, PortEntry>> m_mapPorts;
    TimeCode m_curTc;
    QMap<QString, TaskEntry> m_mapTasks;
    TaskMenu m_taskMenu;
    trx::ServerPort m_masterPort{QString(), -1};
    QMap<QString, QMap<int, trx::PortState>> m_mapPortStates;
    QMap<QString, ScheduleInfo> m_mapMaintenance;
    // Every schedule's frame period by port, for the maintenance check that runs on every clock
    // update; filled again only when a schedule, the master's rate or the working date changed.
    mutable PortPeriodIndex m_periods;
    const PortPeriodIndex &periodsByPort(const trx::PortState &master) const;
    trx::PortState m_masterPortState;
    QMap<trx::ServerPort, int> m_mapProxyPorts;
    QMap<trx::ServerPort, bool> m_mapRecStatus;
    QThread m_workerThread;
    // Lives on m_workerThread once started; owned here.
    PortPoller *m_pPoller = nullptr;
    QMap<QString, QMap<int, int>> m_mapRemainFrames;
    QMap<trx::ServerPort, bool> m_mapLoopRec;
    QDate m_lastMtnDate{20017, 2, 30};
    QMap<trx::ServerPort, int> m_map24hLines;

    LinkRetry m_linkRetry;

    // Port status and master clock. Like every table here they are touched on this thread only:
    // the link's threads and the poll hand their data over, so no table needs a lock.
    QMap<trx::ServerPort, TrainStart> m_mapTrainStarts;
    RemainTimeTexts m_remainTexts;
    bool m_bMasterChanged = true;

    // Creating and editing schedules (controller_editing.cpp).
    CreateTaskDialog *createTaskDialog(bool editMode);
    void fillDialogPorts(CreateTaskDialog &dialog, const trx::ServerPort &checked, bool onlyChecked) const;
    // For the dialog's day, or for `date` (one occurrence of a repeated schedule) when valid.
    trx::ScheduleRequest buildRequest(const ScheduleForm &form, const trx::ServerPort &port,
                                      const QDate &date = QDate());
    QString requestName(const QString &rule, const trx::ScheduleRequest &request, const trx::ServerPort &port);
    bool masterDropFrame();
    bool portCheck(const QString &serverId, int port, int startTc, int endTc, const QDate &date, bool asProxy,
                   const QStringList &excludedIds, QStringList &errors);
    void createChecks(const ScheduleForm &form, const QStringList &excludedIds, QStringList &errors);
    void presentEditPairing(CreateTaskDialog &dialog, const trx::ScheduleInfo &sch);
    // "Studio A Port C": the server's name and the port's label.
    QString portPlace(const QString &serverId, int port) const;
    // The schedule's summary line for a question about it, with a leading line break; empty for
    // an unknown id.
    QString taskSummaryLine(const QString &taskId) const;
    // The facts a failed port check shows after its keywords (conflictdetails.h); `guarded` is the
    // period the maintenance check used.
    void addConflictDetails(const trx::ServerPort &port, const QList<trx::ScheduleInfo> &maintenance,
                            const FramePeriod &guarded, PortCheckFacts &facts) const;
    // The checks of the form itself; false when the ports cannot be checked.
    bool formChecks(const ScheduleForm &form, QStringList &errors);
    void portChecks(const ScheduleForm &form, const QDate &date, const QStringList &excludedIds,
                    QStringList &errors);
    // The checks of OK in edit mode, for the schedule as it was when the edit began (status text
    // `opening`) against the form; empty lines when it may be sent.
    struct EditRefusal
    {
        QString title;
        QStringList lines;
        int icon = 0;
    };
    EditRefusal editChecks(const trx::ScheduleInfo &sch, trx::ScheduleStatus opening, const ScheduleForm &form);
    // The update request of an accepted edit (and the removal of a proxy copy switched off before
    // the start); false when the link went meanwhile.
    bool sendEdit(const trx::ScheduleInfo &sch, const ScheduleForm &form, bool notStarted);
    // Moving and resizing on the timeline (controller_editing.cpp): the form of the schedule with
    // new times, the reason a schedule may not be moved now (empty when it may), and the move
    // itself: the edit checks, then the update, or the message; true when it was sent.
    ScheduleForm movedForm(const trx::ScheduleInfo &sch, qint64 startFrame, qint64 endFrame) const;
    QString moveRefusal(const trx::ScheduleInfo &sch);
    bool moveSchedule(const trx::ScheduleInfo &sch, trx::ScheduleStatus opening, const ScheduleForm &form,
                      TimelineItemWidget *item);
    // The times of the schedule moved last, before the move; Ctrl+Z sends them back once.
    struct ScheduleMove
    {
        QString id;
        QDate startDate;
        QDate endDate;
        int startTc = -1;
        int endTc = -1;
    };
    struct MoveRun
    {
        // The dragged schedule's status when the drag began; the drop is judged against it.
        trx::ScheduleStatus openingStatus = trx::ScheduleStatus::None;
        ScheduleMove last;
    };
    MoveRun m_move;
    // A repeated schedule: every occurrence checked and shown; true when the operator chose to
    // create the free ones, which are then kept in m_dialogRun.
    bool confirmRepeat(CreateTaskDialog &dialog);
    void showEditingMessage(const QString &title, const QStringList &lines, int icon);
    EditingPrompts m_editingPrompts = EditingPrompts::interactive();
    // What a run of the schedule dialog keeps between its steps: for an edit, the schedule as it
    // was when the dialog opened, its status then and whether it had not started; for a repeated
    // schedule, the days it is created on, from their confirmation until they are sent.
    struct DialogRun
    {
        trx::ScheduleInfo schedule;
        trx::ScheduleStatus openingStatus = trx::ScheduleStatus::None;
        bool notStarted = false;
        QList<QDate> repeatDates;
    };
    DialogRun m_dialogRun;
};
