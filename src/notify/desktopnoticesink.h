#pragma once

#include "notify/noticesink.h"

#include <QPointer>
#include <QSystemTrayIcon>

// Sends notifications to the desktop's notification service over D-Bus; where the desktop has
// none, shows them as the tray icon's messages; with neither, only logs them.
class DesktopNoticeSink : public NoticeSink
{
public:
    explicit DesktopNoticeSink(QSystemTrayIcon *tray = nullptr);

    void notify(const QString &title, const QString &text) override;

private:
    QPointer<QSystemTrayIcon> m_pTray;
};
