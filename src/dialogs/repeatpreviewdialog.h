#pragma once

#include "dialogs/repeatrule.h"
#include "widgets/framelessdialog.h"

class QPushButton;
class QTableWidget;

// The occurrences of a repeated schedule with what the checks found for each: the operator
// creates the free ones or cancels, before anything is sent.
class RepeatPreviewDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit RepeatPreviewDialog(const QList<RepeatOccurrence> &occurrences, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_pTable; }

private:
    QTableWidget *m_pTable = nullptr;
    QPushButton *m_pCreate = nullptr;
};
