#include "appassembly.h"

#include "controller/linkstatuspresenter.h"
#include "controller/maincontroller.h"
#include "platform/terminationsignals.h"
#include "notify/desktopnoticesink.h"
#include "notify/noticefeed.h"
#include "notify/noticetray.h"
#include "schedulelist/schedulelistwindow.h"
#include "views/linkstatusbar.h"
#include "views/oxamainview.h"
#include "widgets/splashwindow.h"

#include <QApplication>

AppAssembly::AppAssembly(const ControllerOptions &options) : m_options(options) {}

AppAssembly::~AppAssembly()
{
    teardown();
}

void AppAssembly::assemble()
{
    m_controller = std::make_unique<MainController>(m_options);
    m_view = std::make_unique<OXAMainView>(m_controller.get());
    m_controller->setMainView(m_view.get());

    MainController *controller = m_controller.get();
    OXAMainView *view = m_view.get();
    QObject::connect(view, &OXAMainView::sigNewTask, controller, qOverload<>(&MainController::newTask));
    QObject::connect(view, &OXAMainView::sigDeleteAllSchedules, controller,
                     &MainController::slotRemoveAllTasks);
    QObject::connect(view, &OXAMainView::sigAddSchedules10Per, controller,
                     &MainController::slotAddSchedules10Per);
    QObject::connect(view, &OXAMainView::sigSettings, controller, &MainController::settingsDialog);
    QObject::connect(view, &OXAMainView::sigMtnSetting, controller, &MainController::maintenanceDialog);
    // Owned by the main window and kept up to date from the start, so that it opens at once.
    auto *scheduleList = new ScheduleListWindow(controller, view, view);
    QObject::connect(view, &OXAMainView::sigScheduleList, scheduleList, &ScheduleListWindow::showList);
    // The status line and the dimming of stale timelines; owned by the window.
    auto *presenter = new LinkStatusPresenter(controller, view);
    // The tray shows what the status line shows; notifications go to the desktop, else the tray.
    auto *tray = new NoticeTray(view);
    QObject::connect(
        presenter, &LinkStatusPresenter::sigRefreshed, tray,
        [tray, view](bool connected, const QList<RemainAlert> &alerts) {
            const LinkStatusBar *bar = view->linkStatusBar();
            QStringList lines{bar->linkText(), bar->alertText(), bar->addressText(), bar->lastPushText()};
            lines.removeAll(QString());
            const NoticeTray::State state = !connected         ? NoticeTray::State::Disconnected
                                            : alerts.isEmpty() ? NoticeTray::State::Connected
                                                               : NoticeTray::State::Alert;
            tray->showState(state, lines.join(QLatin1Char('\n')));
        });
    new NoticeFeed(controller, presenter, std::make_unique<DesktopNoticeSink>(tray->trayIcon()), view);

    m_splash = std::make_unique<SplashWindow>();
    m_splash->setWindowFlags(m_splash->windowFlags() | Qt::FramelessWindowHint);
    m_splash->SetStatText(QStringLiteral("Initializing..."));
    m_splash->repaint();
    m_splash->show();

    QObject::connect(controller, &MainController::sigInitStatusChanged, m_splash.get(),
                     &SplashWindow::SetStatText);
    QObject::connect(controller, &MainController::sigInitDone, m_splash.get(), &SplashWindow::slotClose);

    // Queued, so that the splash is painted and the loop runs before the first blocking request.
    QMetaObject::invokeMethod(controller, "init", Qt::QueuedConnection);
}

int AppAssembly::exec()
{
    return QApplication::exec();
}

void AppAssembly::endInOrder()
{
    if (m_bEnding)
        return;
    m_bEnding = true;
    if (m_view)
        m_view->slotExit();
    // Also leaves a dialog's own loop, and ends the program when the window was never shown.
    QCoreApplication::exit(0);
}

void AppAssembly::teardown()
{
    m_splash.reset();
    if (m_controller)
        m_controller->setMainView(nullptr);
    m_view.reset();
    m_controller.reset();
}

int runApplication(QApplication &app)
{
    // Made first and kept until the objects are gone, so a signal during the save or the
    // teardown finds the handler and changes nothing.
    TerminationSignals termination;
    AppAssembly assembly;
    assembly.assemble();
    QObject::connect(&termination, &TerminationSignals::sigTerminate, &app, [&assembly](int sig) {
        qDebug("Signal %d: ending in order", sig);
        assembly.endInOrder();
    });
    const int exitCode = assembly.exec();
    assembly.teardown();
    return exitCode;
}
