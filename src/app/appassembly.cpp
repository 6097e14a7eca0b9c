#include "appassembly.h"

#include "views/oxamainview.h"

#include <QApplication>

int runApplication(QApplication &app)
{
    // The controller takes its place around the window once it exists; until then the window
    // shows no servers, as it does when the manager cannot be reached.
    OXAMainView window;
    window.applyTimecodeMode(TimeCode());
    window.show();
    return app.exec();
}
