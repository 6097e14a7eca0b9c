#pragma once

#include "controller/controlleroptions.h"

#include <memory>

class MainController;
class OXAMainView;
class QApplication;
class SplashWindow;

// The running application around the event loop: controller, main window and splash, wired
// together, with the controller's start-up queued so that it runs once the loop does.
class AppAssembly
{
public:
    explicit AppAssembly(const ControllerOptions &options = ControllerOptions());
    ~AppAssembly();
    AppAssembly(const AppAssembly &) = delete;
    AppAssembly &operator=(const AppAssembly &) = delete;

    // Creates and connects the objects, shows the splash and queues the controller's init.
    void assemble();
    // Runs the event loop until the last window closes; returns its exit code.
    int exec();
    // Destroys splash, main window and controller, in that order.
    void teardown();
    // Ends the program the way Exit does (settings saved, window closed, event loop left with
    // code 0); for a request from outside such as SIGTERM. Later calls do nothing.
    void endInOrder();

    MainController *controller() const { return m_controller.get(); }
    OXAMainView *view() const { return m_view.get(); }
    SplashWindow *splash() const { return m_splash.get(); }

private:
    ControllerOptions m_options;
    std::unique_ptr<MainController> m_controller;
    std::unique_ptr<OXAMainView> m_view;
    std::unique_ptr<SplashWindow> m_splash;
    bool m_bEnding = false;
};

// Puts the running application together around the event loop, runs it and tears the
// objects down in order. Returns the event loop's exit code.
int runApplication(QApplication &app);
