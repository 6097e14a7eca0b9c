#include "schedulelist/schedulelistmodel.h"

#include "schedulelist/statusgroup.h"

#include <limits>

namespace {

QVariant sortValue(const ScheduleRow &r, int column)
{
    switch (column) {
    case ScheduleListModel::Name:
        return r.name;
    case ScheduleListModel::Server:
        return r.server;
    case ScheduleListModel::Port:
        return r.portNo;
    case ScheduleListModel::Day:
        return r.day.isValid() ? r.day.toJulianDay() : std::numeric_limits<qint64>::min();
    case ScheduleListModel::Start:
        return r.startKey;
    case ScheduleListModel::End:
        return r.endKey;
    case ScheduleListModel::Duration:
        return r.durationFrames;
    case ScheduleListModel::Status:
        // Group first, so that the sub-states of one group stay together.
        return statusGroupRank(statusGroupOf(r.status)) * 100 + r.status;
    case ScheduleListModel::Progress:
        return r.masterProgress;
    default:
        return QVariant();
    }
}

QString displayValue(const ScheduleRow &r, int column)
{
    switch (column) {
    case ScheduleListModel::Name:
        return r.name;
    case ScheduleListModel::Server:
        return r.server;
    case ScheduleListModel::Port:
        return r.port;
    case ScheduleListModel::Day:
        return r.day.toString(QStringLiteral("yyyy/MM/dd"));
    case ScheduleListModel::Start:
        return r.startText;
    case ScheduleListModel::End:
        return r.endText;
    case ScheduleListModel::Duration:
        return r.durationText;
    case ScheduleListModel::Status:
        return r.statusText;
    case ScheduleListModel::Progress:
        return progressText(r.masterProgress, r.proxyProgress);
    default:
        return QString();
    }
}

} // namespace

ScheduleListModel::ScheduleListModel(QObject *parent) : QAbstractTableModel(parent) {}

int ScheduleListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ScheduleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int ScheduleListModel::rowOf(const QString &id) const
{
    const Slot *slot = m_index.value(id, nullptr);
    return slot ? slot->place : -1;
}

QVariant ScheduleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= rowCount())
        return QVariant();
    const ScheduleRow &r = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayValue(r, index.column());
    case SortRole:
        return sortValue(r, index.column());
    case IdRole:
        return r.id;
    case GroupRole:
        return int(statusGroupOf(r.status));
    case Qt::TextAlignmentRole:
        if (index.column() == Progress || index.column() == Duration)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant ScheduleListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return QStringLiteral("Name");
    case Server:
        return QStringLiteral("Server");
    case Port:
        return QStringLiteral("Port");
    case Day:
        return QStringLiteral("Day");
    case Start:
        return QStringLiteral("Start");
    case End:
        return QStringLiteral("End");
    case Duration:
        return QStringLiteral("Duration");
    case Status:
        return QStringLiteral("Status");
    case Progress:
        return QStringLiteral("Progress");
    default:
        return QVariant();
    }
}

void ScheduleListModel::resetRows(const QVector<ScheduleRow> &rows)
{
    beginResetModel();
    m_rows.clear();
    m_index.clear();
    m_rows.reserve(std::size_t(rows.size()));
    m_index.reserve(rows.size());
    for (const ScheduleRow &r : rows) {
        // A repeated id keeps its first place and takes the later values.
        if (Slot *known = m_index.value(r.id, nullptr)) {
            known->row = r;
            continue;
        }
        auto slot = std::make_unique<Slot>();
        slot->row = r;
        slot->place = int(m_rows.size());
        m_index.insert(r.id, slot.get());
        m_rows.push_back(std::move(slot));
    }
    endResetModel();
}

void ScheduleListModel::upsertRow(const ScheduleRow &row)
{
    Slot *known = m_index.value(row.id, nullptr);
    if (!known) {
        const int at = rowCount();
        beginInsertRows(QModelIndex(), at, at);
        auto slot = std::make_unique<Slot>();
        slot->row = row;
        slot->place = at;
        m_index.insert(row.id, slot.get());
        m_rows.push_back(std::move(slot));
        endInsertRows();
        return;
    }
    if (known->row == row)
        return;
    known->row = row;
    emit dataChanged(index(known->place, 0), index(known->place, ColumnCount - 1));
}

bool ScheduleListModel::removeRowById(const QString &id)
{
    const auto known = m_index.constFind(id);
    if (known == m_index.cend())
        return false;
    const int at = (*known)->place;
    beginRemoveRows(QModelIndex(), at, at);
    m_index.erase(known);
    m_rows.erase(m_rows.begin() + at);
    for (std::size_t i = std::size_t(at); i < m_rows.size(); ++i)
        m_rows[i]->place = int(i);
    endRemoveRows();
    return true;
}
