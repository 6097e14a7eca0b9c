#include "scalelabels.h"

#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"

#include <cmath>

namespace {

int toBcdByte(int n)
{
    return n + (n / 10) * 6;
}

int bcd(int hours, int minutes, int seconds, int frames)
{
    return (toBcdByte(hours) << 24) | (toBcdByte(minutes) << 16) | (toBcdByte(seconds) << 8) |
           toBcdByte(frames);
}

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

QString dayOfMonth(const QDate &date, qint64 days)
{
    return QStringLiteral("%1").arg(date.addDays(days).day(), 2, 10, QLatin1Char('0'));
}

struct TickRow
{
    int period; // BCD
    int offset; // BCD
    int before; // ticks before the last period boundary
    int count;
};

} // namespace

QMap<int, QString> computeScaleLabels(const ScaleLabelInput &in)
{
    QMap<int, QString> labels;
    const cmn::timecode_mode *mode = in.rate.mode;
    if (!mode || in.viewFrames <= 0 || in.width <= 0)
        return labels;
    const qint64 framesPerDay = mode->frames_per_day();
    if (framesPerDay <= 0)
        return labels;

    const qint64 v = in.viewFrames;
    const auto &level = in.zoomLevels;
    const auto store = [&](qint64 p, const QString &text) {
        const double column =
            std::trunc(double(in.width) * double(p - in.anchorFrame) / double(v) + in.originX);
        if (column >= 0 && column <= in.width)
            labels.insert(int(column), text);
    };

    if (2 * qint64(level[4]) <= v && v <= level[5]) {
        for (int i = -7; i <= 7; ++i)
            store(i * framesPerDay, QLatin1Char('[') + dayOfMonth(in.date, i) + QLatin1Char(']'));
        return labels;
    }

    const QString anchorText =
        formatFrames(in.rate, foldIntoDay(in.rate, qint64(in.midnightFrames) + in.anchorFrame));
    const int mm = anchorText.mid(3, 2).toInt();
    const int ss = anchorText.mid(6, 2).toInt();
    const int ff = anchorText.right(2).toInt();

    TickRow row{};
    if (level[0] <= v && v < 3 * qint64(level[0]))
        row = {bcd(0, 0, 5, 0), bcd(0, 0, ss % 5, ff), 6, 13};
    else if (3 * qint64(level[0]) <= v && v < 2 * qint64(level[1]))
        row = {bcd(0, 0, 10, 0), bcd(0, 0, ss % 10, ff), 7, 15};
    else if (2 * qint64(level[1]) <= v && v < 2 * qint64(level[2]))
        row = {bcd(0, 1, 0, 0), bcd(0, 0, ss, ff), 11, 23};
    else if (2 * qint64(level[2]) <= v && v < 2 * qint64(level[3]))
        row = {bcd(0, 10, 0, 0), bcd(0, mm % 10, ss, ff), 11, 23};
    else if (2 * qint64(level[3]) <= v && v < 2 * qint64(level[4]))
        row = {bcd(1, 0, 0, 0), bcd(0, mm, ss, ff), 25, 51};
    else
        return labels;

    const qint64 period = mode->tc_to_frames(cmn::timecode_mode::tc_t(row.period));
    const qint64 first = in.anchorFrame - qint64(mode->tc_to_frames(cmn::timecode_mode::tc_t(row.offset))) -
                         row.before * period;
    for (int i = 0; i < row.count; ++i) {
        const qint64 p = first + i * period;
        QString text = formatFrames(in.rate, foldIntoDay(in.rate, qint64(in.midnightFrames) + p));
        text.chop(3);
        store(p,
              QLatin1Char('[') + dayOfMonth(in.date, floorDiv(p, framesPerDay)) + QLatin1String("] ") + text);
    }
    return labels;
}

int scaleLabelStride(int labelCount, int firstLabelWidth, int widgetWidth)
{
    const qint64 step = qint64(firstLabelWidth) + 21;
    const qint64 room = qint64(widgetWidth) - (kScaleRightReserve - 1) + firstLabelWidth;
    if (step * labelCount <= room)
        return 1;
    for (int stride = 2; stride <= 5; ++stride) {
        if (qint64(labelCount / stride) * step <= room)
            return stride;
    }
    return 2;
}
