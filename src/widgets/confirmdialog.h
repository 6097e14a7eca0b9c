#pragma once

#include "widgets/framelessdialog.h"

namespace Ui {
class ConfirmDialog;
}

// The one message box for every question and error: a title, an icon, a text and up to three
// buttons. The modal result is 1 for OK/Yes, 2 for No and 0 for Cancel or closing.
class ConfirmDialog : public FramelessDialog
{
    Q_OBJECT

public:
    enum Icon { NoIcon = 0, Warning = 1, Critical = 2, Information = 3 };
    enum ButtonSet { YesNo = 0, YesNoCancel = 1, OkCancel = 2, OkOnly = 3, CancelOnly = 4, AsDesigned = 5 };
    enum Result { ResultCancel = 0, ResultOk = 1, ResultNo = 2 };

    explicit ConfirmDialog(QWidget *parent);
    ~ConfirmDialog() override;

    // Shows the dialog modally with the given text, title, button set and icon; returns the result.
    int run(const QString &text, const QString &title, int buttonSet, int icon);
    // The same set-up without running, for callers that show the dialog themselves.
    void prepare(const QString &text, const QString &title, int buttonSet, int icon);

    void showMessage(const QString &strMsg);
    void setTitle(const QString &title);
    void setIcon(int icon);
    void setButtonSet(int buttonSet);

    // The icon label's style sheet for an icon number; empty for "none" and unknown numbers.
    static QString iconStyleSheet(int icon);

public slots:
    void slotBtnOk();
    void slotBtnNo();
    void slotBtnCancel();

private:
    Ui::ConfirmDialog *ui = nullptr;
};
