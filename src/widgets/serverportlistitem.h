#pragma once

#include "trx/serverport.h"

#include <QWidget>

namespace Ui {
class ServerPortListItem;
}

// One port in the schedule dialog's port list: a check box and the port's name (elided, with the
// full name as tool tip).
class ServerPortListItem : public QWidget
{
    Q_OBJECT

public:
    ServerPortListItem(const trx::ServerPort &key, const QString &name, bool checked, bool withProxy,
                       QWidget *parent = nullptr);
    ~ServerPortListItem() override;

    const trx::ServerPort &key() const { return m_key; }
    QString name() const { return m_strName; }
    bool withProxy() const { return m_bWithProxy; }
    bool isChecked() const;
    void setChecked(bool checked);

signals:
    void sigWithProxy(bool withProxy, bool checked);

public slots:
    void slotCheckBoxClicked(bool b);

private:
    Ui::ServerPortListItem *ui = nullptr;
    trx::ServerPort m_key;
    QString m_strName;
    bool m_bWithProxy = false;
};
