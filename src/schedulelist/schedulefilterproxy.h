#pragma once

#include "schedulelist/statusgroup.h"

#include <QSortFilterProxyModel>
#include <QString>

// The schedule list as shown: rows whose name, server or port contains the search text (any case)
// and whose status lies in the chosen group, sorted by the real values of a column.
class ScheduleFilterProxy : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ScheduleFilterProxy(QObject *parent = nullptr);

    QString searchText() const { return m_strSearch; }
    StatusGroup statusGroup() const { return m_group; }

public slots:
    void setSearchText(const QString &text);
    void setStatusGroup(StatusGroup group);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QString m_strSearch;
    StatusGroup m_group = StatusGroup::All;
};
