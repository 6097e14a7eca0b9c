#include "appassembly.h"

#include <QApplication>
#include <QMainWindow>

int runApplication(QApplication &app)
{
    // The controller and the real main window take this place once they exist.
    QMainWindow window;
    window.setObjectName(QStringLiteral("OXAMainView"));
    window.setWindowTitle(QStringLiteral("Tarsa"));
    window.resize(1280, 800);
    window.show();
    return app.exec();
}
