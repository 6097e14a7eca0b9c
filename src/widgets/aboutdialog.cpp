#include "aboutdialog.h"
#include "ui_aboutdialog.h"

AboutDialog::AboutDialog(QWidget *parent) : FramelessDialog(parent), ui(new Ui::AboutDialog)
{
    ui->setupUi(this);
    ui->m_lblSystemVer->setText(QStringLiteral("Version ") + QLatin1String(TARSA_VERSION));
    connect(ui->m_btnClose, &QPushButton::clicked, this, &AboutDialog::slotClose);
}

AboutDialog::~AboutDialog()
{
    delete ui;
}

QString AboutDialog::versionText() const
{
    return ui->m_lblSystemVer->text();
}

void AboutDialog::slotClose()
{
    close();
}
