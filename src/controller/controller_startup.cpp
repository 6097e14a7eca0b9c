#include "controller/maincontroller.h"

#include "controller/portpoller.h"
#include "controller/scheduletexts.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "widgets/confirmdialog.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

// One message for every command refused while the manager is out of reach.
const char kNotConnectedTitle[] = "Information";
const char kNotConnectedText[] = "TRXM is not connected.";

} // namespace

bool MainController::isLinkUp() const
{
    return m_bConnected && m_pClient->isConnected();
}

bool MainController::refuseWhileLinkDown(QWidget *parent)
{
    if (isLinkUp())
        return false;
    if (!m_prompts.confirm)
        return true;
    // A retry that falls due under the message waits for it: init would delete the panel whose
    // button handler is still running.
    m_linkRetry.hold();
    m_prompts.confirm(parent ? parent : static_cast<QWidget *>(m_pMainView), QLatin1String(kNotConnectedText),
                      QLatin1String(kNotConnectedTitle), ConfirmDialog::OkOnly, ConfirmDialog::Information);
    m_linkRetry.release();
    return true;
}

void MainController::retryNow()
{
    if (isLinkUp() || m_bInitializing)
        return;
    m_linkRetry.fireNow();
}

void MainController::init()
{
    m_linkRetry.cancel();

    m_mapServers.clear();
    m_listMgws.clear();
    m_masterPort = trx::ServerPort(QString(), -1);
    // A previous run's success says nothing about this attempt.
    m_bConnected = false;

    connect(this, &MainController::sigServerInfoChanged, this, &MainController::slotServerInfoChanged,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
    connect(this, &MainController::sigReconnectTrxMngSuccess, this,
            &MainController::slotReconnectTrxMngSuccess, Qt::UniqueConnection);

    emit sigInitStatusChanged(QLatin1String(StatusConnecting));

    if (m_pClient->connectToServer(m_pSettings->m_trxmIp, m_pSettings->m_trxmPort) && m_pClient->identify()) {
        m_bConnected = true;
        m_linkRetry.succeeded();
        emit sigInitStatusChanged(QLatin1String(StatusInitPorts));
        // The previous run's panels stay on screen (dimmed) while the manager is away, so the
        // operator keeps the last known picture; they go with the port table only now, so that
        // the rebuild shows each server once.
        clearServerViews();
        if (buildServers())
            m_bHasServers = true;
    }

    m_bInitializing = false;
    startWorker();

    if (m_bConnected) {
        emit sigInitStatusChanged(QLatin1String(StatusLoadingSchedules));
        m_pClient->getSchedules();
    } else {
        initDone();
        m_linkRetry.failed();
    }
}

void MainController::initDone()
{
    showMainWindowFullScreen();
    emit sigInitDone();
}

void MainController::showMainWindowFullScreen()
{
    if (!m_pMainView)
        return;
    if (m_pMainView->isVisible() && m_pMainView->isFullScreen())
        return; // a reload: hiding and showing again would only make the window flicker
    const QRect geometry = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                            : QRect(0, 0, 1605, 580);
    m_pMainView->show();
    m_pMainView->applyTimecodeMode(m_curTc);
    m_pMainView->resize(geometry.width(), geometry.height());
    m_pMainView->showFullScreen();
    m_pMainView->hide();
    m_pMainView->show();
}

void MainController::startWorker()
{
    // Every init run reaches here; the poll needs starting only once.
    if (m_workerThread.isRunning())
        return;
    m_pPoller->moveToThread(&m_workerThread);
    m_pPoller->requestStart();
    m_workerThread.start(QThread::InheritPriority);
}

void MainController::stopWorker()
{
    if (!m_workerThread.isRunning())
        return;
    // A poll waiting for a slow manager gives up before its next request.
    m_workerThread.requestInterruption();
    // The timer lives on the worker thread and may only be stopped there.
    m_pPoller->stopAndWait(m_options.link.requestTimeoutMs + 3000);
    m_workerThread.exit(0);
    if (!m_workerThread.wait(3000)) {
        m_workerThread.terminate();
        m_workerThread.wait();
    }
}

bool MainController::buildServers()
{
    m_pClient->getMgws();
    QVector<trx::ServerInfo> servers;
    m_pClient->getServers(servers);
    for (const trx::ServerInfo &info : qAsConst(servers)) {
        if (info.connected)
            buildServer(info);
        else if (m_pMainView)
            m_pMainView->addDisconnectedServer(info.id, info.name);
    }
    return !servers.isEmpty();
}

void MainController::buildServer(const trx::ServerInfo &info)
{
    const QString id = info.id;
    m_mapServers.insert(id, info);

    trx::ServerSettings &serverSettings = m_mapServerSettings[id];
    m_pClient->getServerSettings(id, serverSettings);
    QVector<trx::RecordTrainInfo> trains;
    m_pClient->getRecordTrains(id, QMap<qint32, QString>(), trains);

    auto *server = new ServerWidget(id, info.name);
    QMap<qint32, trx::PortState> &states = m_mapPortStates[id];
    m_pClient->getPortStates(id, states);

    const QMap<qint32, qint32> cameraTrains = serverSettings.cameraTrains;
    const QList<int> serverPorts = cameraTrains.values();
    server->setServerPorts(serverPorts);

    QList<int> sortedPorts = serverPorts;
    std::sort(sortedPorts.begin(), sortedPorts.end());
    sortedPorts.erase(std::unique(sortedPorts.begin(), sortedPorts.end()), sortedPorts.end());

    QMap<int, PortEntry> &portTable = m_mapPorts[id];
    for (const int port : qAsConst(sortedPorts)) {
        // Several cameras on one train would give one port several rows; the first camera names it.
        const int camera = cameraTrains.key(port);
        auto *row = new ServerPortWidget(port, portRowTitle(port, camera));

        const trx::ServerPort key(id, port);
        auto stored = m_pSettings->m_portInfos.find(key);
        if (stored != m_pSettings->m_portInfos.end() && !serverPorts.contains(stored->ProxyPort))
            stored->ProxyPort = -1;
        // A proxy port the server no longer has is unpaired too, or REC and mark start would still
        // reach for it.
        const auto paired = m_mapProxyPorts.constFind(key);
        if (paired != m_mapProxyPorts.cend() && !serverPorts.contains(*paired))
            m_mapProxyPorts.remove(key);

        row->initPort(id, serverPorts);
        server->addPort(row, server->portWidgets().size());
        portTable[port].widget = row;

        const trx::PortState state = states.value(port);
        row->setRecording(state.stateCode == 1 && state.recording);
        const auto proxy = m_mapProxyPorts.constFind(key);
        if (proxy != m_mapProxyPorts.cend()) {
            const trx::PortState proxyState = states.value(proxy.value());
            row->setProxyRecording(proxyState.stateCode == 1 && proxyState.recording);
        }
    }

    server->loadPortSettings();
    server->setServerCollapse(m_pSettings->m_serverCollapse.value(id, false));
    if (m_pMainView)
        m_pMainView->addServerWidget(server);
    else
        server->deleteLater(); // nowhere to show it; the tables above still describe the server

    connect(server, &ServerWidget::sigNewTask, this, qOverload<QString, int>(&MainController::newTask));
    connect(server, &ServerWidget::sigMarkStart, this, &MainController::markStart);
    connect(server, &ServerWidget::sigMarkEnd, this, &MainController::markEnd);
    connect(server, &ServerWidget::sigSetTC, this, &MainController::setTC);
    connect(server, &ServerWidget::sigSetREC, this, &MainController::setREC);
    connect(server, &ServerWidget::sigRemoveTasks, this, &MainController::slotRemoveTasks);
    connect(server, &ServerWidget::sigProxyPortChanged, this, &MainController::slotProxyPortChanged);
    connect(server, &ServerWidget::sigReSetMasterTc, this, &MainController::slotReSetMasterTc);
    if (m_pMainView) {
        connect(server, &ServerWidget::sigChangeUIHeight, m_pMainView, &OXAMainView::resizeSceneHeight,
                Qt::QueuedConnection);
        connect(server, &ServerWidget::sigDrawPortSplitter, m_pMainView, &OXAMainView::slotDrawPortSplitter);
        connect(server, &ServerWidget::sigClearSplitterLine, m_pMainView,
                &OXAMainView::slotClearSplitterLine);
    }
    connect(this, &MainController::sigServerStatusChanged, server, &ServerWidget::slotServerStatusChanged);
    connect(this, &MainController::sigDifSysFreqServer, server, &ServerWidget::slotDifSysFreqServer);

    m_pClient->registerServerNotifications(id, 129);

    qint32 mode = 0;
    QMap<qint32, qint32> portModes;
    if (m_pClient->getLoopRecMode(id, 255, mode, portModes)) {
        for (auto it = portModes.cbegin(); it != portModes.cend(); ++it)
            m_mapLoopRec.insert(trx::ServerPort(id, it.key()), it.value() == 1);
    }

    m_pClient->startRecord(id, 256);
}

void MainController::clearServerViews()
{
    if (m_pMainView)
        m_pMainView->removeAllServerWidgets();
    m_mapPorts.clear();
}

void MainController::slotServerInfoChanged(const trx::ServerInfo &serverInfo, bool bConnectStateChanged,
                                           bool bAddServer, bool bNameChanged)
{
    if (bAddServer) {
        m_bConnected = true;
        if (!m_mapPorts.contains(serverInfo.id))
            buildServer(serverInfo);
        QMetaObject::invokeMethod(this, &MainController::refreshSchedules, Qt::QueuedConnection);
    } else if (bConnectStateChanged) {
        refreshServer(serverInfo, bConnectStateChanged);
    } else if (bNameChanged) {
        if (m_pMainView) {
            if (ServerWidget *server = m_pMainView->serverWidgets().value(serverInfo.id))
                server->setServerName(serverInfo.name);
        }
    }
}

void MainController::refreshServer(trx::ServerInfo serverInfo, bool bConnectStateChanged)
{
    Q_UNUSED(bConnectStateChanged)
    const QString id = serverInfo.id;
    const bool connected = m_mapServers.value(id).connected;
    if (m_masterPort.serverId == id && m_mapServers.size() == 1 && m_mapServers.firstKey() == id)
        m_bSingle = true;
    emit sigServerStatusChanged(id, connected, m_bSingle);
    if (m_pMainView)
        m_pMainView->setServerConnected(id, connected);
}

void MainController::slotReconnectTrxMngSuccess()
{
    if (buildServers())
        m_bHasServers = true;
    if (!m_bHasServers || !m_pMainView)
        return;
    m_bInitializing = false;
    m_pMainView->show();
    m_pMainView->applyTimecodeMode(m_curTc);
    const QRect geometry = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry()
                                                            : QRect(0, 0, 1605, 580);
    m_pMainView->resize(geometry.width(), geometry.height());
    m_pMainView->showFullScreen();
}

void MainController::onServerInfoPushed(const trx::ServerInfo &info)
{
    const auto known = m_mapServers.constFind(info.id);
    const bool bAddServer = known == m_mapServers.cend();
    // A server that is not connected has no panel to build; it counts as new once it connects.
    if (bAddServer && !info.connected) {
        if (m_pMainView)
            m_pMainView->addDisconnectedServer(info.id, info.name);
        return;
    }
    const bool bConnectChanged = bAddServer ? info.connected : known->connected != info.connected;
    const bool bNameChanged = bAddServer ? !info.name.isEmpty() : known->name != info.name;
    m_mapServers.insert(info.id, info);
    emit sigServerInfoChanged(info, bConnectChanged, bAddServer, bNameChanged);
}

void MainController::onRecordTrainChanged(const QString &serverId, const trx::RecordTrainInfo &train)
{
    const auto master = m_mapServerSettings.constFind(m_masterPort.serverId);
    if (master != m_mapServerSettings.cend() && train.systemFrequency != master->systemFrequency)
        emit sigDifSysFreqServer(serverId);
}

void MainController::onLinkLost()
{
    m_bConnected = false;
    emit mtnDone();
    m_linkRetry.linkLost();
}

int MainController::retryRemainingMs() const
{
    return m_linkRetry.remainingMs();
}
