#pragma once

#include "dialogs/repeatrule.h"
#include "settings/mgwdestination.h"
#include "trx/mgwfolderinfo.h"
#include "trx/mgwinfo.h"
#include "trx/serverport.h"
#include "widgets/framelessdialog.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QString>

#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QSpinBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
struct TimeCode;

namespace trx {
class ScheduleInfo;
}

namespace Ui {
class CreateTaskDialog;
}

// The window in which the operator creates or edits a schedule. It keeps its fields consistent,
// loads the folder trees lazily and reports what was chosen; the controller fills it, answers its
// gateway and folder requests through the slots below and validates it when OK is pressed.
class CreateTaskDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // Item data roles of the gateway and drive combo boxes.
    static constexpr int MgwIdRole = Qt::UserRole + 3;   // 259
    static constexpr int DriveIdRole = Qt::UserRole + 4; // 260
    // Item data roles of the folder trees.
    static constexpr int FolderIdRole = Qt::UserRole;
    static constexpr int FolderPathRole = Qt::UserRole + 1;

    struct PortEntry
    {
        qint32 portNo = 0;
        QString name;
        bool checked = false;
        bool withProxy = false; // the port has a proxy port paired with it
    };
    struct ServerEntry
    {
        QString serverId;
        QString name;
        QList<PortEntry> ports;
    };

    explicit CreateTaskDialog(QWidget *parent = nullptr);
    ~CreateTaskDialog() override;

    void fillPorts(const QList<ServerEntry> &servers);
    QList<trx::ServerPort> selectedPorts() const;
    // Checked ports, each with whether it has a proxy port.
    QMap<trx::ServerPort, bool> selectedPortsWithProxy() const;

    // The six ids of the current choice (gateway and drive from the combos' item data, folders
    // from the last folder set) and the with-proxy box. The proxy pair is the one chosen in its
    // own gateway and drive combos, or the remembered one while the gateway list lacks it.
    MgwDestination destination() const;
    // Remembers the ids to select once the gateway and folder lists arrive.
    void setDestination(const MgwDestination &dst);
    void setDestinationEnabled(bool enabled);
    // Hides or shows the folder entries and trees of both destinations; a new dialog follows the
    // settings' "MGW Folder" choice. Hidden trees ask for no folders.
    void setFolderSelectionVisible(bool visible);

    void setDays(const QDate &date);
    void setDaysAroundToday(const QDate &date);
    QDate selectedDate() const;
    // The last day of the time axis the day list offers.
    QDate lastAxisDate() const;
    // How the new schedule repeats; None unless the operator chose otherwise (never when editing).
    RepeatRule repeatRule() const;
    QString dayText() const;

    void setStartFromTcText(const QString &tcText);
    void setStartText(const QString &hhmmss);
    void setEndText(const QString &hhmmss);
    void setDurationText(const QString &hhmmss);
    // "hhmmss" of each group; fields that are empty leave their two characters out.
    QString startText() const;
    QString endText() const;
    QString durationText() const;
    // Integer-packed hh:mm:ss:00 (hours modulo 24, minutes and seconds modulo 60), -1 when a
    // field is empty or not a number.
    int startTc() const;
    int endTc() const;
    int durationTc() const;

    void setName(const QString &name);
    QString name() const;
    bool isMaintenance() const;
    bool withProxy() const;

    void fillFromSchedule(const trx::ScheduleInfo &schedule, const TimeCode &tc, bool editable);

    // Expands a name rule for a port, a date and a start (integer-packed, -1 for none); the
    // dialog shows the result as a preview beside the rule.
    using NamePreviewer = std::function<QString(const QString &rule, const trx::ServerPort &port,
                                                const QDate &date, int startTc)>;
    void setNamePreviewer(const NamePreviewer &previewer);
    // Edit mode: the title, and "With Proxy" as the schedule was made (ticked when it has a
    // proxy copy, with the proxy port's name beside it).
    void presentForEdit(bool withProxy, const QString &proxyPortName);
    // What the hints show; empty while hidden.
    QString nextDayHint() const;
    QString namePreview() const;

    QList<QLineEdit *> timeFields() const { return m_timeFields; }
    bool isMgwLoading() const { return m_bMasterMgwLoading || m_bProxyMgwLoading; }

signals:
    void sigRefreshMgws();
    void sigFetchMgwFolders(const QString &strMgwId, const QString &strDriveId, const QString &strParentId);
    void sigProxyChkIsEnable(const QMap<trx::ServerPort, bool> &selectedPorts, int start, int end,
                             const QDate &date);
    // Once per press. The handler is expected to run directly (validate, then accept or show the
    // problems); the OK button stays disabled until it returns with the dialog still open.
    void sigCreateTaskOKClicked();

public slots:
    void mgwsReady(const QList<trx::MgwInfo> &mgws);
    void drivesReady(const QList<trx::MgwInfo> &mgws);
    void textChanged(const QString &text);
    void cursorPosChanged(int oldPos, int newPos);
    void mgwFoldersReady(const QString &strMgwId, const QString &strDriveId,
                         const QList<trx::MgwFolderInfo> &folders);
    void refreshMasterFoldersPressed();
    void refreshProxyFoldersPressed();
    void masterTreeItemExpanded(QTreeWidgetItem *item);
    void proxyTreeItemExpanded(QTreeWidgetItem *item);
    void mgwChanged(int index);
    void proxyMgwChanged(int index);
    void masterDriveChanged(int index);
    void proxyDriveChanged(int index);
    void masterTreeItemDoubleClicked(QTreeWidgetItem *item, int column);
    void proxyTreeItemDoubleClicked(QTreeWidgetItem *item, int column);
    void masterSetPressed();
    void proxySetPressed();
    void refreshMasterMgws();
    void refreshProxyMgws();
    void withProxyClicked(bool checked);
    void optNormalClicked(bool checked);
    void optMaintenanceClicked(bool checked);
    void slotEditingFinished();
    void slotWithProxy(bool checked, bool bWithProxy);
    void slotSetProxyChkEnable(bool bEnable);
    void slotCreateTaskOKClicked();
    void slotCreateTaskCancleClicked();
    void slotClose();

public:
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    enum Region { TopLeft, Top, TopRight, Right, BottomRight, Bottom, BottomLeft, Left, Move = 8 };
    enum Group { StartGroup, EndGroup, DurationGroup };

    struct FolderTarget
    {
        QTreeWidget *tree;
        QComboBox *drives;
        QLineEdit *text;
        QString *folderId;
        QString *driveId;
        QString *mgwId;
    };
    // A folder request not answered yet. Answers come back in request order; an empty answer
    // names no parent, so it is matched to the oldest request for its gateway and drive.
    struct PendingFetch
    {
        QString mgwId;
        QString driveId;
        QString parentId;
    };
    FolderTarget master();
    FolderTarget proxy();

    QList<QLineEdit *> group(Group g) const;
    bool groupComplete(Group g) const;
    QString groupText(Group g) const;
    int groupTc(Group g) const;
    void setGroupText(Group g, const QString &hhmmss);
    void couple(Group edited);

    // Fills `combo` with the drives of gateway `mgwId` and selects `driveId`; an unknown drive
    // selects the first one when firstWhenUnknown, else none.
    void fillDrives(QComboBox *combo, const QString &mgwId, const QString &driveId, bool firstWhenUnknown);
    QString currentMgwId() const;
    QString currentProxyMgwId() const;
    void refreshTree(const FolderTarget &t);
    void requestFolders(const QString &mgwId, const QString &driveId, const QString &parentId);
    void fillTree(const FolderTarget &t, const QString &parentId, const QList<trx::MgwFolderInfo> &folders);
    void shareColumnWidths();
    void treeItemExpanded(const FolderTarget &t, QTreeWidgetItem *item);
    void chooseFolder(const FolderTarget &t, QTreeWidgetItem *item);
    void updateProxyTreeEnabled();
    void askProxyCheck();
    void addRepeatRow();
    void updateRepeatFields();

    void applyStoredSplit();
    void buildHints();
    void refreshHints();
    void placeNamePreview(const QString &preview);
    void updateProxyToolTip();
    void prepareTimeFieldForTyping(QLineEdit *field, QEvent *event);
    Region regionAt(const QPoint &pos) const;
    void applyRegionCursor(Region region);

    Ui::CreateTaskDialog *ui = nullptr;
    QList<QLineEdit *> m_timeFields;

    QString m_strMasterMgwId;
    QString m_strMasterDriveId;
    QString m_strProxyMgwId;
    QString m_strProxyDriveId;
    QString m_strMasterFolderId;
    QString m_strProxyFolderId;
    QList<PendingFetch> m_pendingFetches;
    bool m_bFolderSelection = true;
    QList<trx::MgwInfo> m_mgws;
    bool m_bMasterMgwLoading = false;
    bool m_bProxyMgwLoading = false;

    bool m_bOkPending = false;
    bool m_bFinished = false;

    // What the operator (or the remembered destination) chose for "With Proxy"; the controller's
    // answers only enable or disable the box.
    bool m_bProxyWanted = false;
    bool m_bProxyAsked = false;
    QMap<trx::ServerPort, bool> m_lastProxyPorts;
    int m_iLastProxyStart = -1;
    int m_iLastProxyEnd = -1;
    QDate m_lastProxyDate;

    QLabel *m_pNextDayHint = nullptr;
    QLabel *m_pNamePreview = nullptr;
    NamePreviewer m_namePreviewer;

    // The left pane's width, put on the splitter when the dialog is first shown.
    int m_iLeftWidth = 365;
    bool m_bSplitApplied = false;

    bool m_bPressed = false;
    QPoint m_ptPressOffset;
    Region m_region = Move;

    QWidget *m_pRepeatGroup = nullptr;
    QComboBox *m_pRepeatKind = nullptr;
    QSpinBox *m_pRepeatDays = nullptr;
    QComboBox *m_pRepeatEnd = nullptr;
    QSpinBox *m_pRepeatCount = nullptr;
    QDateEdit *m_pRepeatUntil = nullptr;
};
