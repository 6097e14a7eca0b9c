#pragma once

#include <QMouseEvent>
#include <QPoint>

// The global position of a mouse event, the same whichever Qt release builds the client
// (Qt 6 dropped globalPos() for globalPosition()).
inline QPoint eventGlobalPos(const QMouseEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}

// The argument type of QWidget::enterEvent, which Qt 6 narrowed to QEnterEvent.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
using WidgetEnterEvent = QEnterEvent;
#else
using WidgetEnterEvent = QEvent;
#endif
