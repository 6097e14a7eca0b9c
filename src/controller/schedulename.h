#pragma once

#include <QString>

class QDate;
struct TimeCode;

// Default schedule names: a rule is operator text with the placeholders %CAMLBL%, %CDATE% and
// %TCIN% (any letter case). These are pure functions; the controller supplies the values.

// Expands the placeholders of rule and returns at most 32 characters. A '%' that opens no
// placeholder stays in the text; expansion stops after 32 '%' pairs.
QString expandScheduleName(const QString &rule, const QString &camLabel, const QDate &startDate,
                           const QString &tcInDigits);

// The port's name, or "Port A", "Port B", ... by port number when it has none.
QString cameraLabel(const QString &portName, int portNo);

// Timecode text with its ':' and ';' separators removed, e.g. "10203004".
QString tcInDigits(const QString &tcText);
QString tcInDigits(const TimeCode &tc);
