#include "schedulelist/schedulefilterproxy.h"

#include "schedulelist/schedulelistmodel.h"

ScheduleFilterProxy::ScheduleFilterProxy(QObject *parent) : QSortFilterProxyModel(parent)
{
    setSortRole(ScheduleListModel::SortRole);
    setDynamicSortFilter(true);
}

void ScheduleFilterProxy::setSearchText(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == m_strSearch)
        return;
    m_strSearch = trimmed;
    invalidateFilter();
}

void ScheduleFilterProxy::setStatusGroup(StatusGroup group)
{
    if (group == m_group)
        return;
    m_group = group;
    invalidateFilter();
}

bool ScheduleFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *model = sourceModel();
    if (!model)
        return false;
    if (m_group != StatusGroup::All) {
        const QModelIndex idx = model->index(sourceRow, ScheduleListModel::Status, sourceParent);
        if (model->data(idx, ScheduleListModel::GroupRole).toInt() != int(m_group))
            return false;
    }
    if (m_strSearch.isEmpty())
        return true;
    for (int column : {ScheduleListModel::Name, ScheduleListModel::Server, ScheduleListModel::Port}) {
        const QModelIndex idx = model->index(sourceRow, column, sourceParent);
        if (model->data(idx, Qt::DisplayRole).toString().contains(m_strSearch, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool ScheduleFilterProxy::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    if (a.userType() == QMetaType::QString || b.userType() == QMetaType::QString) {
        const int c = a.toString().compare(b.toString(), Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        return a.toString() < b.toString();
    }
    return a.toLongLong() < b.toLongLong();
}
