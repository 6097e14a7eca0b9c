// The schedule list with 10,000 schedules behind a sorted, filtered view: what one push costs
// (a progress change, an added and a removed schedule) next to a full reload.

#include "schedulelist/schedulefilterproxy.h"
#include "schedulelist/schedulelistmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <limits>

namespace {

constexpr int kRows = 10000;
constexpr int kPushes = 2000;

ScheduleRow makeRow(int i)
{
    ScheduleRow r;
    r.id = QStringLiteral("task-%1").arg(i);
    r.name = QStringLiteral("Schedule %1").arg(i * 7919 % kRows);
    r.server = QStringLiteral("Server%1").arg(i % 8);
    r.port = QStringLiteral("Port %1").arg(QChar('A' + i % 8));
    r.portNo = i % 8;
    r.day = QDate(2026, 12, 1).addDays(i % 15);
    const int tc = ((i % 24) << 24) | ((i * 13 % 60) << 16);
    r.startText = QString::number(tc);
    r.startKey = chronoKey(r.day, tc, 0);
    r.endKey = r.startKey + 600;
    r.durationFrames = 600 + i % 100;
    r.status = 1 + i % 8;
    r.masterProgress = i % 101;
    return r;
}

double usPer(qint64 ns, int n)
{
    return double(ns) / 1000.0 / n;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QVector<ScheduleRow> rows;
    for (int i = 0; i < kRows; ++i)
        rows.append(makeRow(i));

    ScheduleListModel model;
    ScheduleFilterProxy proxy;
    proxy.setSourceModel(&model);
    proxy.sort(ScheduleListModel::Start);
    proxy.setSearchText(QStringLiteral("server"));

    QElapsedTimer t;
    t.start();
    model.resetRows(rows);
    const qint64 resetNs = t.nsecsElapsed();

    t.restart();
    for (int k = 0; k < kPushes; ++k) {
        ScheduleRow r = rows.at(k * 37 % kRows);
        r.masterProgress = (r.masterProgress + 1 + k) % 101;
        model.upsertRow(r);
    }
    const qint64 changeNs = t.nsecsElapsed();

    t.restart();
    for (int k = 0; k < kPushes; ++k)
        model.upsertRow(makeRow(kRows + k));
    const qint64 insertNs = t.nsecsElapsed();

    t.restart();
    for (int k = 0; k < kPushes; ++k)
        model.removeRowById(QStringLiteral("task-%1").arg(k * 3));
    const qint64 removeNs = t.nsecsElapsed();

    // The same removals on the model alone: what the id index costs next to the proxy's own work.
    ScheduleListModel bare;
    bare.resetRows(rows);
    t.restart();
    for (int k = 0; k < kPushes; ++k)
        bare.removeRowById(QStringLiteral("task-%1").arg(k * 3));
    const qint64 bareRemoveNs = t.nsecsElapsed();

    const double reset = usPer(resetNs, 1);
    std::printf("schedule list, %d rows, sorted by start and filtered:\n", kRows);
    std::printf("  full reload        %10.1f us\n", reset);
    std::printf("  progress change    %10.1f us per push  (reload / push = %.0f)\n", usPer(changeNs, kPushes),
                reset / usPer(changeNs, kPushes));
    std::printf("  added schedule     %10.1f us per push  (reload / push = %.0f)\n", usPer(insertNs, kPushes),
                reset / usPer(insertNs, kPushes));
    std::printf("  removed schedule   %10.1f us per push  (reload / push = %.0f)\n", usPer(removeNs, kPushes),
                reset / usPer(removeNs, kPushes));
    std::printf("  removed, no view   %10.1f us per push  (share of the removal = %.2f)\n",
                usPer(bareRemoveNs, kPushes), double(bareRemoveNs) / double(removeNs));
    return proxy.rowCount() == model.rowCount() ? 0 : 1;
}
