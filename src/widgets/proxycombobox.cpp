#include "widgets/proxycombobox.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QStyle>

ProxyComboBox::ProxyComboBox(QWidget *parent) : QComboBox(parent)
{
    setProperty("ShowPopup", QStringLiteral("No"));
}

void ProxyComboBox::setShowPopupProperty(bool shown)
{
    setProperty("ShowPopup", shown ? QStringLiteral("Yes") : QStringLiteral("No"));
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void ProxyComboBox::showPopup()
{
    QComboBox::showPopup();
    if (QWidget *frame = view()->parentWidget()) {
        const int top = mapToGlobal(QPoint(0, 0)).y();
        frame->move(frame->x(), top + (height() - 1) - m_iPopupOffset + 6);
    }
    m_bPopupShown = true;
    setShowPopupProperty(true);
}

void ProxyComboBox::hidePopup()
{
    if (m_bPopupShown) {
        const QRect listRect(view()->mapToGlobal(QPoint(0, 0)), view()->size());
        if (listRect.contains(QCursor::pos()))
            emit sigProxyPortOnChanged();
    }
    m_bPopupShown = false;
    setShowPopupProperty(false);
    QComboBox::hidePopup();
}
