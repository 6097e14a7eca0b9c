#pragma once

// A MainController with a main window, pointed at the simulator on loopback, with short link
// and retry intervals and a settings file of its own.

#include "simrunner.h"

#include "controller/maincontroller.h"
#include "settings/settings.h"
#include "trx/records.h"
#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

inline SimScenario scenarioFromJson(const char *json)
{
    QString error;
    const std::optional<SimScenario> sc = SimScenario::fromJson(json, &error);
    if (!sc)
        qFatal("scenario: %s", qPrintable(error));
    return *sc;
}

inline ControllerOptions shortIntervals(const QString &settingsFile)
{
    ControllerOptions options;
    options.settingsFile = settingsFile;
    options.link.requestTimeoutMs = 3000;
    options.link.connectTimeoutMs = 1000;
    options.retry.firstDelayMs = 300;
    options.retry.backoffMs = {50, 100, 200};
    options.pollIntervalMs = 50;
    return options;
}

class ControllerHarness
{
public:
    ControllerHarness() : m_settingsFile(m_dir.filePath(QStringLiteral("Settings.xml"))) {}
    ~ControllerHarness()
    {
        if (m_controller)
            m_controller->setMainView(nullptr);
        m_view.reset();
        m_controller.reset();
        m_sim.reset();
    }

    QString settingsFile() const { return m_settingsFile; }

    // Starts the simulator on `port` (0: a free one); true on success.
    bool startSim(const SimScenario &scenario, quint16 port = 0)
    {
        m_sim = std::make_unique<SimRunner>(scenario);
        return m_sim->start(port) != 0;
    }
    void stopSim() { m_sim.reset(); }
    SimRunner *sim() const { return m_sim.get(); }

    // Creates controller and main window; the controller connects to `port` (the simulator's when 0).
    void createController(quint16 port = 0, const std::function<void(ControllerOptions &)> &tweak = {})
    {
        ControllerOptions options = shortIntervals(m_settingsFile);
        if (tweak)
            tweak(options);
        m_controller = std::make_unique<MainController>(options);
        m_view = std::make_unique<OXAMainView>(m_controller.get());
        m_controller->setMainView(m_view.get());
        m_controller->settings()->m_trxmIp = QStringLiteral("127.0.0.1");
        m_controller->settings()->m_trxmPort = port ? port : m_sim->port();
    }

    MainController *controller() const { return m_controller.get(); }
    OXAMainView *view() const { return m_view.get(); }

    QStringList rowTitles(const QString &serverId) const
    {
        QStringList titles;
        if (ServerWidget *server = m_view->serverWidgets().value(serverId)) {
            for (ServerPortWidget *row : server->portWidgets())
                titles << row->title();
        }
        return titles;
    }
    QList<int> rowPorts(const QString &serverId) const
    {
        ServerWidget *server = m_view->serverWidgets().value(serverId);
        return server ? server->portNos() : QList<int>();
    }
    QStringList itemIds(const QString &serverId, int port) const
    {
        // The schedules of the port; the daily maintenance items every port shows are left out.
        ServerPortWidget *row = m_controller->findPortWidget(serverId, port);
        QStringList ids;
        if (row) {
            for (const TimelineItemData &item : row->timeline()->itemsData()) {
                if (!item.maintenance)
                    ids << item.taskId;
            }
        }
        ids.sort();
        return ids;
    }
    // The task's item as its timeline keeps it; null when no row shows it.
    const TimelineItemData *item(const QString &taskId) const
    {
        TimelineWidget *timeline = m_controller->taskTimeline(taskId);
        return timeline ? timeline->itemData(taskId) : nullptr;
    }
    // The widget drawing the task's item now; null while it is out of view.
    TimelineItemWidget *itemWidget(const QString &taskId) const { return m_controller->taskWidget(taskId); }

private:
    QTemporaryDir m_dir;
    QString m_settingsFile;
    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
};
