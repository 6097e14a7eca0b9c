#pragma once

#include "views/oxamainview.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"

#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QString>
#include <QTest>

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

// Gives `row`'s name field the focus in its window and types `text` over the name, as the operator
// would; false when the field never got the focus.
inline bool typePortName(QWidget *window, ServerPortWidget *row, const QString &text)
{
    // A row added to a window on screen builds its form at the next pass of the event loop.
    row->ensureForm();
    auto *edit = row->findChild<QLineEdit *>(QStringLiteral("m_txtPortName"));
    if (!edit)
        return false;
    window->activateWindow();
    QApplication::setActiveWindow(window);
    edit->setFocus();
    if (!QTest::qWaitFor([edit] { return edit->hasFocus(); }))
        return false;
    edit->selectAll();
    QTest::keyClicks(edit, text);
    return true;
}
