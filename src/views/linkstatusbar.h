#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;
class QTimer;

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

    // A confirmation of what was just sent, shown for `ms` milliseconds beside the link text.
    void showNotice(const QString &text, int ms = 6000);
    QString noticeText() const;

    // While the manager is away the link text is drawn as a red banner; a click on it asks for the
    // next attempt at once.
    void setLinkAlarm(bool alarm);
    bool isLinkAlarm() const { return m_bLinkAlarm; }
    // Where the banner is drawn (empty while there is none).
    QRect bannerRect() const;

signals:
    void sigRetryNow();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void fitAlert();
    static void setLabelText(QLabel *label, const QString &text);

    QString m_strLinkText;
    bool m_bLinkAlarm = false;
    QLabel *m_pNotice = nullptr;
    QTimer *m_pNoticeTimer = nullptr;
    QLabel *m_pAlert = nullptr;
    QLabel *m_pAddress = nullptr;
    QLabel *m_pLastPush = nullptr;
};
