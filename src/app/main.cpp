#include "app/appassembly.h"
#include "app/stylesheet.h"
#include "platform/appdatafolder.h"
#include "platform/crashhandler.h"
#include "platform/devicemanager.h"
#include "platform/idbg.h"
#include "platform/instanceguard.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QStyleFactory>

namespace {

const char kInstanceName[] = "{86E0CA89-095C-4F38-9F88-A1514DFBE1D6}";
const char kVersion[] = "1.0.2.644";

// Releases the device manager on every way out of main, exceptions included.
struct DeviceManagerScope
{
    DeviceManagerScope()
    {
        IZqDeviceManager *unused = nullptr;
        CreateDevMgr(&unused, applicationDataFolder().toUtf8().constData(), 30);
    }
    ~DeviceManagerScope() { ReleaseDevMgr(); }
    DeviceManagerScope(const DeviceManagerScope &) = delete;
    DeviceManagerScope &operator=(const DeviceManagerScope &) = delete;
};

} // namespace

int main(int argc, char *argv[])
{
    installCrashHandler();

    // Held for the whole life of the process; the system releases it at exit.
    static InstanceGuard guard(QString::fromLatin1(kInstanceName));
    if (!guard.tryAcquire())
        return 0;

    DeviceManagerScope deviceManager;
    idbg_api("[%04x] INFO <MRL> Started, Version: %s", logTid(), kVersion);

    int exitCode = 0;
    {
        QApplication app(argc, argv);
        // Names and icon let desktops group the window with tarsa.desktop; the data folder
        // does not depend on them.
        QApplication::setOrganizationName(QStringLiteral("Orvane"));
        QApplication::setApplicationName(QStringLiteral("Tarsa"));
        QApplication::setDesktopFileName(QStringLiteral("tarsa"));
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/OXA/tarsa.png")));
        QApplication::setStyle(QStringLiteral("windows"));
        QApplication::setFont(QFont(QStringLiteral("Arial")));

        QApplication::setStyle(QStyleFactory::create(QStringLiteral("fusion")));
        app.setStyleSheet(loadStyleSheet(QStringLiteral(":/OXA/OXA.qss")));
        QApplication::setQuitOnLastWindowClosed(true);

        exitCode = runApplication(app);
    }
    return exitCode;
}
