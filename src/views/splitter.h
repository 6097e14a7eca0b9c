#pragma once

#include <QPoint>
#include <QWidget>

// The 4-pixel drag handle under a port row (and at the foot of a server panel): while the left
// button is held it reports how far the mouse has moved vertically from the press point.
class Splitter : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Height = 4;

    explicit Splitter(QWidget *parent = nullptr);

    bool isPressed() const { return m_bPressed; }

signals:
    void sigSplitterHeightChanged(int offset);
    void sigDrawSplitter(int offset);
    void sigClearSplitterLine();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_bPressed = false;
    QPoint m_ptPress;
};
