#pragma once

#include "schedulelist/schedulerow.h"

#include <QObject>
#include <QPointer>

class MainController;
class ScheduleListModel;

// Keeps a schedule list model in step with the controller's task table: one row per task, changed
// row by row as the pushes arrive and rebuilt when the whole list is reloaded.
class ScheduleListFeed : public QObject
{
    Q_OBJECT

public:
    ScheduleListFeed(MainController *controller, ScheduleListModel *model, QObject *parent = nullptr);

    // The row the controller's task `id` shows as; an empty row when it has no such task.
    ScheduleRow rowFor(const QString &id) const;

public slots:
    void reload();
    void taskChanged(const QString &id);
    void taskRemoved(const QString &id);

private:
    QPointer<MainController> m_pController;
    QPointer<ScheduleListModel> m_pModel;
};
