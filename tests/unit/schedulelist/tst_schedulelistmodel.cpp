#include "cmn/timecodemode.h"
#include "controller/taskentry.h"
#include "schedulelist/schedulefilterproxy.h"
#include "schedulelist/schedulelistmodel.h"
#include "schedulelist/schedulerow.h"
#include "schedulelist/statusgroup.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

Q_DECLARE_METATYPE(StatusGroup)

namespace {

qint32 packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

struct RowSpec
{
    const char *id;
    const char *name;
    const char *server;
    const char *port;
    int portNo;
    QDate day;
    qint32 startTc;
    qint32 endTc; // -1: open end
    int status;
    int progress;
};

ScheduleRow makeRow(const RowSpec &s)
{
    ScheduleRow r;
    r.id = QString::fromUtf8(s.id);
    r.name = QString::fromUtf8(s.name);
    r.server = QString::fromUtf8(s.server);
    r.port = QString::fromUtf8(s.port);
    r.portNo = s.portNo;
    r.day = s.day;
    r.startText = QStringLiteral("[%1] start").arg(s.day.day());
    r.endText = s.endTc == -1 ? QStringLiteral("--:--:--:--") : QStringLiteral("end");
    r.status = s.status;
    r.masterProgress = s.progress;
    r.startKey = chronoKey(s.day, s.startTc, std::numeric_limits<qint64>::min());
    r.endKey = chronoKey(s.day, s.endTc, std::numeric_limits<qint64>::max());
    // Lengths in whole seconds at 25 frames, enough to order them.
    if (s.endTc != -1)
        r.durationFrames = ((s.endTc >> 16 & 0xff) - (s.startTc >> 16 & 0xff)) * 60 * 25;
    return r;
}

// Chosen so that text order and real order differ in every sortable column.
QVector<ScheduleRow> sampleRows()
{
    return {
        makeRow({"t1",
                 "news",
                 "Alpha",
                 "Port B",
                 1,
                 {2026, 12, 9},
                 packed(10, 0, 0, 0),
                 packed(10, 30, 0, 0),
                 1,
                 9}),
        makeRow({"t2",
                 "Sport",
                 "beta",
                 "Studio",
                 0,
                 {2026, 12, 10},
                 packed(9, 0, 0, 0),
                 packed(9, 5, 0, 0),
                 6,
                 100}),
        makeRow({"t3", "Weather", "Alpha", "Port C", 2, {2026, 12, 9}, packed(2, 0, 0, 0), -1, 3, -1}),
        makeRow({"t4",
                 "late",
                 "Gamma",
                 "Port A",
                 10,
                 {2027, 1, 1},
                 packed(0, 0, 0, 0),
                 packed(0, 10, 0, 0),
                 -3,
                 10}),
        makeRow({"t5",
                 "Talk",
                 "beta",
                 "Port B",
                 1,
                 {2026, 12, 9},
                 packed(23, 59, 59, 24),
                 packed(23, 59, 59, 24),
                 -4,
                 0}),
    };
}

QStringList shownIds(const QAbstractItemModel &m)
{
    QStringList ids;
    for (int r = 0; r < m.rowCount(); ++r)
        ids << m.index(r, 0).data(ScheduleListModel::IdRole).toString();
    return ids;
}

} // namespace

class tst_ScheduleListModel : public QObject
{
    Q_OBJECT

private slots:
    void statusGroups_data();
    void statusGroups();
    void chronoKeyOrder_data();
    void chronoKeyOrder();
    void rowFromTask_data();
    void rowFromTask();
    void filter_data();
    void filter();
    void sortByRealValue_data();
    void sortByRealValue();
    void insertChangeRemoveKeepTheProxyConsistent();
    void changeMovesTheRowInTheSortedView();
    void statusChangeCrossesTheFilter();
    void unchangedRowSignalsNothing();
    void removalKeepsTheIndex();
    void resetReplacesRowsAndKeepsOneRowPerId();
};

void tst_ScheduleListModel::statusGroups_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<StatusGroup>("group");
    QTest::newRow("cancelling counts as cancelled") << -5 << StatusGroup::Cancelled;
    QTest::newRow("cancelled") << -4 << StatusGroup::Cancelled;
    QTest::newRow("rec error") << -2 << StatusGroup::Errors;
    QTest::newRow("unknown error") << -1 << StatusGroup::Errors;
    QTest::newRow("no status") << 0 << StatusGroup::None;
    QTest::newRow("scheduled") << 1 << StatusGroup::Scheduled;
    QTest::newRow("waiting first") << 2 << StatusGroup::Waiting;
    QTest::newRow("waiting last") << 5 << StatusGroup::Waiting;
    QTest::newRow("in progress") << 6 << StatusGroup::InProgress;
    QTest::newRow("completed 8") << 8 << StatusGroup::Completed;
    QTest::newRow("past the table") << 9 << StatusGroup::None;
    QTest::newRow("below the table") << -6 << StatusGroup::None;
}

void tst_ScheduleListModel::statusGroups()
{
    QFETCH(int, status);
    QFETCH(StatusGroup, group);
    QCOMPARE(statusGroupOf(status), group);
}

void tst_ScheduleListModel::chronoKeyOrder_data()
{
    QTest::addColumn<QDate>("earlierDay");
    QTest::addColumn<int>("earlierTc");
    QTest::addColumn<QDate>("laterDay");
    QTest::addColumn<int>("laterTc");
    QTest::newRow("frame 24 before second")
        << QDate(2026, 12, 9) << packed(10, 0, 0, 24) << QDate(2026, 12, 9) << packed(10, 0, 1, 0);
    QTest::newRow("midnight") << QDate(2026, 12, 9) << packed(23, 59, 59, 29) << QDate(2026, 12, 10) << 0;
    QTest::newRow("year end") << QDate(2026, 12, 31) << packed(23, 0, 0, 0) << QDate(2027, 1, 1) << 0;
}

void tst_ScheduleListModel::chronoKeyOrder()
{
    QFETCH(QDate, earlierDay);
    QFETCH(int, earlierTc);
    QFETCH(QDate, laterDay);
    QFETCH(int, laterTc);
    QVERIFY(chronoKey(earlierDay, earlierTc, 0) < chronoKey(laterDay, laterTc, 0));
    QCOMPARE(chronoKey(earlierDay, -1, 7), qint64(7));
    QCOMPARE(chronoKey(QDate(), earlierTc, 7), qint64(7));
}

void tst_ScheduleListModel::rowFromTask_data()
{
    QTest::addColumn<int>("startTc");
    QTest::addColumn<int>("endTc");
    QTest::addColumn<int>("endDays");
    QTest::addColumn<QString>("startText");
    QTest::addColumn<QString>("endText");
    QTest::addColumn<QString>("durationText");
    QTest::addColumn<qint64>("durationFrames");
    QTest::newRow("ten minutes") << packed(10, 0, 0, 0) << packed(10, 10, 0, 0) << 0 << "[5] 10:00:00:00"
                                 << "[5] 10:10:00:00"
                                 << "00:10:00:01" << qint64(10 * 60 * 25 + 1);
    QTest::newRow("across midnight") << packed(23, 59, 0, 0) << packed(0, 1, 0, 0) << 1 << "[5] 23:59:00:00"
                                     << "[6] 00:01:00:00"
                                     << "00:02:00:01" << qint64(2 * 60 * 25 + 1);
    QTest::newRow("open end") << packed(8, 0, 0, 0) << -1 << 0 << "[5] 08:00:00:00"
                              << "--:--:--:--"
                              << "--:--:--:--" << qint64(-1);
}

void tst_ScheduleListModel::rowFromTask()
{
    QFETCH(int, startTc);
    QFETCH(int, endTc);
    QFETCH(int, endDays);
    QFETCH(QString, startText);
    QFETCH(QString, endText);
    QFETCH(QString, durationText);
    QFETCH(qint64, durationFrames);

    TimeCode clock;
    clock.rate.mode = cmn::get_timecode_mode(25, false);
    TaskEntry task;
    task.id = QStringLiteral("id-1");
    task.port = 2;
    task.masterProgress = 40;
    task.proxyProgress = 5;
    task.schedule.id = task.id;
    task.schedule.name = QStringLiteral("Evening news");
    task.schedule.startDate = QDate(2026, 12, 5);
    task.schedule.endDate = QDate(2026, 12, 5).addDays(endDays);
    task.schedule.startTc = startTc;
    task.schedule.endTc = endTc;
    task.schedule.master.status = 3;
    task.start = clock.atPacked(startTc, 0);
    task.end = clock.atPacked(endTc, endDays);

    const ScheduleRow row = scheduleRow(task, QStringLiteral("Server1"), QStringLiteral("Port C"));
    QCOMPARE(row.id, QStringLiteral("id-1"));
    QCOMPARE(row.name, QStringLiteral("Evening news"));
    QCOMPARE(row.server, QStringLiteral("Server1"));
    QCOMPARE(row.port, QStringLiteral("Port C"));
    QCOMPARE(row.portNo, 2);
    QCOMPARE(row.day, QDate(2026, 12, 5));
    QCOMPARE(row.startText, startText);
    QCOMPARE(row.endText, endText);
    QCOMPARE(row.durationText, durationText);
    QCOMPARE(row.durationFrames, durationFrames);
    QCOMPARE(row.statusText, QStringLiteral("Waiting..."));
    QCOMPARE(row.masterProgress, 40);
    QCOMPARE(row.proxyProgress, 5);
    QVERIFY(row.endKey > row.startKey);
}

void tst_ScheduleListModel::filter_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<StatusGroup>("group");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("everything") << "" << StatusGroup::All << QStringList{"t1", "t2", "t3", "t4", "t5"};
    QTest::newRow("name any case") << "NEWS" << StatusGroup::All << QStringList{"t1"};
    QTest::newRow("server any case") << "BETA" << StatusGroup::All << QStringList{"t2", "t5"};
    QTest::newRow("port label") << "port b" << StatusGroup::All << QStringList{"t1", "t5"};
    QTest::newRow("port by custom name") << "studio" << StatusGroup::All << QStringList{"t2"};
    QTest::newRow("surrounding blanks ignored") << "  gamma " << StatusGroup::All << QStringList{"t4"};
    QTest::newRow("no match") << "zzz" << StatusGroup::All << QStringList{};
    QTest::newRow("scheduled") << "" << StatusGroup::Scheduled << QStringList{"t1"};
    QTest::newRow("waiting") << "" << StatusGroup::Waiting << QStringList{"t3"};
    QTest::newRow("in progress") << "" << StatusGroup::InProgress << QStringList{"t2"};
    QTest::newRow("completed none") << "" << StatusGroup::Completed << QStringList{};
    QTest::newRow("errors") << "" << StatusGroup::Errors << QStringList{"t4"};
    QTest::newRow("cancelled") << "" << StatusGroup::Cancelled << QStringList{"t5"};
    QTest::newRow("text and status together") << "beta" << StatusGroup::Cancelled << QStringList{"t5"};
    QTest::newRow("text and status exclude") << "alpha" << StatusGroup::Cancelled << QStringList{};
}

void tst_ScheduleListModel::filter()
{
    QFETCH(QString, search);
    QFETCH(StatusGroup, group);
    QFETCH(QStringList, ids);
    ScheduleListModel model;
    model.resetRows(sampleRows());
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.setSearchText(search);
    proxy.setStatusGroup(group);
    QStringList shown = shownIds(proxy);
    shown.sort();
    QCOMPARE(shown, ids);
}

void tst_ScheduleListModel::sortByRealValue_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("name ignores case")
        << int(ScheduleListModel::Name) << Qt::AscendingOrder << QStringList{"t4", "t1", "t2", "t5", "t3"};
    QTest::newRow("server ignores case")
        << int(ScheduleListModel::Server) << Qt::AscendingOrder << QStringList{"t1", "t3", "t2", "t5", "t4"};
    QTest::newRow("port by number") << int(ScheduleListModel::Port) << Qt::AscendingOrder
                                    << QStringList{"t2", "t1", "t5", "t3", "t4"};
    QTest::newRow("day chronological")
        << int(ScheduleListModel::Day) << Qt::AscendingOrder << QStringList{"t1", "t3", "t5", "t2", "t4"};
    QTest::newRow("start: day 9 before day 10")
        << int(ScheduleListModel::Start) << Qt::AscendingOrder << QStringList{"t3", "t1", "t5", "t2", "t4"};
    QTest::newRow("start descending")
        << int(ScheduleListModel::Start) << Qt::DescendingOrder << QStringList{"t4", "t2", "t5", "t1", "t3"};
    QTest::newRow("end: open end last")
        << int(ScheduleListModel::End) << Qt::AscendingOrder << QStringList{"t1", "t5", "t2", "t4", "t3"};
    QTest::newRow("duration numeric") << int(ScheduleListModel::Duration) << Qt::AscendingOrder
                                      << QStringList{"t3", "t5", "t2", "t4", "t1"};
    QTest::newRow("status in lifecycle order")
        << int(ScheduleListModel::Status) << Qt::AscendingOrder << QStringList{"t1", "t3", "t2", "t5", "t4"};
    QTest::newRow("progress numeric, 9 before 10 before 100")
        << int(ScheduleListModel::Progress) << Qt::AscendingOrder
        << QStringList{"t3", "t5", "t1", "t4", "t2"};
}

void tst_ScheduleListModel::sortByRealValue()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, ids);
    ScheduleListModel model;
    model.resetRows(sampleRows());
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.sort(column, order);
    QCOMPARE(shownIds(proxy), ids);
}

void tst_ScheduleListModel::insertChangeRemoveKeepTheProxyConsistent()
{
    ScheduleListModel model;
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    // The tester checks every signal's bookkeeping on both models and fails the test on a breach.
    QAbstractItemModelTester modelTester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester proxyTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.sort(ScheduleListModel::Start);
    proxy.setSearchText(QStringLiteral("a"));

    const QVector<ScheduleRow> rows = sampleRows();
    for (const ScheduleRow &r : rows)
        model.upsertRow(r);
    QCOMPARE(model.rowCount(), 5);
    // Check the proxy against a plain count of the rows the search text matches.
    int expected = 0;
    for (const ScheduleRow &r : rows) {
        if (r.name.contains('a', Qt::CaseInsensitive) || r.server.contains('a', Qt::CaseInsensitive) ||
            r.port.contains('a', Qt::CaseInsensitive))
            ++expected;
    }
    QCOMPARE(proxy.rowCount(), expected);

    ScheduleRow changed = rows.at(1);
    changed.masterProgress = 55;
    model.upsertRow(changed);
    model.removeRowById(QStringLiteral("t3"));
    model.removeRowById(QStringLiteral("t1"));
    model.resetRows(rows.mid(2));
    QCOMPARE(shownIds(model), (QStringList{"t3", "t4", "t5"}));
    QCOMPARE(proxy.rowCount(), 3);
}

void tst_ScheduleListModel::changeMovesTheRowInTheSortedView()
{
    ScheduleListModel model;
    model.resetRows(sampleRows());
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.sort(ScheduleListModel::Progress);
    QCOMPARE(shownIds(proxy).last(), QStringLiteral("t2"));

    ScheduleRow t2 = model.rowAt(model.rowOf(QStringLiteral("t2")));
    t2.masterProgress = 1;
    model.upsertRow(t2);
    QCOMPARE(shownIds(proxy), (QStringList{"t3", "t5", "t2", "t1", "t4"}));
    QCOMPARE(proxy.index(2, ScheduleListModel::Progress).data().toString(), QStringLiteral("1%"));
}

void tst_ScheduleListModel::statusChangeCrossesTheFilter()
{
    ScheduleListModel model;
    model.resetRows(sampleRows());
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.setStatusGroup(StatusGroup::Completed);
    QCOMPARE(proxy.rowCount(), 0);

    ScheduleRow t2 = model.rowAt(model.rowOf(QStringLiteral("t2")));
    t2.status = 8;
    model.upsertRow(t2);
    QCOMPARE(shownIds(proxy), QStringList{"t2"});
    t2.status = -2;
    model.upsertRow(t2);
    QCOMPARE(proxy.rowCount(), 0);
}

void tst_ScheduleListModel::unchangedRowSignalsNothing()
{
    ScheduleListModel model;
    model.resetRows(sampleRows());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.upsertRow(sampleRows().at(3));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(inserted.count(), 0);

    ScheduleRow renamed = sampleRows().at(3);
    renamed.name = QStringLiteral("renamed");
    model.upsertRow(renamed);
    QCOMPARE(changed.count(), 1);
    const QModelIndex first = changed.at(0).at(0).value<QModelIndex>();
    const QModelIndex last = changed.at(0).at(1).value<QModelIndex>();
    QCOMPARE(first.row(), 3);
    QCOMPARE(last.row(), 3);
    QCOMPARE(last.column(), ScheduleListModel::ColumnCount - 1);
    QCOMPARE(model.index(3, ScheduleListModel::Name).data().toString(), QStringLiteral("renamed"));
}

void tst_ScheduleListModel::removalKeepsTheIndex()
{
    ScheduleListModel model;
    model.resetRows(sampleRows());
    QVERIFY(!model.removeRowById(QStringLiteral("nope")));
    QVERIFY(model.removeRowById(QStringLiteral("t2")));
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.rowOf(QStringLiteral("t2")), -1);
    for (int r = 0; r < model.rowCount(); ++r)
        QCOMPARE(model.rowOf(model.rowAt(r).id), r);

    // A later change of a row that moved up lands on that row, not on its old place.
    ScheduleRow t5 = model.rowAt(model.rowOf(QStringLiteral("t5")));
    t5.name = QStringLiteral("moved");
    model.upsertRow(t5);
    QCOMPARE(model.index(3, ScheduleListModel::Name).data().toString(), QStringLiteral("moved"));
    QCOMPARE(model.index(2, ScheduleListModel::Name).data().toString(), QStringLiteral("late"));
}

void tst_ScheduleListModel::resetReplacesRowsAndKeepsOneRowPerId()
{
    ScheduleListModel model;
    model.resetRows(sampleRows());
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QVector<ScheduleRow> rows = {sampleRows().at(4), sampleRows().at(0), sampleRows().at(4)};
    rows[2].name = QStringLiteral("later copy");
    model.resetRows(rows);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(shownIds(model), (QStringList{"t5", "t1"}));
    QCOMPARE(model.rowAt(0).name, QStringLiteral("later copy"));
    QCOMPARE(model.rowOf(QStringLiteral("t1")), 1);
    QCOMPARE(model.rowOf(QStringLiteral("t2")), -1);
}

QTEST_GUILESS_MAIN(tst_ScheduleListModel)
#include "tst_schedulelistmodel.moc"
