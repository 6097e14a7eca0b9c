#pragma once

#include <QDialog>
#include <QPoint>

// Frameless dialog with a translucent margin carrying a drop shadow, dragged by its body.
// The body (contents rectangle) is painted with the style sheet's FramelessDialog rule, so the
// margin stays see-through.
class FramelessDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FramelessDialog(QWidget *parent, bool keepHelpHint = false);

    bool isDragging() const { return m_bPressed; }

protected:
    // Enter presses the push button that has the focus, as on every desktop; with the focus
    // elsewhere it presses the default button. Called once the form is built.
    void letEnterPressFocusedButton();

    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_bPressed = false;
    QPoint m_ptPressOffset;
};

// Applies the shared frameless look (translucent window, content margins 5, drop shadow) to any
// top-level widget; the splash window uses it too.
void applyFramelessShadow(QWidget *window);

// Where a window whose top-left corner wants to go to wanted ends up when it must stay within screen.
QPoint clampToScreen(const QPoint &wanted, const QSize &windowSize, const QRect &screen);
