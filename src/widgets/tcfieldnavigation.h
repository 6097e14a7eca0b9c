#pragma once

#include <QList>

class QLineEdit;

// The two-digit fields of a timecode entry, in their order on screen.

// The next enabled field `step` places away (wrapping round); null when there is none.
QLineEdit *neighbourTcField(const QList<QLineEdit *> &fields, QLineEdit *field, int step);

// Right at a field's end (or in an empty field) moves to the next enabled field; Left or
// Backspace at its start, with nothing selected, to the previous one. True when the key was
// used that way.
bool moveAcrossTcFields(const QList<QLineEdit *> &fields, QLineEdit *field, int key);
