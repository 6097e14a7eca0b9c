#pragma once

#include "schedulelist/schedulerow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QVector>

#include <memory>
#include <vector>

// Every schedule the client knows, one row each, in the order they arrived. Rows are found by id
// through an index, so a push touches one row and never scans the list.
class ScheduleListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, Server, Port, Day, Start, End, Duration, Status, Progress, ColumnCount };
    enum Role {
        // The value a column sorts by: a number for times, days, status and progress, text otherwise.
        SortRole = Qt::UserRole + 1,
        IdRole,
        // The status group (StatusGroup as int) that the status filter matches.
        GroupRole,
    };

    explicit ScheduleListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row (a full reload of the schedule list).
    void resetRows(const QVector<ScheduleRow> &rows);
    // Adds the row, or updates the row with its id; an unchanged row signals nothing.
    void upsertRow(const ScheduleRow &row);
    // False when no row has the id.
    bool removeRowById(const QString &id);

    // -1 when no row has the id.
    int rowOf(const QString &id) const;
    const ScheduleRow &rowAt(int row) const { return m_rows.at(std::size_t(row))->row; }

private:
    // A row with its place in the table. Rows are held by pointer so that a removal moves only
    // pointers and renumbers the places after it, never copying rows or rewriting the index.
    struct Slot
    {
        ScheduleRow row;
        int place = 0;
    };

    std::vector<std::unique_ptr<Slot>> m_rows;
    QHash<QString, Slot *> m_index;
};
