#pragma once

#include <QComboBox>

// A combo box that reports the operator's pick before it is applied: when the list closes with the
// mouse over it, sigProxyPortOnChanged() comes first and the index change follows, so the owner
// can ask for confirmation in between. The list opens just below the box, moved up by the popup
// offset. While open, the dynamic property "ShowPopup" is "Yes" (else "No") for the style sheet.
class ProxyComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit ProxyComboBox(QWidget *parent = nullptr);

    int popupOffset() const { return m_iPopupOffset; }
    void setPopupOffset(int offset) { m_iPopupOffset = offset; }
    bool isPopupShown() const { return m_bPopupShown; }

    void showPopup() override;
    void hidePopup() override;

signals:
    void sigProxyPortOnChanged();

private:
    void setShowPopupProperty(bool shown);

    int m_iPopupOffset = 0;
    bool m_bPopupShown = false;
};
