#pragma once

#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class ProxyComboBox;
class QPushButton;
class TimelineWidget;

namespace Ui {
class ServerPortWidget;
}

// One port (camera input) of a recording server: its left panel (name, REC and TC buttons, proxy
// port choice, check box), its timeline, the button column (new schedule, mark start and end,
// remaining time) and a drag handle that resizes the row. Operator actions leave as signals with
// the port number; the server panel adds the server id.
//
// Hundreds of rows may exist while a few are on screen: the timeline (which holds the port's
// schedules) always exists, but the form around it is built only while the row is within a margin
// of the visible part of the port list, and let go of when it leaves. What the controller sets on
// a row is kept here as plain state and shown once the form is built; the accessors of the form's
// widgets build it.
class ServerPortWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CollapsedHeight = 55;
    static constexpr int MinHeight = 165;
    // The one height below MinHeight a row takes (the window's "Compact" rows): one line of items.
    static constexpr int CompactHeight = 80;
    static constexpr int MaxHeight = 929;
    static constexpr int DefaultHeight = 240;
    // Width of the left panel and of the button column; the timeline takes the rest.
    static constexpr int LeftPanelWidth = 300;
    static constexpr int SideWidths = 380;

    ServerPortWidget(int iPortNo, const QString &name, QWidget *parent = nullptr);
    ~ServerPortWidget() override;

    // "Port A" for port 0, "Port B" for port 1, ...
    static QString defaultPortName(int port);

    int portNo() const { return m_iPortNo; }
    QString serverId() const { return m_strServerId; }
    // The server this row belongs to and the server's port numbers, offered as proxy choices until
    // the server panel narrows them down.
    void initPort(const QString &serverId, const QList<int> &serverPorts);

    void setLoopStatus(bool bLoop);
    // While the manager is away the buttons that would send a command look disabled and say why.
    void setLinkUp(bool up);
    bool isLinkUp() const { return m_bLinkUp; }
    // The loop-recording flag the controller keeps for the row (set after setLoopStatus).
    bool isLoop() const { return m_bLoop; }
    // The remaining time shows only in loop recording.
    void setLoop(bool bLoop);
    // The loop-recording flag of the port that records this row's proxy.
    bool isProxyLoop() const { return m_bProxyLoop; }
    void setProxyLoop(bool bLoop) { m_bProxyLoop = bLoop; }

    // Checked state and property of the REC / proxy REC button, as the manager reports it.
    void setRecording(bool recording);
    void setProxyRecording(bool recording);

    void setTcStatus(int status);
    // Whether the form (left panel, buttons, splitter) exists now; ensureForm builds it.
    bool isFormBuilt() const { return ui != nullptr; }
    void ensureForm();
    // Builds the form when the row comes near the visible part of its scroll area, lets it go when
    // the row is far from it; the server panel and the window call it when rows move.
    void updateForm();
    // Marks the row as the one the window's keyboard commands act on.
    void setKeyboardTarget(bool target);
    // Shows or hides what does not fit a compact row; run after every height change.
    void applyCompact();
    bool isKeyboardTarget() const;
    void setProxyTcStatus(int status);
    int tcStatus() const { return m_iTcStatus; }
    int proxyTcStatus() const { return m_iProxyTcStatus; }

    void setProxyPort(int port);
    int proxyPort() const { return m_iProxyPort; }
    int currentProxyPort() const;
    // Rebuilds the proxy choices (port number, text), "None" first, keeping the selection.
    void setProxyChoices(const QList<QPair<int, QString>> &choices);

    void setRemainTime(const QString &text);
    QString remainTime() const;
    // Marks the remaining time red ("RemainAlert" "Yes") when it is short of what the port's next
    // schedule needs; restyles only on a change.
    void setRemainAlert(bool alert);
    bool isRemainAlert() const { return m_bRemainAlert; }
    void markDifferentFrequency();

    void setCollapsed(bool collapsed);
    bool isCollapsed() const { return m_bCollapsed; }
    int expandedHeight() const { return m_iExpandedHeight; }
    void setExpandedHeight(int height) { m_iExpandedHeight = height; }
    // The height this row takes in its panel: 55 when collapsed.
    int rowHeight() const;

    bool isHiddenProxy() const { return m_bHidden; }
    void setHiddenProxy(bool hidden);
    // The proxy REC and TC buttons show only while the port has a proxy.
    void setProxyGroupVisible(bool visible);

    QList<QString> taskIds() const;
    QString portDisplayName() const;
    void setTitle(const QString &title);
    QString title() const { return m_strTitle; }
    QString portName() const;
    void setPortName(const QString &name);
    // A name being typed (the field has the focus) is taken as finished.
    void commitNameEdit();
    bool isChecked() const;
    void setChecked(bool checked);

    TimelineWidget *timeline() const;
    QPushButton *recButton() const;
    QPushButton *proxyRecButton() const;
    QPushButton *tcButton() const;
    QPushButton *proxyTcButton() const;
    ProxyComboBox *proxyCombo() const;
    QWidget *overlay() const { return m_pOverlay; }
    QWidget *proxyGroupWidget() const;

    // Asks the operator to confirm a proxy change that deletes schedules; tests replace it.
    void setConfirmProxyChange(std::function<bool()> confirm) { m_confirmProxyChange = std::move(confirm); }

signals:
    void sigNewTask(int port);
    void sigMarkStart(int port);
    void sigMarkEnd(int port);
    void sigSetTC(int port);
    void sigSetREC(int port, bool rec);
    void sigProxyPortChanged(int iPort, int iProxyPort);
    void sigPortNameChanged(int iPort, QString strName);
    void sigPortCheckStatusChanged(int iPort, bool bChecked);
    void sigPortHeightChanged(int iPort, int iHeight, bool updateSettingData);
    void sigPortCollapseChanged(int iPort, bool bCollapse);
    void sigRemoveTasks(int iPortNo);
    void sigLoopStatusChanged(int iPortNo, bool bLoop);
    void sigupdateServerHeight();
    void sigDrawPortSplitter(int iPosY, int portNo);
    void sigClearSplitterLine();

public slots:
    void btnAddClicked();
    void btnMarkStart();
    void btnMarkEnd();
    void btnTCClicked(bool checked);
    void btnRECClicked(bool checked);
    void btnProxyTCClicked(bool checked);
    void btnProxyRECClicked(bool checked);
    void slotBtnPortCollapseClick();
    void slotProxyPortChanged(const QString &text);
    void slotProxyPortOnChanged();
    void slotPortNameFinished();
    void slotCheckStatusChanged(bool checked);
    void slotSplitterHeightChanged(int height);
    void slotDrawPortSplitter(int offset);

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildForm();
    void releaseForm();
    void watchScrollArea();
    void placeTimeline();
    // The proxy choice in force: the proxy combo's current entry, kept while the form is away.
    QString comboText() const;
    int choiceIndex(int port) const;
    void showComboPort();
    void showProxyInForce();
    void applyProxyChange();
    void applyEnabledState();
    // Put the kept state into the form: shared by the setters and by building the form.
    void showLoopEnabled();
    // A REC button's check state and its "Recording" ("Yes"/"No") style property.
    void showRecording(QPushButton *button, bool recording);
    void showRemainAlert();
    void showCollapsed();
    void repolish(QWidget *widget);
    void setOverlay(const QString &styleSheet);
    void placeOverlay();
    void setControlsEnabled(bool enabled);
    void applyCommandAvailability();
    void setTcProperty(QPushButton *button, int status);
    QString titleForProxy(int proxy) const;

    Ui::ServerPortWidget *ui = nullptr;
    TimelineWidget *m_pTimeline = nullptr;
    QPointer<QWidget> m_watchedScrollBar;
    int m_iPortNo = 0;
    QString m_strServerId;
    int m_iProxyPort = 0;
    bool m_bCollapsed = false;
    int m_iExpandedHeight = DefaultHeight;
    bool m_bLoop = false;
    bool m_bLinkUp = true;
    bool m_bLoopEnabled = true; // the last setLoopStatus
    bool m_bProxyLoop = false;
    bool m_bHidden = false;
    bool m_bRemainAlert = false;
    int m_iTcStatus = 0;
    int m_iProxyTcStatus = 0;
    bool m_bProxyPending = false;
    bool m_bProxyAccepted = true;
    int m_iProxyPendingPort = 0;
    // Proxy choices without "None", and the port of the entry shown (this port for "None").
    QList<QPair<int, QString>> m_proxyChoices;
    int m_iComboPort = 0;
    QString m_strPortName;
    QString m_strRemain;
    bool m_bChecked = false;
    bool m_bRecording = false;
    bool m_bProxyRecording = false;
    bool m_bKeyboardTarget = false;
    bool m_bProxyGroupVisible = false;
    bool m_bControlsEnabled = true;
    // Set once the link's state has been applied to the command buttons.
    bool m_bLinkApplied = false;
    bool m_bBuildingForm = false;
    QString m_strTitle;
    QWidget *m_pOverlay = nullptr;
    std::function<bool()> m_confirmProxyChange;
};
