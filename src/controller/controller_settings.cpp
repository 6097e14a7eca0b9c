#include "controller/maincontroller.h"

#include "dialogs/settingdialog.h"
#include "settings/settings.h"
#include "trx/trxmclient.h"
#include "views/oxamainview.h"

#include <QTime>

void MainController::settingsDialog()
{
    // The dialog writes some values while it is open and the rest on OK.
    const Settings::ChangeWatch watch(*m_pSettings);
    SettingDialog dialog(m_pMainView);
    dialog.fillFrom(*m_pSettings, m_listMgws, QDate::currentDate());
    if (!m_prompts.runSettings || !m_prompts.runSettings(dialog))
        return;

    const QString oldIp = m_pSettings->m_trxmIp;
    const int oldPort = m_pSettings->m_trxmPort;
    const bool dateChanged = dialog.isDateChanged();
    const QDate date = dialog.selectedDate();

    dialog.applyTo(*m_pSettings);

    const int tc = masterPortState().currentTc;
    QTime time;
    if (tc >= 1)
        time = QTime((tc >> 24) & 0xFF, (tc >> 16) & 0xFF, (tc >> 8) & 0xFF);
    m_pSettings->setDateTime(date, time);

    // The date is kept here either way; the operator learns that the manager did not get it (the
    // manager's own date comes back with the next connection).
    if (dateChanged && !refuseWhileLinkDown())
        m_pClient->syncScheduleTime(QString(), 0, date, 2);

    adjustTasksPos();
    if (m_pMainView)
        m_pMainView->updateDate();
    updateMaintenanceTask();

    // A new installation first connects here: a changed address takes effect now, not at the
    // next retry or restart. Queued, so that the dialog is gone before the blocking requests run.
    if (m_pSettings->m_trxmIp != oldIp || m_pSettings->m_trxmPort != oldPort)
        QMetaObject::invokeMethod(this, &MainController::init, Qt::QueuedConnection);
}
