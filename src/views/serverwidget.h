#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QWidget>

class QSpacerItem;
class QVBoxLayout;
class ServerPortWidget;

namespace Ui {
class ServerWidget;
}

// The panel of one recording server: its name column and its port rows. It adds the server id to
// the rows' signals, keeps the rows' layout in the settings, offers each row the ports that may
// record its proxy and hides the rows that record another row's proxy.
class ServerWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int CollapsedHeight = 55;
    static constexpr int InfoWidth = 100;
    static constexpr int CollapsedInfoWidth = 400;

    ServerWidget(const QString &serverId, const QString &serverName, QWidget *parent = nullptr);
    ~ServerWidget() override;

    QString serverId() const { return m_strServerId; }
    QString serverName() const { return m_strServerName; }
    void setServerName(const QString &name);

    // Every port number of the server (rows may exist for fewer); proxy choices come from it.
    void setServerPorts(const QList<int> &ports);
    void addPort(ServerPortWidget *port, int index);
    const QList<ServerPortWidget *> &portWidgets() const { return m_ports; }
    const QList<int> &portNos() const { return m_portNos; }
    ServerPortWidget *portWidget(int portNo) const;

    // Applies each row's stored layout (inserting defaults for new ports) and sizes the panel.
    void loadPortSettings();
    void refreshProxyPorts();
    const QMap<int, bool> &loopStatus() const { return m_mapLoopStatus; }

    void setViewFrames(int frames);
    void setPortsHeight(int height);
    // 55 when collapsed, else the rows that are not hidden.
    int panelHeight() const;
    bool isCollapsed() const { return m_bCollapsed; }
    QWidget *portsWidget() const;

signals:
    void sigNewTask(QString serverId, int port);
    void sigContextMenu(QString taskId);
    void sigMarkStart(QString serverId, int port);
    void sigMarkEnd(QString serverId, int port);
    void sigSetTC(QString serverId, int port);
    void sigSetREC(QString serverId, int port, bool rec);
    void sigProxySetTC(QString serverId, int port);
    void sigProxySetREC(QString serverId, int port, bool rec);
    void sigRemoveTasks(QList<QString> taskIds);
    void sigProxyPortChanged(QString serverId, int iPort, int iProxyPort);
    void sigReSetMasterTc(QString strServerId);
    void sigChangeUIHeight();
    void sigDrawPortSplitter(int iPosY, bool bLongSplitter);
    void sigClearSplitterLine();

public slots:
    void newTask(int port);
    void markStart(int port);
    void markEnd(int port);
    void setTC(int port);
    void setREC(int port, bool rec);
    void slotProxyPortChanged(int iPort, int iProxyPort);
    void slotPortNameChanged(int iPort, const QString &strPortName);
    void slotPortCheckStatusChanged(int iPort, bool bChecked);
    void slotPortCollapseChanged(int iPort, bool bCollapse);
    void slotPortHeightChanged(int iPort, int iPortHeight, bool updateSettingData);
    void slotRemoveTasks(int iPortNo);
    void slotServerStatusChanged(const QString &strServerId, bool bConnectionChanged, bool bSingle);
    void slotDifSysFreqServer(const QString &strServerId);
    void slotLoopStatusChanged(int iPort, bool bLoop);
    void updateServerHeight();
    void slotSplitterHeightChanged(int offset);
    void slotDrawPortSplitter(int iPosY, int portNo);
    void slotDrawSplitter(int offset);
    void slotbtnServerCollapseClick();
    void setServerCollapse(bool bCollapse);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString storedPortName(int port) const;
    ServerPortWidget *lastVisibleRow() const;
    void updateNameLabels();

    Ui::ServerWidget *ui = nullptr;
    QString m_strServerId;
    QString m_strServerName;
    bool m_bCollapsed = false;
    QList<ServerPortWidget *> m_ports;
    QList<int> m_portNos;
    QList<int> m_serverPorts;
    QMap<int, bool> m_mapLoopStatus;
    QVBoxLayout *m_pPortsLayout = nullptr;
    QSpacerItem *m_pSpacer = nullptr;
};
