#pragma once

#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"

#include <QList>
#include <QString>

// A server panel with `ports` rows (ports 0.. with their default names), added to the window as
// the controller would add it.
inline ServerWidget *addServerPanel(OXAMainView *view, const QString &id, int ports)
{
    auto *server = new ServerWidget(id, id);
    QList<int> numbers;
    for (int p = 0; p < ports; ++p)
        numbers.append(p);
    server->setServerPorts(numbers);
    for (int p = 0; p < ports; ++p) {
        auto *row = new ServerPortWidget(p, ServerPortWidget::defaultPortName(p));
        row->initPort(id, numbers);
        server->addPort(row, p);
    }
    server->loadPortSettings();
    view->addServerWidget(server);
    return server;
}
