#include "views/linkstatusbar.h"

#include "widgets/elidinglabel.h"

#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

// Room QStatusBar keeps left and right of its message, and a little air before the alert.
constexpr int kMessageMargins = 6 + 12 + 8;
// Where QStatusBar starts its message, and the banner's padding around it.
constexpr int kMessageLeft = 6;
constexpr int kBannerPadding = 8;

QFont bannerFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

} // namespace

LinkStatusBar::LinkStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("m_connectionStatus"));
    setSizeGripEnabled(false);
    setMouseTracking(true); // for the hand over the retry banner

    // However many ports are short of time, the line must not widen the main window.
    m_pAlert = new ElidingLabel(this);
    m_pAlert->setObjectName(QStringLiteral("m_lblRemainAlert"));
    m_pAlert->hide();
    m_pAddress = new QLabel(this);
    m_pAddress->setObjectName(QStringLiteral("m_lblTrxmAddress"));
    m_pLastPush = new QLabel(this);
    m_pLastPush->setObjectName(QStringLiteral("m_lblLastPush"));
    m_pNotice = new QLabel(this);
    m_pNotice->setObjectName(QStringLiteral("m_lblCommandNotice"));
    m_pNotice->setStyleSheet(QStringLiteral("color: rgb(46, 125, 50); font-weight: bold;"));
    m_pNotice->hide();
    m_pNoticeTimer = new QTimer(this);
    m_pNoticeTimer->setSingleShot(true);
    connect(m_pNoticeTimer, &QTimer::timeout, m_pNotice, [this] {
        m_pNotice->clear();
        m_pNotice->hide();
        fitAlert();
    });
    addPermanentWidget(m_pNotice);
    addPermanentWidget(m_pAlert);
    addPermanentWidget(m_pAddress);
    addPermanentWidget(m_pLastPush);

    // Hovering a menu entry shows its (usually empty) status tip in place of the message.
    connect(this, &QStatusBar::messageChanged, this, [this](const QString &message) {
        if (message.isEmpty() && !m_strLinkText.isEmpty())
            showMessage(m_strLinkText);
    });
}

void LinkStatusBar::setLinkText(const QString &text)
{
    m_strLinkText = text;
    if (currentMessage() != text)
        showMessage(text);
    fitAlert();
}

void LinkStatusBar::showNotice(const QString &text, int ms)
{
    m_pNotice->setText(text);
    m_pNotice->setToolTip(text);
    m_pNotice->setVisible(!text.isEmpty());
    m_pNoticeTimer->start(ms);
    fitAlert();
}

QString LinkStatusBar::noticeText() const
{
    return m_pNotice->text();
}

void LinkStatusBar::setLinkAlarm(bool alarm)
{
    if (alarm == m_bLinkAlarm)
        return;
    m_bLinkAlarm = alarm;
    setToolTip(alarm ? QStringLiteral("Click or press F5 to retry now") : QString());
    if (!alarm)
        unsetCursor();
    update();
}

QRect LinkStatusBar::bannerRect() const
{
    if (!m_bLinkAlarm || m_strLinkText.isEmpty())
        return QRect();
    const int textWidth = QFontMetrics(bannerFont(font())).horizontalAdvance(m_strLinkText);
    int right = width() - 12;
    for (const QLabel *label : {m_pNotice, m_pAlert, m_pAddress, m_pLastPush}) {
        if (label->isVisible()) {
            right = std::min(right, label->x() - 2);
            break;
        }
    }
    const int left = kMessageLeft - kBannerPadding / 2;
    return QRect(left, 1, std::max(0, std::min(textWidth + kBannerPadding, right - left)), height() - 2);
}

void LinkStatusBar::paintEvent(QPaintEvent *event)
{
    QStatusBar::paintEvent(event);
    const QRect banner = bannerRect();
    if (banner.isEmpty())
        return;
    // Painted over the plain message, which stays the bar's current message for everyone else.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(198, 40, 40));
    painter.drawRoundedRect(banner, 3, 3);
    painter.setPen(Qt::white);
    painter.setFont(bannerFont(font()));
    painter.drawText(
        banner.adjusted(kBannerPadding / 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(m_strLinkText, Qt::ElideRight, banner.width() - kBannerPadding / 2));
}

void LinkStatusBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && bannerRect().contains(event->pos())) {
        emit sigRetryNow();
        event->accept();
        return;
    }
    QStatusBar::mousePressEvent(event);
}

void LinkStatusBar::mouseMoveEvent(QMouseEvent *event)
{
    if (bannerRect().contains(event->pos()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QStatusBar::mouseMoveEvent(event);
}

void LinkStatusBar::setAddressText(const QString &text)
{
    setLabelText(m_pAddress, text);
}

QString LinkStatusBar::addressText() const
{
    return m_pAddress->text();
}

void LinkStatusBar::setLastPushText(const QString &text)
{
    setLabelText(m_pLastPush, text);
}

QString LinkStatusBar::lastPushText() const
{
    return m_pLastPush->text();
}

void LinkStatusBar::setAlertText(const QString &text)
{
    setLabelText(m_pAlert, text);
    m_pAlert->setToolTip(text);
    m_pAlert->setVisible(!text.isEmpty());
    fitAlert();
}

QString LinkStatusBar::alertText() const
{
    return m_pAlert->text();
}

void LinkStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    fitAlert();
}

void LinkStatusBar::fitAlert()
{
    // The message is drawn left of the first permanent widget: the alert takes what the link text,
    // the address and the last push leave, down to its own minimum.
    const int spacing = std::max(0, layout() ? layout()->spacing() : 0);
    const QFontMetrics metrics = m_bLinkAlarm ? QFontMetrics(bannerFont(font())) : fontMetrics();
    int taken =
        metrics.horizontalAdvance(m_strLinkText) + kMessageMargins + (m_bLinkAlarm ? kBannerPadding : 0);
    for (const QLabel *label : {m_pNotice, m_pAddress, m_pLastPush}) {
        if (!label->isHidden())
            taken += label->sizeHint().width() + spacing;
    }
    m_pAlert->setMaximumWidth(std::max(m_pAlert->minimumSizeHint().width(), width() - taken - spacing));
}

void LinkStatusBar::setLabelText(QLabel *label, const QString &text)
{
    // Set every second; an unchanged text should not relayout the bar.
    if (label->text() != text)
        label->setText(text);
}
