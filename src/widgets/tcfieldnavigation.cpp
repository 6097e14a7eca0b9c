#include "widgets/tcfieldnavigation.h"

#include <QLineEdit>

QLineEdit *neighbourTcField(const QList<QLineEdit *> &fields, QLineEdit *field, int step)
{
    const int count = fields.size();
    const int index = fields.indexOf(field);
    if (index < 0)
        return nullptr;
    for (int i = 1; i < count; ++i) {
        QLineEdit *candidate = fields.at(((index + step * i) % count + count) % count);
        if (candidate->isEnabled())
            return candidate;
    }
    return nullptr;
}

bool moveAcrossTcFields(const QList<QLineEdit *> &fields, QLineEdit *field, int key)
{
    if (key == Qt::Key_Right && (field->cursorPosition() == 2 || field->text().isEmpty())) {
        if (QLineEdit *next = neighbourTcField(fields, field, 1)) {
            next->setFocus(Qt::OtherFocusReason);
            next->setCursorPosition(0);
        }
        return true;
    }
    if ((key == Qt::Key_Left || key == Qt::Key_Backspace) && field->cursorPosition() == 0 &&
        !field->hasSelectedText()) {
        if (QLineEdit *previous = neighbourTcField(fields, field, -1)) {
            previous->setFocus(Qt::OtherFocusReason);
            previous->end(false);
        }
        return true;
    }
    return false;
}
