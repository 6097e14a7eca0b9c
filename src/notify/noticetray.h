#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

class QWidget;

// The tray icon, where the desktop has a tray: the link state as its colour (green connected, grey
// disconnected, red alert), the status line as its tool tip; a click raises the main window.
class NoticeTray : public QObject
{
    Q_OBJECT

public:
    enum class State { Connected, Disconnected, Alert };

    explicit NoticeTray(QWidget *window);

    QSystemTrayIcon *trayIcon() { return &m_tray; }
    State state() const { return m_state; }

public slots:
    void showState(State state, const QString &toolTip);

private:
    QPointer<QWidget> m_pWindow;
    QSystemTrayIcon m_tray;
    State m_state = State::Disconnected;
    QIcon m_icons[3];
};
