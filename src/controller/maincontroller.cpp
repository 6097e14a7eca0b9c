#include "controller/maincontroller.h"

#include "controller/portpoller.h"
#include "platform/idbg.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"

#include <QAction>
#include <QFileInfo>
#include <QIcon>

const char MainController::StatusConnecting[] = "Connecting to TRXM...";
const char MainController::StatusInitPorts[] = "Init ports...";
const char MainController::StatusLoadingSchedules[] = "Loading schedules...";

const char MainController::FreshOpenEndRule[] = "%CAMLBL%_%CDATE%_%TCIN%";

void MainController::seedFreshInstallationNames(Settings &settings)
{
    const QString set = QStringLiteral("Set1");
    settings.m_strCurDefaultNameSet = set;
    settings.m_strDefaultOpenEndClipName = QLatin1String(FreshOpenEndRule);
    settings.m_defaultNames.insert(set, qMakePair(QString(), settings.m_strDefaultOpenEndClipName));
}

MainController::MainController(const ControllerOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_linkRetry(options.retry, [this] { return !m_pSettings->m_trxmIp.isEmpty(); })
{
    m_pSettings = new Settings(nullptr);
    const QString file = options.settingsFile.isEmpty()
                             ? Settings::settingsFolder() + QStringLiteral("Settings.xml")
                             : options.settingsFile;
    // A fresh installation gets an open-end rule, so that Start works before anything is set; a
    // file that exists keeps what it holds, an empty rule included.
    if (!QFileInfo::exists(file))
        seedFreshInstallationNames(*m_pSettings);
    m_pSettings->load(file);
    m_pSettings->setWriteBehind(file, options.settingsWriteDelayMs);

    m_pClient = new trx::TRXMClient(this, options.link);
    m_pPoller = new PortPoller(PortPoller::fetchFrom(m_pClient), &m_handOver, options.pollIntervalMs);
    connect(m_pPoller, &PortPoller::polled, this,
            [this](const PortPoller::Answer &answer) { applyPortPoll(answer.states, answer.trains); });

    connect(m_taskMenu.edit(), &QAction::triggered, this, qOverload<>(&MainController::editTask));
    connect(m_taskMenu.remove(), &QAction::triggered, this, qOverload<>(&MainController::removeTask));
    connect(m_taskMenu.stop(), &QAction::triggered, this, &MainController::cancelTask);

    trx::registerRecordMetaTypes();
    registerUsableRangeMetaTypes();
    TimeCode::registerMetaType();
    qRegisterMetaType<QDate>("QDate");
    qRegisterMetaType<ScheduleInfo>("ScheduleInfo");
    qRegisterMetaType<QList<trx::ScheduleInfo>>("QList<trx::ScheduleInfo>");

    connect(this, &MainController::sigUpdateMaintenanceTaskView, this,
            &MainController::updateMaintenanceTaskView, Qt::QueuedConnection);
    connect(this, &MainController::sigClearAllPortViews, this, &MainController::slotClearAllPortViews);

    for (auto it = m_pSettings->m_portInfos.cbegin(); it != m_pSettings->m_portInfos.cend(); ++it) {
        const int proxy = it.value().ProxyPort;
        if (proxy != -1 && proxy != it.key().portNo)
            m_mapProxyPorts.insert(it.key(), proxy);
    }

    connect(&m_linkRetry, &LinkRetry::due, this, &MainController::init);
    connect(&m_linkRetry, &LinkRetry::statusTextChanged, this, &MainController::sigConnectionStatusChanged);
}

MainController::~MainController()
{
    m_linkRetry.cancel();
    stopWorker();
    delete m_pClient;
    m_pClient = nullptr;
    // Work handed over that this thread never ran: dropped under the queue's lock, which orders it
    // after the last hand-over of the stopped threads.
    m_handOver.clear();
    delete m_pPoller;
    m_pPoller = nullptr;
    // Every way out keeps what the operator changed last, not only the window's exit.
    m_pSettings->flush();
    idbg_api("[%04x] INFO <MRL> Exit.", logTid());
    delete m_pSettings;
    m_pSettings = nullptr;
}

void MainController::setMainView(OXAMainView *view)
{
    if (m_pMainView) {
        disconnect(m_pMainView, &OXAMainView::sigDeleteSchedule, this, &MainController::deleteTaskById);
        disconnect(m_pMainView, &OXAMainView::sigUndoMove, this, &MainController::undoScheduleMove);
    }
    m_pMainView = view;
    if (view) {
        connect(view, &OXAMainView::sigDeleteSchedule, this, &MainController::deleteTaskById);
        connect(view, &OXAMainView::sigUndoMove, this, &MainController::undoScheduleMove);
    }
}

void MainController::updateMgw() {}

void MainController::updateTC(QString serverId)
{
    Q_UNUSED(serverId)
}

void MainController::updateDate() {}

void MainController::makeClipDone(QString taskId)
{
    Q_UNUSED(taskId)
}

void MainController::fetchMgwFolders(QString strMgwId, QString strDriveId, QString strParentId)
{
    m_pClient->fetchMgwFolders(strMgwId, strDriveId, strParentId);
}

void MainController::refreshMgws()
{
    m_pClient->getMgws();
}

void MainController::refreshSchedules()
{
    m_pClient->getSchedules();
}
