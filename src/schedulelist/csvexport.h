#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class QAbstractItemModel;

// One CSV field: quoted, with its quotes doubled, when it holds a comma, a quote, CR or LF.
QString csvField(const QString &text);

// A header line and the lines of `rows`, each ended by CRLF, encoded as UTF-8.
QByteArray csvDocument(const QStringList &header, const QVector<QStringList> &rows);

// The model's rows as shown (its display texts, in its order) under its horizontal header.
QByteArray csvFromModel(const QAbstractItemModel &model);

// Writes `bytes` to `path` in one piece: the old file stays as it was unless all was written.
// On failure returns false and sets `error` to a text for the operator.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
