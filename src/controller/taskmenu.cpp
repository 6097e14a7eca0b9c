#include "controller/taskmenu.h"

#include <QAction>
#include <QIcon>

TaskMenu::TaskMenu()
{
    m_pEdit = m_menu.addAction(QIcon(QStringLiteral(":/OXA/edit")), QStringLiteral("Edit"));
    m_pDelete = m_menu.addAction(QIcon(QStringLiteral(":/OXA/delete")), QStringLiteral("Delete"));
    m_pStop = m_menu.addAction(QIcon(QStringLiteral(":/OXA/cancel")), QStringLiteral("Stop"));
}

void TaskMenu::prepare(const QString &taskId, bool linkUp, bool editable, bool deletable, bool stoppable)
{
    for (QAction *action : {m_pEdit, m_pDelete, m_pStop})
        action->setData(taskId);
    m_pEdit->setEnabled(linkUp && editable);
    m_pDelete->setEnabled(linkUp && deletable);
    m_pStop->setEnabled(linkUp && stoppable);
    // With the manager away nothing could be sent: the menu says so before anything is asked.
    for (QAction *action : {m_pEdit, m_pDelete, m_pStop})
        action->setToolTip(linkUp ? action->text() : QStringLiteral("TRXM is not connected."));
    m_menu.setToolTipsVisible(!linkUp);
}
