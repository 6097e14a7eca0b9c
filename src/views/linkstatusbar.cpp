#include "views/linkstatusbar.h"

#include "widgets/elidinglabel.h"

#include <QLabel>
#include <QLayout>

#include <algorithm>

namespace {

// Room QStatusBar keeps left and right of its message, and a little air before the alert.
constexpr int kMessageMargins = 6 + 12 + 8;

} // namespace

LinkStatusBar::LinkStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("m_connectionStatus"));
    setSizeGripEnabled(false);

    // However many ports are short of time, the line must not widen the main window.
    m_pAlert = new ElidingLabel(this);
    m_pAlert->setObjectName(QStringLiteral("m_lblRemainAlert"));
    m_pAlert->hide();
    m_pAddress = new QLabel(this);
    m_pAddress->setObjectName(QStringLiteral("m_lblTrxmAddress"));
    m_pLastPush = new QLabel(this);
    m_pLastPush->setObjectName(QStringLiteral("m_lblLastPush"));
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
    int taken = fontMetrics().horizontalAdvance(m_strLinkText) + kMessageMargins;
    for (const QLabel *label : {m_pAddress, m_pLastPush})
        taken += label->sizeHint().width() + spacing;
    m_pAlert->setMaximumWidth(std::max(m_pAlert->minimumSizeHint().width(), width() - taken - spacing));
}

void LinkStatusBar::setLabelText(QLabel *label, const QString &text)
{
    // Set every second; an unchanged text should not relayout the bar.
    if (label->text() != text)
        label->setText(text);
}
