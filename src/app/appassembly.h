#pragma once

class QApplication;

// Puts the running application together around the event loop, runs it and tears the
// objects down in order. Returns the event loop's exit code.
int runApplication(QApplication &app);
