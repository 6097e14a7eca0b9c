#include "widgets/serverportlistitem.h"

#include "ui_serverportlistitem.h"

namespace {
constexpr int kNameWidth = 170;
}

ServerPortListItem::ServerPortListItem(const trx::ServerPort &key, const QString &name, bool checked,
                                       bool withProxy, QWidget *parent)
    : QWidget(parent), ui(new Ui::ServerPortListItem), m_key(key), m_strName(name), m_bWithProxy(withProxy)
{
    ui->setupUi(this);
    ui->label->setText(ui->label->fontMetrics().elidedText(name, Qt::ElideRight, kNameWidth));
    ui->label->setToolTip(name);
    ui->checkBox->setChecked(checked);
    connect(ui->checkBox, &QCheckBox::clicked, this, &ServerPortListItem::slotCheckBoxClicked);
}

ServerPortListItem::~ServerPortListItem()
{
    delete ui;
}

bool ServerPortListItem::isChecked() const
{
    return ui->checkBox->isChecked();
}

void ServerPortListItem::setChecked(bool checked)
{
    ui->checkBox->setChecked(checked);
}

void ServerPortListItem::slotCheckBoxClicked(bool b)
{
    ui->checkBox->setChecked(b);
    emit sigWithProxy(m_bWithProxy, b);
}
