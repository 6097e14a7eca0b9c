#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;

// The main window's status line: the state of the link to the manager on the left, and to the
// right the ports short of recording time, the manager's address and the time of the last push.
// The link text stays put: a status tip that clears the message brings it back.
class LinkStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit LinkStatusBar(QWidget *parent = nullptr);

    void setLinkText(const QString &text);
    QString linkText() const { return m_strLinkText; }
    void setAddressText(const QString &text);
    QString addressText() const;
    void setLastPushText(const QString &text);
    QString lastPushText() const;
    // Hidden while empty.
    void setAlertText(const QString &text);
    QString alertText() const;

    QLabel *alertLabel() const { return m_pAlert; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitAlert();
    static void setLabelText(QLabel *label, const QString &text);

    QString m_strLinkText;
    QLabel *m_pAlert = nullptr;
    QLabel *m_pAddress = nullptr;
    QLabel *m_pLastPush = nullptr;
};
