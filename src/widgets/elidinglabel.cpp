#include "widgets/elidinglabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace {

// Enough to tell what the text is about before the ellipsis.
constexpr int kMinimumChars = 16;

} // namespace

ElidingLabel::ElidingLabel(QWidget *parent) : QLabel(parent)
{
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
}

QSize ElidingLabel::minimumSizeHint() const
{
    const QSize full = QLabel::minimumSizeHint();
    const QMargins margins = contentsMargins();
    const int least = margins.left() + margins.right() + 2 * margin() +
                      fontMetrics().averageCharWidth() * kMinimumChars;
    return QSize(std::min(full.width(), least), full.height());
}

QString ElidingLabel::shownText() const
{
    const int width = contentsRect().width() - 2 * margin();
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(0, width));
}

void ElidingLabel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shownText(), foregroundRole());
}
