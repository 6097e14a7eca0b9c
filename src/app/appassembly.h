#pragma once

class QApplication;
struct ControllerOptions;

// Puts the running application together around the event loop, runs it and tears the
// objects down in order. Returns the event loop's exit code.
int runApplication(QApplication &app);
// The same with the controller's intervals and settings file given; tests use it.
int runApplication(QApplication &app, const ControllerOptions &options);
