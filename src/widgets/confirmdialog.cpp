#include "confirmdialog.h"
#include "ui_confirmdialog.h"

ConfirmDialog::ConfirmDialog(QWidget *parent) : FramelessDialog(parent), ui(new Ui::ConfirmDialog)
{
    ui->setupUi(this);
    letEnterPressFocusedButton();
    connect(ui->m_btnOK, &QPushButton::clicked, this, &ConfirmDialog::slotBtnOk);
    connect(ui->m_btnNo, &QPushButton::clicked, this, &ConfirmDialog::slotBtnNo);
    connect(ui->m_btnCancel, &QPushButton::clicked, this, &ConfirmDialog::slotBtnCancel);
}

ConfirmDialog::~ConfirmDialog()
{
    delete ui;
}

QString ConfirmDialog::iconStyleSheet(int icon)
{
    switch (icon) {
    case Warning:
        return QStringLiteral("background-image :url(:/OXA/message_warning.png);");
    case Critical:
        return QStringLiteral("background-image :url(:/OXA/message_critical.png);");
    case Information:
        return QStringLiteral("background-image :url(:/OXA/message_information.png);");
    default:
        return QString();
    }
}

void ConfirmDialog::showMessage(const QString &strMsg)
{
    ui->m_labelText->setText(strMsg);
}

void ConfirmDialog::setTitle(const QString &title)
{
    ui->m_lblTitle->setText(title);
    setWindowTitle(title);
}

void ConfirmDialog::setIcon(int icon)
{
    const QString sheet = iconStyleSheet(icon);
    ui->m_icon->setStyleSheet(sheet);
    ui->m_icon->setVisible(!sheet.isEmpty());
}

void ConfirmDialog::setButtonSet(int buttonSet)
{
    bool no = true;
    bool cancel = true;
    bool ok = true;
    // Back to the form's text first, so a dialog used again after a Yes/No question says OK.
    ui->m_btnOK->setText(tr("OK"));
    switch (buttonSet) {
    case YesNo:
        ui->m_btnOK->setText(tr("Yes"));
        cancel = false;
        break;
    case YesNoCancel:
        ui->m_btnOK->setText(tr("Yes"));
        break;
    case OkCancel:
        no = false;
        break;
    case OkOnly:
        no = false;
        cancel = false;
        break;
    case CancelOnly:
        ok = false;
        no = false;
        break;
    default:
        break;
    }
    // Without OK, Enter answers nothing, not even on a focused Cancel.
    ui->m_btnCancel->setAutoDefault(ok);
    ui->m_btnOK->setVisible(ok);
    ui->m_btnNo->setVisible(no);
    ui->m_btnCancel->setVisible(cancel);
}

void ConfirmDialog::prepare(const QString &text, const QString &title, int buttonSet, int icon)
{
    setTitle(title);
    showMessage(text);
    setIcon(icon);
    setButtonSet(buttonSet);
}

int ConfirmDialog::run(const QString &text, const QString &title, int buttonSet, int icon)
{
    prepare(text, title, buttonSet, icon);
    return exec();
}

void ConfirmDialog::slotBtnOk()
{
    // Enter reaches the default button even when it is hidden; a hidden OK must not answer.
    if (ui->m_btnOK->isHidden())
        return;
    done(ResultOk);
}

void ConfirmDialog::slotBtnNo()
{
    done(ResultNo);
}

void ConfirmDialog::slotBtnCancel()
{
    done(ResultCancel);
}
