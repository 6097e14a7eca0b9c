#include "painttcscale.h"

#include "views/scalelabels.h"

#include <QPainter>
#include <QStyleOption>

#include <cmath>

namespace {
const int kTickHeight = 8;
const int kTextBaseline = 18;
} // namespace

PaintTcScale::PaintTcScale(QWidget *parent) : QWidget(parent) {}

void PaintTcScale::setLabels(const QMap<int, QString> &labels)
{
    m_mapLabels = labels;
    update();
}

void PaintTcScale::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QStyleOption opt;
    opt.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &opt, &painter, this);
    painter.setPen(QColor(201, 201, 201));
    if (m_mapLabels.isEmpty())
        return;

    const QFontMetrics metrics(font());
    const int h = height();
    const int w = width();
    const QRect firstRect = metrics.boundingRect(m_mapLabels.first());
    const int stride = scaleLabelStride(m_mapLabels.size(), firstRect.right() - firstRect.left(), w);

    int index = 0;
    for (auto it = m_mapLabels.cbegin(); it != m_mapLabels.cend(); ++it, ++index) {
        if (index % stride != 0)
            continue;
        const int x = it.key();
        const QRect rect = metrics.boundingRect(it.value());
        const double labelWidth = rect.right() - rect.left();
        if (x < 0 || x > w - kScaleRightReserve || x < 0.5 * labelWidth)
            continue;
        const int tickX = x + kScaleTimelineLeft;
        painter.drawLine(tickX, h - kTickHeight, tickX, h);
        painter.drawText(int(std::trunc(tickX - 0.5 * labelWidth)), kTextBaseline, it.value());
    }
}
