#include "schedulelist/schedulelistfeed.h"

#include "controller/maincontroller.h"
#include "controller/schedulechecks.h"
#include "schedulelist/schedulelistmodel.h"
#include "settings/settings.h"

ScheduleListFeed::ScheduleListFeed(MainController *controller, ScheduleListModel *model, QObject *parent)
    : QObject(parent), m_pController(controller), m_pModel(model)
{
    if (!controller)
        return;
    connect(controller, &MainController::sigTaskChanged, this, &ScheduleListFeed::taskChanged);
    connect(controller, &MainController::sigTaskRemoved, this, &ScheduleListFeed::taskRemoved);
    connect(controller, &MainController::sigTasksReset, this, &ScheduleListFeed::reload);
    // A renamed server renames the rows of all its schedules.
    connect(controller, &MainController::sigServerInfoChanged, this,
            [this](const trx::ServerInfo &, bool, bool, bool bNameChanged) {
                if (bNameChanged)
                    reload();
            });
}

ScheduleRow ScheduleListFeed::rowFor(const QString &id) const
{
    if (!m_pController)
        return ScheduleRow();
    const auto task = m_pController->tasks().constFind(id);
    if (task == m_pController->tasks().cend())
        return ScheduleRow();
    const auto server = m_pController->servers().constFind(task->serverId);
    const QString serverName =
        server != m_pController->servers().cend() && !server->name.isEmpty() ? server->name : task->serverId;
    QString portName;
    if (const Settings *settings = m_pController->settings())
        portName = settings->m_portInfos.value(trx::ServerPort(task->serverId, task->port)).PortName;
    ScheduleRow row = scheduleRow(*task, serverName, portLabel(portName, task->port));
    // A proxy copy looks like a second schedule of the same name; say whose copy it is.
    const QString mainId = task->schedule.mainScheduleId;
    if (!mainId.isEmpty()) {
        const auto main = m_pController->tasks().constFind(mainId);
        const QString mainName = main != m_pController->tasks().cend() ? main->schedule.name : mainId;
        row.name += QStringLiteral(" (proxy of '%1')").arg(mainName);
    }
    return row;
}

void ScheduleListFeed::reload()
{
    if (!m_pModel)
        return;
    QVector<ScheduleRow> rows;
    if (m_pController) {
        rows.reserve(m_pController->tasks().size());
        for (auto it = m_pController->tasks().cbegin(); it != m_pController->tasks().cend(); ++it)
            rows.append(rowFor(it.key()));
    }
    m_pModel->resetRows(rows);
}

void ScheduleListFeed::taskChanged(const QString &id)
{
    if (!m_pModel)
        return;
    const ScheduleRow row = rowFor(id);
    if (row.id.isEmpty())
        m_pModel->removeRowById(id);
    else
        m_pModel->upsertRow(row);
}

void ScheduleListFeed::taskRemoved(const QString &id)
{
    if (m_pModel)
        m_pModel->removeRowById(id);
}
