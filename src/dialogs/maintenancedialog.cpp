#include "maintenancedialog.h"
#include "ui_maintenancedialog.h"

#include "cmn/timecodetext.h"
#include "widgets/confirmdialog.h"

namespace {

const char kExecText[] = "Maintenance Now";

} // namespace

MaintenanceDialog::MaintenanceDialog(QWidget *parent) : FramelessDialog(parent), ui(new Ui::MaintenanceDialog)
{
    ui->setupUi(this);
    letEnterPressFocusedButton();
    connect(ui->m_btnMaintenanceSet, &QPushButton::clicked, this, &MaintenanceDialog::slotBtnMtnSetClicked);
    connect(ui->m_btnClose, &QPushButton::clicked, this, &MaintenanceDialog::slotBtnCancelClicked);
    connect(ui->btnExec, &QPushButton::clicked, this, &MaintenanceDialog::slotBtnMtnClicked);
    connect(ui->m_maintenanceEveryTc, &InputTcWidget::sigTcChanged, this, &MaintenanceDialog::slotTcChanged);
    connect(ui->m_btnTitleClose, &QPushButton::clicked, this, &MaintenanceDialog::slotClose);
    slotTcChanged();
}

MaintenanceDialog::~MaintenanceDialog()
{
    delete ui;
}

void MaintenanceDialog::setMaintenanceTime(int tc)
{
    QString digits = formatPacked(tc);
    digits.remove(QLatin1Char(':')).remove(QLatin1Char(';')).remove(QLatin1Char('-'));
    if (digits.isEmpty())
        digits = QStringLiteral("02000000");
    ui->m_maintenanceEveryTc->setText(digits.left(6));
    // setText() is silent, so the Set button follows by hand.
    slotTcChanged();
}

int MaintenanceDialog::maintenanceTime() const
{
    return static_cast<int>(ui->m_maintenanceEveryTc->value());
}

bool MaintenanceDialog::isSetEnabled() const
{
    return ui->m_btnMaintenanceSet->isEnabled();
}

bool MaintenanceDialog::isExecEnabled() const
{
    return ui->btnExec->isEnabled();
}

void MaintenanceDialog::showConflict(const QString &errorText)
{
    ConfirmDialog message(this);
    message.run(errorText, QStringLiteral("Maintenance Error"), ConfirmDialog::OkOnly,
                ConfirmDialog::Critical);
}

void MaintenanceDialog::slotBtnMtnSetClicked()
{
    emit sigMaintenance(false, maintenanceTime());
}

void MaintenanceDialog::slotBtnCancelClicked()
{
    accept();
}

void MaintenanceDialog::slotBtnMtnClicked()
{
    emit sigMaintenance(true, maintenanceTime());
}

void MaintenanceDialog::slotCloseMtnDialog()
{
    accept();
}

void MaintenanceDialog::slotResetBtnExec()
{
    setEnabled(true);
    ui->btnExec->setText(QLatin1String(kExecText));
    ui->btnExec->setEnabled(true);
}

void MaintenanceDialog::slotTcChanged()
{
    ui->m_btnMaintenanceSet->setEnabled(maintenanceTime() != -1);
}

void MaintenanceDialog::slotClose()
{
    close();
}

void MaintenanceDialog::slotMtnDone()
{
    slotResetBtnExec();
}

void MaintenanceDialog::slotMtnNoDone()
{
    ui->btnExec->setEnabled(false);
    ui->btnExec->setText(QLatin1String(kExecText));
}

void MaintenanceDialog::slotCanMaintenanceNow(bool bCan)
{
    if (bCan)
        slotMtnDone();
    else
        slotMtnNoDone();
}
