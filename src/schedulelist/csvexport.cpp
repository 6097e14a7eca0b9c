#include "schedulelist/csvexport.h"

#include <QAbstractItemModel>
#include <QSaveFile>

QString csvField(const QString &text)
{
    const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                             text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

namespace {

void appendLine(QString &out, const QStringList &fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        out += csvField(fields.at(i));
    }
    out += QLatin1String("\r\n");
}

} // namespace

QByteArray csvDocument(const QStringList &header, const QVector<QStringList> &rows)
{
    QString out;
    appendLine(out, header);
    for (const QStringList &row : rows)
        appendLine(out, row);
    return out.toUtf8();
}

QByteArray csvFromModel(const QAbstractItemModel &model)
{
    const int columns = model.columnCount();
    QStringList header;
    for (int c = 0; c < columns; ++c)
        header << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    QVector<QStringList> rows;
    rows.reserve(model.rowCount());
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < columns; ++c)
            fields << model.index(r, c).data(Qt::DisplayRole).toString();
        rows.append(fields);
    }
    return csvDocument(header, rows);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2").arg(path, why);
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file name"));
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
