#include "views/serverwidget.h"

#include "settings/settings.h"
#include "ui_serverwidget.h"
#include "views/serverportwidget.h"
#include "views/splitter.h"
#include "views/timelinewidget.h"

#include <QSet>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kNameMargin = 9;
constexpr int kCollapsedNameInset = 25;
} // namespace

ServerWidget::ServerWidget(const QString &serverId, const QString &serverName, QWidget *parent)
    : QWidget(parent), ui(new Ui::ServerWidget), m_strServerId(serverId), m_strServerName(serverName)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    m_pPortsLayout = new QVBoxLayout(ui->ports);
    m_pPortsLayout->setContentsMargins(0, 0, 0, 0);
    m_pPortsLayout->setSpacing(0);
    m_pSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_pPortsLayout->addItem(m_pSpacer);

    ui->m_txtCollapseServername->hide();
    ui->m_btnServerCollapse->setProperty("mandatoryField", QStringLiteral("Expand"));
    updateNameLabels();

    connect(ui->m_btnServerCollapse, &QPushButton::clicked, this, &ServerWidget::slotbtnServerCollapseClick);
    connect(ui->m_serverSplitterWidget, &Splitter::sigSplitterHeightChanged, this,
            &ServerWidget::slotSplitterHeightChanged);
    connect(ui->m_serverSplitterWidget, &Splitter::sigDrawSplitter, this, &ServerWidget::slotDrawSplitter);
    connect(ui->m_serverSplitterWidget, &Splitter::sigClearSplitterLine, this,
            &ServerWidget::sigClearSplitterLine);
    setFixedHeight(CollapsedHeight);
}

ServerWidget::~ServerWidget()
{
    // A row's name edit finishing while the panel is torn down would reach this panel's slots
    // after its members are gone: commit such an edit now, then stop listening to the rows.
    for (ServerPortWidget *port : qAsConst(m_ports)) {
        port->commitNameEdit();
        port->disconnect(this);
    }
    delete ui;
}

QWidget *ServerWidget::portsWidget() const
{
    return ui->ports;
}

void ServerWidget::setServerName(const QString &name)
{
    m_strServerName = name;
    updateNameLabels();
}

void ServerWidget::updateNameLabels()
{
    for (QLabel *label : {ui->m_txtServername, ui->m_txtCollapseServername}) {
        const int room = std::max(0, label->width() - kNameMargin);
        const QString shown = label->fontMetrics().elidedText(m_strServerName, Qt::ElideRight, room);
        label->setText(shown);
        label->setToolTip(shown == m_strServerName ? QString() : m_strServerName);
    }
}

void ServerWidget::setServerPorts(const QList<int> &ports)
{
    m_serverPorts = ports;
}

ServerPortWidget *ServerWidget::portWidget(int portNo) const
{
    const int i = m_portNos.indexOf(portNo);
    return i < 0 ? nullptr : m_ports.at(i);
}

void ServerWidget::addPort(ServerPortWidget *port, int index)
{
    if (!port || m_ports.contains(port))
        return;
    index = std::clamp(index, 0, int(m_ports.size()));
    m_ports.insert(index, port);
    m_portNos.insert(index, port->portNo());
    // A row deleted on its own leaves no dangling entry (the panel's own teardown disconnects
    // this first).
    connect(port, &QObject::destroyed, this, [this, port] {
        const int at = m_ports.indexOf(port);
        if (at >= 0) {
            m_ports.removeAt(at);
            m_portNos.removeAt(at);
        }
    });
    m_mapLoopStatus.insert(port->portNo(), true);
    m_pPortsLayout->insertWidget(index, port);
    m_pPortsLayout->removeItem(m_pSpacer);
    m_pPortsLayout->addItem(m_pSpacer);

    connect(port, &ServerPortWidget::sigNewTask, this, &ServerWidget::newTask);
    connect(port, &ServerPortWidget::sigMarkStart, this, &ServerWidget::markStart);
    connect(port, &ServerPortWidget::sigMarkEnd, this, &ServerWidget::markEnd);
    connect(port, &ServerPortWidget::sigSetTC, this, &ServerWidget::setTC);
    connect(port, &ServerPortWidget::sigSetREC, this, &ServerWidget::setREC);
    connect(port, &ServerPortWidget::sigProxyPortChanged, this, &ServerWidget::slotProxyPortChanged);
    connect(port, &ServerPortWidget::sigPortNameChanged, this, &ServerWidget::slotPortNameChanged);
    connect(port, &ServerPortWidget::sigPortCheckStatusChanged, this,
            &ServerWidget::slotPortCheckStatusChanged);
    connect(port, &ServerPortWidget::sigPortCollapseChanged, this, &ServerWidget::slotPortCollapseChanged);
    connect(port, &ServerPortWidget::sigPortHeightChanged, this, &ServerWidget::slotPortHeightChanged);
    connect(port, &ServerPortWidget::sigRemoveTasks, this, &ServerWidget::slotRemoveTasks);
    connect(port, &ServerPortWidget::sigLoopStatusChanged, this, &ServerWidget::slotLoopStatusChanged);
    connect(port, &ServerPortWidget::sigupdateServerHeight, this, &ServerWidget::updateServerHeight,
            Qt::QueuedConnection);
    connect(port, &ServerPortWidget::sigDrawPortSplitter, this, &ServerWidget::slotDrawPortSplitter);
    connect(port, &ServerPortWidget::sigClearSplitterLine, this, &ServerWidget::sigClearSplitterLine);
    updateServerHeight();
}

void ServerWidget::newTask(int port)
{
    emit sigNewTask(m_strServerId, port);
}

void ServerWidget::markStart(int port)
{
    emit sigMarkStart(m_strServerId, port);
}

void ServerWidget::markEnd(int port)
{
    emit sigMarkEnd(m_strServerId, port);
}

void ServerWidget::setTC(int port)
{
    emit sigSetTC(m_strServerId, port);
}

void ServerWidget::setREC(int port, bool rec)
{
    emit sigSetREC(m_strServerId, port, rec);
}

void ServerWidget::slotProxyPortChanged(int iPort, int iProxyPort)
{
    // The pairing is kept with the port, -1 for none, so that it comes back after a restart.
    if (Settings *s = Settings::instance())
        s->assign(s->portInfo(trx::ServerPort(m_strServerId, iPort)).ProxyPort,
                  iProxyPort == iPort ? -1 : iProxyPort);
    emit sigProxyPortChanged(m_strServerId, iPort, iProxyPort);
    refreshProxyPorts();
}

void ServerWidget::slotPortNameChanged(int iPort, const QString &strPortName)
{
    bool changed = true;
    if (Settings *s = Settings::instance())
        changed = s->assign(s->portInfo(trx::ServerPort(m_strServerId, iPort)).PortName, strPortName);
    // The lists are rebuilt only for a real change; a rebuild closes an open list.
    if (changed)
        refreshProxyPorts();
}

void ServerWidget::slotPortCheckStatusChanged(int iPort, bool bChecked)
{
    if (Settings *s = Settings::instance())
        s->assign(s->portInfo(trx::ServerPort(m_strServerId, iPort)).CheckStatus, bChecked);
}

void ServerWidget::slotPortCollapseChanged(int iPort, bool bCollapse)
{
    if (Settings *s = Settings::instance())
        s->assign(s->portInfo(trx::ServerPort(m_strServerId, iPort)).PortCollapse, bCollapse);
}

void ServerWidget::slotPortHeightChanged(int iPort, int iPortHeight, bool updateSettingData)
{
    updateServerHeight();
    if (!updateSettingData)
        return;
    if (Settings *s = Settings::instance()) {
        int &stored = s->portInfo(trx::ServerPort(m_strServerId, iPort)).PortHeight;
        // A stored height below the minimum comes back raised to it: the program's correction,
        // kept in memory but no reason to write the file.
        const Settings::Quiet quiet(std::max(stored, ServerPortWidget::MinHeight) == iPortHeight ? s : nullptr);
        s->assign(stored, iPortHeight);
    }
}

void ServerWidget::slotRemoveTasks(int iPortNo)
{
    if (ServerPortWidget *row = portWidget(iPortNo))
        emit sigRemoveTasks(row->taskIds());
}

QString ServerWidget::storedPortName(int port) const
{
    if (Settings *s = Settings::instance()) {
        const auto it = s->m_portInfos.constFind(trx::ServerPort(m_strServerId, port));
        if (it != s->m_portInfos.constEnd() && !it->PortName.isEmpty())
            return it->PortName;
    }
    if (ServerPortWidget *row = portWidget(port)) {
        if (!row->portName().isEmpty())
            return row->portName();
    }
    return ServerPortWidget::defaultPortName(port);
}

void ServerWidget::refreshProxyPorts()
{
    QList<int> available = m_serverPorts.isEmpty() ? m_portNos : m_serverPorts;
    QSet<int> proxies;
    for (const ServerPortWidget *row : qAsConst(m_ports)) {
        const int p = row->proxyPort();
        if (p != row->portNo() && p != -1) {
            available.removeAll(p);
            available.removeAll(row->portNo());
            proxies.insert(p);
        }
    }
    for (const ServerPortWidget *row : qAsConst(m_ports)) {
        if (!m_mapLoopStatus.value(row->portNo(), true)) {
            available.removeAll(row->portNo());
            if (row->proxyPort() != row->portNo())
                available.removeAll(row->proxyPort());
        }
    }

    for (ServerPortWidget *row : qAsConst(m_ports)) {
        QList<int> choices = available;
        choices.append(row->portNo());
        if (row->proxyPort() != row->portNo() && row->proxyPort() != -1)
            choices.append(row->proxyPort());
        std::sort(choices.begin(), choices.end());
        choices.erase(std::unique(choices.begin(), choices.end()), choices.end());
        QList<QPair<int, QString>> items;
        for (const int p : qAsConst(choices)) {
            if (p != row->portNo())
                items.append(qMakePair(p, storedPortName(p)));
        }
        row->setProxyChoices(items);
    }

    for (ServerPortWidget *row : qAsConst(m_ports)) {
        row->setHiddenProxy(proxies.contains(row->portNo()));
        row->setProxyGroupVisible(row->proxyPort() != -1 && row->proxyPort() != row->portNo());
    }
    updateServerHeight();
}

void ServerWidget::slotLoopStatusChanged(int iPort, bool bLoop)
{
    // Every loop report comes here; only a change rebuilds the proxy lists.
    if (m_mapLoopStatus.value(iPort, true) == bLoop && m_mapLoopStatus.contains(iPort))
        return;
    m_mapLoopStatus.insert(iPort, bLoop);
    refreshProxyPorts();
}

int ServerWidget::panelHeight() const
{
    if (m_bCollapsed)
        return CollapsedHeight;
    int sum = 0;
    for (const ServerPortWidget *row : m_ports) {
        if (!row->isHiddenProxy())
            sum += row->rowHeight();
    }
    return sum;
}

void ServerWidget::updateServerHeight()
{
    // A panel without rows keeps its header so that the server's name stays visible.
    setFixedHeight(std::max(panelHeight(), int(CollapsedHeight)));
}

void ServerWidget::setPortsHeight(int height)
{
    for (ServerPortWidget *row : qAsConst(m_ports)) {
        if (!row->isHiddenProxy() && !row->isCollapsed()) {
            row->setExpandedHeight(height);
            row->setFixedHeight(height);
        }
    }
    updateServerHeight();
}

void ServerWidget::loadPortSettings()
{
    Settings *s = Settings::instance();
    refreshProxyPorts();
    for (ServerPortWidget *row : qAsConst(m_ports)) {
        const trx::ServerPort key(m_strServerId, row->portNo());
        PortViewInfo info;
        info.PortHeight = ServerPortWidget::DefaultHeight;
        if (s) {
            if (!s->m_portInfos.contains(key))
                s->m_portInfos.insert(key, info);
            info = s->m_portInfos.value(key);
        }
        // A compact row is kept compact; any other height below the least is raised to it.
        const int height = info.PortHeight == ServerPortWidget::CompactHeight
                               ? info.PortHeight
                               : std::max(info.PortHeight, ServerPortWidget::MinHeight);
        const QString name =
            info.PortName.isEmpty() ? ServerPortWidget::defaultPortName(row->portNo()) : info.PortName;
        row->setPortName(name);
        row->setTitle(name);
        row->setProxyPort(info.ProxyPort);
        row->setExpandedHeight(height);
        row->setCollapsed(info.PortCollapse);
        row->setExpandedHeight(height);
        row->setChecked(info.CheckStatus);
        row->setFixedHeight(info.PortCollapse ? ServerPortWidget::CollapsedHeight : height);
    }
    refreshProxyPorts();
    updateServerHeight();
}

void ServerWidget::setViewFrames(int frames)
{
    for (ServerPortWidget *row : qAsConst(m_ports))
        row->timeline()->setViewFrames(frames);
}

void ServerWidget::slotServerStatusChanged(const QString &strServerId, bool bConnectionChanged, bool bSingle)
{
    if (strServerId != m_strServerId)
        return;
    setVisible(bConnectionChanged);
    bool first = true;
    for (ServerPortWidget *row : qAsConst(m_ports)) {
        if (row->tcStatus() == 2 && !bConnectionChanged) {
            row->btnTCClicked(false);
            emit sigReSetMasterTc(m_strServerId);
        }
        if (bSingle && bConnectionChanged && first)
            row->btnTCClicked(false);
        first = false;
    }
}

void ServerWidget::slotDifSysFreqServer(const QString &strServerId)
{
    if (strServerId != m_strServerId)
        return;
    for (ServerPortWidget *row : qAsConst(m_ports))
        row->markDifferentFrequency();
}

ServerPortWidget *ServerWidget::lastVisibleRow() const
{
    for (auto it = m_ports.crbegin(); it != m_ports.crend(); ++it) {
        if (!(*it)->isHiddenProxy())
            return *it;
    }
    return nullptr;
}

void ServerWidget::slotSplitterHeightChanged(int offset)
{
    if (m_bCollapsed)
        return;
    if (ServerPortWidget *row = lastVisibleRow())
        row->slotSplitterHeightChanged(offset);
}

void ServerWidget::slotDrawPortSplitter(int iPosY, int portNo)
{
    const ServerPortWidget *last = lastVisibleRow();
    emit sigDrawPortSplitter(y() + iPosY, last && last->portNo() == portNo);
}

void ServerWidget::slotDrawSplitter(int offset)
{
    if (ServerPortWidget *row = lastVisibleRow())
        row->slotDrawPortSplitter(offset);
}

void ServerWidget::slotbtnServerCollapseClick()
{
    setServerCollapse(!m_bCollapsed);
}

void ServerWidget::setServerCollapse(bool bCollapse)
{
    m_bCollapsed = bCollapse;
    if (Settings *s = Settings::instance())
        s->assign(s->serverCollapse(m_strServerId), bCollapse);
    ui->m_btnServerCollapse->setProperty("mandatoryField",
                                         bCollapse ? QStringLiteral("Collapse") : QStringLiteral("Expand"));
    ui->m_btnServerCollapse->style()->unpolish(ui->m_btnServerCollapse);
    ui->m_btnServerCollapse->style()->polish(ui->m_btnServerCollapse);
    const int infoWidth = bCollapse ? CollapsedInfoWidth : InfoWidth;
    ui->m_serverInfo->setFixedWidth(infoWidth);
    ui->m_txtCollapseServername->setVisible(bCollapse);
    ui->m_txtCollapseServername->setMaximumWidth(infoWidth - kCollapsedNameInset);
    ui->m_serverNameWidget->setVisible(!bCollapse);
    ui->ports->setVisible(!bCollapse);
    updateNameLabels();
    updateServerHeight();
}

void ServerWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateNameLabels();
    emit sigChangeUIHeight();
}
