#pragma once

#include "controller/remainalert.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class MainController;
class OXAMainView;

// Keeps the main window's status line and dimming in step with the controller: the manager's
// address, the link state with its retry countdown, the time of the last push and the ports short
// of recording time. It reads the controller once per tick (and when the link state changes), so
// a storm of pushes costs nothing here. Owned by the window it serves.
class LinkStatusPresenter : public QObject
{
    Q_OBJECT

public:
    LinkStatusPresenter(MainController *controller, OXAMainView *view, int tickMs = 1000);

    // When the link came up, as first seen; invalid while disconnected.
    QDateTime connectedSince() const { return m_connectedSince; }

signals:
    // After every refresh: the link state and the ports short of recording time.
    void sigRefreshed(bool connected, const QList<RemainAlert> &alerts);

public slots:
    void refresh();

private:
    void noteLinkState();

    QPointer<MainController> m_pController;
    QPointer<OXAMainView> m_pView;
    QTimer m_ticker;
    QDateTime m_connectedSince;
};
