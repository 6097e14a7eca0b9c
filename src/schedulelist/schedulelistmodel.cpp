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
    return parent.isValid() ? 0 : m_rows.size();
}

int ScheduleListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ScheduleListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return QVariant();
    const ScheduleRow &r = m_rows.at(index.row());
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
    m_rows.reserve(rows.size());
    m_index.reserve(rows.size());
    for (const ScheduleRow &r : rows) {
        // A repeated id keeps its first place and takes the later values.
        const auto known = m_index.constFind(r.id);
        if (known != m_index.cend()) {
            m_rows[*known] = r;
            continue;
        }
        m_index.insert(r.id, m_rows.size());
        m_rows.append(r);
    }
    endResetModel();
}

void ScheduleListModel::upsertRow(const ScheduleRow &row)
{
    const auto known = m_index.constFind(row.id);
    if (known == m_index.cend()) {
        const int at = m_rows.size();
        beginInsertRows(QModelIndex(), at, at);
        m_rows.append(row);
        m_index.insert(row.id, at);
        endInsertRows();
        return;
    }
    const int at = *known;
    if (m_rows.at(at) == row)
        return;
    m_rows[at] = row;
    emit dataChanged(index(at, 0), index(at, ColumnCount - 1));
}

bool ScheduleListModel::removeRowById(const QString &id)
{
    const auto known = m_index.constFind(id);
    if (known == m_index.cend())
        return false;
    const int at = *known;
    beginRemoveRows(QModelIndex(), at, at);
    m_rows.remove(at);
    m_index.remove(id);
    // Only the rows after it move up; removals are rare next to progress changes.
    for (int i = at; i < m_rows.size(); ++i)
        m_index[m_rows.at(i).id] = i;
    endRemoveRows();
    return true;
}
