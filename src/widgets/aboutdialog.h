#pragma once

#include "widgets/framelessdialog.h"

namespace Ui {
class AboutDialog;
}

class AboutDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent);
    ~AboutDialog() override;

    QString versionText() const;

public slots:
    void slotClose();

private:
    Ui::AboutDialog *ui = nullptr;
};
