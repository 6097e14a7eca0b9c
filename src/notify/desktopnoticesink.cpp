#include "notify/desktopnoticesink.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDebug>
#include <QVariantMap>

namespace {

const char kService[] = "org.freedesktop.Notifications";

bool serviceAvailable(const QDBusConnection &bus)
{
    const QDBusConnectionInterface *iface = bus.isConnected() ? bus.interface() : nullptr;
    if (!iface)
        return false;
    const QString service = QLatin1String(kService);
    return iface->isServiceRegistered(service).value() ||
           iface->activatableServiceNames().value().contains(service);
}

} // namespace

DesktopNoticeSink::DesktopNoticeSink(QSystemTrayIcon *tray) : m_pTray(tray) {}

void DesktopNoticeSink::notify(const QString &title, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (serviceAvailable(bus)) {
        QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService),
                                                           QStringLiteral("/org/freedesktop/Notifications"),
                                                           QLatin1String(kService), QStringLiteral("Notify"));
        call << QStringLiteral("Tarsa") << uint(0) << QStringLiteral("tarsa") << title << text
             << QStringList() << QVariantMap() << int(-1);
        // The answer (the notice's id) is of no use; the GUI never waits for the desktop.
        if (bus.send(call))
            return;
    }
    if (m_pTray && m_pTray->isVisible() && QSystemTrayIcon::supportsMessages()) {
        m_pTray->showMessage(title, text);
        return;
    }
    qInfo().noquote() << "notice:" << title << "-" << text;
}
