#include "dialogs/repeatpreviewdialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

RepeatPreviewDialog::RepeatPreviewDialog(const QList<RepeatOccurrence> &occurrences, QWidget *parent)
    : FramelessDialog(parent)
{
    setObjectName(QStringLiteral("RepeatPreviewDialog"));
    auto *layout = new QVBoxLayout(this);
    int free = 0;
    for (const RepeatOccurrence &o : occurrences)
        free += o.refusal.isEmpty() ? 1 : 0;
    auto *title =
        new QLabel(QStringLiteral("Repeat Schedule: %1 of %2 free").arg(free).arg(occurrences.size()), this);
    title->setObjectName(QStringLiteral("m_labelRepeatTitle"));
    layout->addWidget(title);

    m_pTable = new QTableWidget(occurrences.size(), 4, this);
    m_pTable->setObjectName(QStringLiteral("m_tableRepeat"));
    m_pTable->setHorizontalHeaderLabels(
        {QStringLiteral("Date"), QStringLiteral("Start"), QStringLiteral("End"), QStringLiteral("Result")});
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < occurrences.size(); ++r) {
        const RepeatOccurrence &o = occurrences.at(r);
        const QStringList cells{o.date.toString(QStringLiteral("yyyy/MM/dd")), o.start, o.end,
                                o.refusal.isEmpty() ? QStringLiteral("free") : o.refusal};
        for (int c = 0; c < cells.size(); ++c)
            m_pTable->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->resizeRowsToContents();
    m_pTable->setTabKeyNavigation(false);
    layout->addWidget(m_pTable);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pCreate = new QPushButton(QStringLiteral("Create"), this);
    m_pCreate->setObjectName(QStringLiteral("m_btnRepeatCreate"));
    m_pCreate->setEnabled(free > 0);
    m_pCreate->setDefault(free > 0);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("m_btnRepeatCancel"));
    buttons->addWidget(m_pCreate);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_pCreate, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    letEnterPressFocusedButton();
    resize(640, 360);
    (free > 0 ? m_pCreate : cancel)->setFocus();
}
