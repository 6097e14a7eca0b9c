#pragma once

#include <QMenu>
#include <QString>

class QAction;

// A schedule item's context menu: Edit, Delete and Stop, each carrying the schedule's id as its
// data, so that the slot behind an entry knows which schedule it acts on.
class TaskMenu
{
public:
    TaskMenu();

    // Sets the entries up for one schedule; with the link down every entry is disabled and its tool
    // tip says why.
    void prepare(const QString &taskId, bool linkUp, bool editable, bool deletable, bool stoppable);

    QMenu &menu() { return m_menu; }
    QAction *edit() const { return m_pEdit; }
    QAction *remove() const { return m_pDelete; }
    QAction *stop() const { return m_pStop; }

private:
    QMenu m_menu;
    QAction *m_pEdit = nullptr;
    QAction *m_pDelete = nullptr;
    QAction *m_pStop = nullptr;
};
