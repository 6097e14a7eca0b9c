#include "schedulelist/schedulerow.h"

#include "cmn/timecodemode.h"
#include "controller/scheduletexts.h"
#include "controller/taskentry.h"

#include <limits>

bool ScheduleRow::operator==(const ScheduleRow &o) const
{
    return id == o.id && name == o.name && server == o.server && port == o.port && portNo == o.portNo &&
           day == o.day && startText == o.startText && endText == o.endText &&
           durationText == o.durationText && statusText == o.statusText && status == o.status &&
           masterProgress == o.masterProgress && proxyProgress == o.proxyProgress && startKey == o.startKey &&
           endKey == o.endKey && durationFrames == o.durationFrames;
}

qint64 chronoKey(const QDate &date, qint32 packedTc, qint64 missing)
{
    if (!date.isValid() || packedTc == -1)
        return missing;
    return date.toJulianDay() * (qint64(1) << 32) + quint32(packedTc);
}

ScheduleRow scheduleRow(const TaskEntry &task, const QString &server, const QString &port)
{
    const trx::ScheduleInfo &sch = task.schedule;
    const ScheduleTexts texts = scheduleTexts(sch, task.start, task.end);
    ScheduleRow row;
    row.id = task.id;
    row.name = texts.label;
    row.server = server;
    row.port = port;
    row.portNo = task.port;
    row.day = sch.startDate;
    row.startText = texts.start;
    row.endText = texts.end;
    row.durationText = texts.duration;
    row.statusText = texts.status;
    row.status = sch.master.status;
    row.masterProgress = task.masterProgress;
    row.proxyProgress = task.proxyProgress;
    row.startKey = chronoKey(sch.startDate, sch.startTc, std::numeric_limits<qint64>::min());
    row.endKey = chronoKey(sch.endDate, sch.endTc, std::numeric_limits<qint64>::max());
    if (sch.startTc != -1 && sch.endTc != -1 && task.start.valid && task.end.valid) {
        qint64 frames = qint64(task.end.frames) - task.start.frames;
        // The shown duration folds into one day; sort by the same length.
        const int perDay = task.start.rate.mode ? task.start.rate.mode->frames_per_day() : 0;
        if (perDay > 0) {
            frames %= perDay;
            if (frames < 0)
                frames += perDay;
        }
        row.durationFrames = frames + 1;
    }
    return row;
}

QString progressText(int masterProgress, int proxyProgress)
{
    if (masterProgress < 0 && proxyProgress < 0)
        return QString();
    const QString master = QStringLiteral("%1%").arg(qMax(masterProgress, 0));
    if (proxyProgress < 0)
        return master;
    return master + QStringLiteral(" / %1%").arg(proxyProgress);
}
