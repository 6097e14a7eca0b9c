#include "framelessdialog.h"

#include "eventpos.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOption>

#include <algorithm>

void applyFramelessShadow(QWidget *window)
{
    window->setAttribute(Qt::WA_TranslucentBackground);
    auto *shadow = new QGraphicsDropShadowEffect(window);
    shadow->setBlurRadius(15.0);
    shadow->setColor(Qt::black);
    shadow->setOffset(0, 0);
    window->setGraphicsEffect(shadow);
}

QPoint clampToScreen(const QPoint &wanted, const QSize &windowSize, const QRect &screen)
{
    // A window larger than the screen sticks to its top-left corner rather than flipping sides.
    const int maxX = std::max(screen.left(), screen.left() + screen.width() - windowSize.width());
    const int maxY = std::max(screen.top(), screen.top() + screen.height() - windowSize.height());
    return QPoint(std::clamp(wanted.x(), screen.left(), maxX), std::clamp(wanted.y(), screen.top(), maxY));
}

FramelessDialog::FramelessDialog(QWidget *parent, bool keepHelpHint) : QDialog(parent)
{
    if (!keepHelpHint) {
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        setContentsMargins(5, 5, 5, 5);
    }
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    applyFramelessShadow(this);
}

void FramelessDialog::letEnterPressFocusedButton()
{
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->focusPolicy() != Qt::NoFocus)
            button->setAutoDefault(true);
    }
}

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    m_bPressed = true;
    m_ptPressOffset = eventGlobalPos(event) - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bPressed && event->buttons() != Qt::NoButton) {
        const QPoint wanted = eventGlobalPos(event) - m_ptPressOffset;
        if (wanted.manhattanLength() > QApplication::startDragDistance()) {
            QScreen *scr = screen();
            const QRect area = scr ? scr->geometry() : QRect(QPoint(0, 0), frameGeometry().size());
            move(clampToScreen(wanted, frameGeometry().size(), area));
            m_ptPressOffset = eventGlobalPos(event) - frameGeometry().topLeft();
        }
    }
    QDialog::mouseMoveEvent(event);
}

void FramelessDialog::mouseReleaseEvent(QMouseEvent *event)
{
    m_bPressed = false;
    QDialog::mouseReleaseEvent(event);
}

void FramelessDialog::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    // A translucent window gets no background of its own; paint the body only, from the palette
    // (so it stays opaque without a style sheet) and then from the style sheet's rule.
    QStyleOption opt;
    opt.initFrom(this);
    opt.rect = contentsRect();
    QPainter painter(this);
    painter.fillRect(opt.rect, palette().window());
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &painter, this);
}
