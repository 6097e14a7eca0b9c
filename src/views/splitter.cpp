#include "views/splitter.h"

#include <QMouseEvent>

Splitter::Splitter(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(Height);
    setCursor(Qt::SplitVCursor);
    installEventFilter(this);
}

bool Splitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton) {
            m_bPressed = true;
            m_ptPress = e->pos();
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (m_bPressed) {
            const int offset = e->pos().y() - m_ptPress.y();
            emit sigDrawSplitter(offset);
            emit sigSplitterHeightChanged(offset);
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_bPressed)
            emit sigClearSplitterLine();
        m_bPressed = false;
        m_ptPress = QPoint();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
