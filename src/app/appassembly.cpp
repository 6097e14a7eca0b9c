#include "appassembly.h"

#include "controller/maincontroller.h"
#include "views/oxamainview.h"
#include "widgets/splashwindow.h"

#include <QApplication>
#include <QStatusBar>

#include <memory>

namespace {

// While the manager cannot be reached the main window says so on its status line; the line
// disappears once the link is back.
void showConnectionStatus(OXAMainView *view, const QString &text)
{
    QStatusBar *bar = view->statusBar();
    bar->setObjectName(QStringLiteral("m_connectionStatus"));
    if (text.isEmpty()) {
        bar->clearMessage();
        bar->hide();
    } else {
        bar->showMessage(text);
        bar->show();
    }
}

} // namespace

int runApplication(QApplication &app)
{
    return runApplication(app, ControllerOptions());
}

int runApplication(QApplication &app, const ControllerOptions &options)
{
    Q_UNUSED(app)
    auto controller = std::make_unique<MainController>(options);
    auto view = std::make_unique<OXAMainView>(controller.get());
    controller->setMainView(view.get());
    view->statusBar()->hide();

    QObject::connect(view.get(), &OXAMainView::sigNewTask, controller.get(),
                     qOverload<>(&MainController::newTask));
    QObject::connect(view.get(), &OXAMainView::sigDeleteAllSchedules, controller.get(),
                     &MainController::slotRemoveAllTasks);
    QObject::connect(view.get(), &OXAMainView::sigAddSchedules10Per, controller.get(),
                     &MainController::slotAddSchedules10Per);
    QObject::connect(controller.get(), &MainController::sigConnectionStatusChanged, view.get(),
                     [v = view.get()](const QString &text) { showConnectionStatus(v, text); });

    auto splash = std::make_unique<SplashWindow>();
    splash->setWindowFlags(splash->windowFlags() | Qt::FramelessWindowHint);
    splash->SetStatText(QStringLiteral("Initializing..."));
    splash->repaint();
    splash->show();

    QObject::connect(controller.get(), &MainController::sigInitStatusChanged, splash.get(),
                     &SplashWindow::SetStatText);
    QObject::connect(controller.get(), &MainController::sigInitDone, splash.get(), &SplashWindow::slotClose);

    // Queued, so that the splash is painted and the loop runs before the first blocking request.
    QMetaObject::invokeMethod(controller.get(), "init", Qt::QueuedConnection);

    const int exitCode = QApplication::exec();

    splash.reset();
    controller->setMainView(nullptr);
    view.reset();
    controller.reset();
    return exitCode;
}
