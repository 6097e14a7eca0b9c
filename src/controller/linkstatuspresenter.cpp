#include "controller/linkstatuspresenter.h"

#include "controller/linkstatustext.h"
#include "controller/maincontroller.h"
#include "controller/remainalert.h"
#include "settings/settings.h"
#include "views/linkstatusbar.h"
#include "views/oxamainview.h"

LinkStatusPresenter::LinkStatusPresenter(MainController *controller, OXAMainView *view, int tickMs)
    : QObject(view), m_pController(controller), m_pView(view)
{
    m_ticker.setInterval(tickMs);
    connect(&m_ticker, &QTimer::timeout, this, &LinkStatusPresenter::refresh);
    // The connect-and-identify step reports "Init ports..." right after the link came up: noted at
    // once, so that "since" is when it came up. The line itself is redrawn once the step is over,
    // when the controller has also scheduled its next attempt.
    connect(controller, &MainController::sigInitStatusChanged, this, &LinkStatusPresenter::noteLinkState);
    connect(controller, &MainController::sigInitStatusChanged, this, &LinkStatusPresenter::refresh,
            Qt::QueuedConnection);
    connect(controller, &MainController::sigInitDone, this, &LinkStatusPresenter::refresh,
            Qt::QueuedConnection);
    connect(controller, &MainController::sigConnectionStatusChanged, this, &LinkStatusPresenter::refresh);
    // The operator need not wait for the countdown once the manager is known to be back.
    connect(view->linkStatusBar(), &LinkStatusBar::sigRetryNow, controller, &MainController::retryNow);
    connect(view, &OXAMainView::sigRetryNow, controller, &MainController::retryNow);
    connect(controller, &MainController::sigOperatorNotice, view->linkStatusBar(),
            [view](const QString &text) { view->linkStatusBar()->showNotice(text); });
    m_ticker.start();
    refresh();
}

void LinkStatusPresenter::refresh()
{
    MainController *controller = m_pController.data();
    OXAMainView *view = m_pView.data();
    if (!controller || !view)
        return;

    noteLinkState();
    const bool connected = controller->isConnected();

    const Settings *settings = controller->settings();
    const QString ip = settings ? settings->m_trxmIp : QString();
    const int port = settings ? settings->m_trxmPort : 0;
    // Dimmed first, so that the line never says "disconnected" over timelines that look live.
    view->setLinkDimmed(!connected);
    LinkStatusBar *bar = view->linkStatusBar();
    const bool addressSet = !ip.trimmed().isEmpty();
    bar->setLinkAlarm(!connected && addressSet);
    bar->setLinkText(linkStateText(connected, m_connectedSince, controller->retryRemainingMs(), addressSet));
    bar->setAddressText(managerAddressText(ip, port));
    bar->setLastPushText(lastPushText(controller->lastPushMs()));
    const QList<RemainAlert> alerts = controller->refreshRemainAlerts();
    bar->setAlertText(remainAlertLine(alerts));
    emit sigRefreshed(connected, alerts);
}

void LinkStatusPresenter::noteLinkState()
{
    const MainController *controller = m_pController.data();
    if (!controller)
        return;
    if (!controller->isConnected())
        m_connectedSince = QDateTime();
    else if (!m_connectedSince.isValid())
        m_connectedSince = QDateTime::currentDateTime();
}
