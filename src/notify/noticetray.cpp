#include "notify/noticetray.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

QIcon discIcon(const QColor &color)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(3, 3, 26, 26));
    return QIcon(pixmap);
}

} // namespace

NoticeTray::NoticeTray(QWidget *window) : QObject(window), m_pWindow(window)
{
    m_icons[int(State::Connected)] = discIcon(QColor(0x3c, 0xb3, 0x71));
    m_icons[int(State::Disconnected)] = discIcon(QColor(0x80, 0x80, 0x80));
    m_icons[int(State::Alert)] = discIcon(QColor(0xd9, 0x30, 0x30));
    m_tray.setIcon(m_icons[int(m_state)]);
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        QWidget *w = m_pWindow.data();
        if (!w || (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick))
            return;
        if (w->isMinimized())
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
        w->show();
        w->raise();
        w->activateWindow();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray.show();
}

void NoticeTray::showState(State state, const QString &toolTip)
{
    if (state != m_state) {
        m_state = state;
        m_tray.setIcon(m_icons[int(state)]);
    }
    if (m_tray.toolTip() != toolTip)
        m_tray.setToolTip(toolTip);
}
