#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// A strict reader of comma-separated text with quoted fields (CRLF records), independent of the
// writer under test. Sets `ok` to false on a stray quote, a bare CR or LF outside quotes, an
// unterminated field or a missing final CRLF.
inline QVector<QStringList> readCsv(const QString &text, bool *ok)
{
    QVector<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    *ok = false;
    int i = 0;
    const int n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    i += 2;
                    continue;
                }
                quoted = false;
                ++i;
                continue;
            }
            field += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('"')) {
            if (!field.isEmpty() || wasQuoted)
                return {};
            quoted = true;
            wasQuoted = true;
            ++i;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
            wasQuoted = false;
            ++i;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 >= n || text.at(i + 1) != QLatin1Char('\n'))
                return {};
            record << field;
            records << record;
            record.clear();
            field.clear();
            wasQuoted = false;
            i += 2;
        } else if (c == QLatin1Char('\n')) {
            return {};
        } else {
            if (wasQuoted)
                return {};
            field += c;
            ++i;
        }
    }
    if (quoted || !field.isEmpty() || !record.isEmpty())
        return {};
    *ok = true;
    return records;
}
