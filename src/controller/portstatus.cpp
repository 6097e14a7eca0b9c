#include "controller/portstatus.h"

#include "cmn/timecode.h"
#include "cmn/timecodemode.h"
#include "cmn/timecodetext.h"

#include <QDateTime>
#include <QHash>
#include <QPair>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool fitsInt(qint64 v)
{
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

int clampToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Frames of an integer-packed timecode within its day; -1 when there is none.
int framesOfPacked(const FrameRate &rate, int packedTc)
{
    if (!rate.mode || packedTc == -1)
        return -1;
    return rate.mode->tc_to_frames(cmn::timecode_mode::tc_t(packedToBcd(packedTc)));
}

} // namespace

TrainStart defaultTrainStart()
{
    TrainStart start;
    start.rate = frameRateFor(30, false);
    return start;
}

QString remainTimeText(int minutes, const QString &kind3Text)
{
    if (minutes < 0)
        return kind3Text;
    return QStringLiteral("%1H %2M")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

int remainMinutesOf(const QString &part)
{
    bool ok = false;
    const int minutes = part.trimmed().toInt(&ok, 10);
    return ok ? minutes : 0;
}

std::optional<int> remainTextToFrames(const QString &text, const FrameRate &rate)
{
    const int h = text.indexOf(QLatin1Char('H'));
    if (h < 0 || !rate.mode)
        return std::nullopt;
    const int m = text.indexOf(QLatin1Char('M'), h + 1);
    if (m < 0)
        return std::nullopt;
    bool okHours = false;
    bool okMinutes = false;
    const qint64 hours = text.left(h).trimmed().toLongLong(&okHours, 10);
    const int minutes = text.mid(h + 1, m - h - 1).trimmed().toInt(&okMinutes, 10);
    if (!okHours || !okMinutes || hours < 0 || minutes < 0 || minutes > 59)
        return std::nullopt;
    const int packed = int(((hours % 24) << 24) | (qint64(minutes) << 16));
    const qint64 frames = (hours / 24) * rate.mode->frames_per_day() + framesOfPacked(rate, packed);
    return clampToInt(frames);
}

int linkStatus(const trx::PortState &port, const trx::PortState &master)
{
    const TimeCode m(master);
    const TimeCode p(port);
    if (!m.valid || !p.valid || !m.rate.mode)
        return 3;
    const int oneSecond = framesOfPacked(m.rate, 0x00000100);
    qint64 diff = qint64(p.frames) - m.frames;
    // A port a frame behind a master that has just passed midnight is still in step with it.
    if (p.rate.mode && p.rate.mode->frames_per_day() == m.rate.mode->frames_per_day())
        diff = foldSigned(m.rate, int(diff));
    return std::abs(diff) < oneSecond ? 1 : 3;
}

QDateTime trainCreation(const trx::RecordTrainInfo &train, int offsetSecs)
{
    const QString text = train.startDate + train.startTime.left(6);
    // Every port's train is read again on every poll, and parsing a local time consults the time
    // zone database each time: keep what was parsed (a train's start does not change).
    thread_local QHash<QPair<QString, int>, QDateTime> parsed;
    const QPair<QString, int> key(text, offsetSecs);
    auto known = parsed.find(key);
    if (known == parsed.end()) {
        if (parsed.size() > 4096)
            parsed.clear();
        const QDateTime created = QDateTime::fromString(text, QStringLiteral("yyyyMMddHHmmss"));
        known = parsed.insert(key, created.isValid() ? created.addSecs(offsetSecs) : QDateTime());
    }
    return *known;
}

qint64 framesOnRate(qint64 frames, const FrameRate &from, const FrameRate &to)
{
    if (!from.mode || !to.mode || from == to)
        return frames;
    // Real rates are fps x 1000 / scale (29.97 for the drop-frame family).
    const long double num = static_cast<long double>(to.mode->fps()) * from.scale;
    const long double den = static_cast<long double>(from.mode->fps()) * to.scale;
    return std::llround(static_cast<long double>(frames) * num / den);
}

std::optional<UsableRange> usableRangeFor(const trx::RecordTrainInfo &train, const trx::PortState &state,
                                          const QDate &workingDate, int offsetSecs, const FrameRate &axis)
{
    if (state.stateCode != 1)
        return std::nullopt;
    const QDateTime created = trainCreation(train, offsetSecs);
    const FrameRate rate = frameRateFor(train.rateCode, train.dropFrame);
    const int startFrames = framesOfPacked(rate, train.startTc);
    if (!created.isValid() || startFrames < 0)
        return std::nullopt;
    const qint64 days = workingDate.isValid() ? workingDate.daysTo(created.date()) : 0;
    const FrameRate &target = axis.mode ? axis : rate;
    // Whole days and the time of day are moved separately: a drop-frame day is not a whole
    // number of seconds, and a day offset must not shift the time of day.
    const qint64 dayFrames = days * target.mode->frames_per_day();
    const qint64 end = train.stillRecording ? state.recordPosition : train.outPoint;
    const qint64 start = dayFrames + framesOnRate(qint64(startFrames) + train.inPoint, rate, target);
    const qint64 length = dayFrames + framesOnRate(qint64(startFrames) + end, rate, target) - start;
    if (!fitsInt(start) || !fitsInt(length))
        return std::nullopt;
    return UsableRange{qint32(start), qint32(length)};
}

QMap<trx::ServerPort, QList<UsableRange>> usableRangesFor(const QVector<trx::RecordTrainInfo> &trains,
                                                          const QMap<trx::ServerPort, trx::PortState> &states,
                                                          const QDate &workingDate, int offsetSecs,
                                                          const FrameRate &axis)
{
    QMap<trx::ServerPort, QList<UsableRange>> ranges;
    for (const trx::RecordTrainInfo &train : trains) {
        const trx::ServerPort key(train.serverId, train.portNo);
        const auto state = states.constFind(key);
        if (state == states.cend())
            continue;
        if (const std::optional<UsableRange> range =
                usableRangeFor(train, *state, workingDate, offsetSecs, axis))
            ranges[key].append(*range);
    }
    return ranges;
}

std::optional<TrainStart> trainStartFor(const trx::RecordTrainInfo &train, int offsetSecs)
{
    const QDateTime created = trainCreation(train, offsetSecs);
    TrainStart start;
    start.rate = frameRateFor(train.rateCode, train.dropFrame);
    start.startFrame = framesOfPacked(start.rate, train.startTc);
    start.date = created.date();
    if (!created.isValid() || start.startFrame < 0)
        return std::nullopt;
    return start;
}

std::optional<int> line24hFrame(const TrainStart &start, const QDate &workingDate, const FrameRate &axis)
{
    if (!start.rate.mode)
        return std::nullopt;
    const FrameRate &target = axis.mode ? axis : start.rate;
    const qint64 perDay = target.mode->frames_per_day();
    const qint64 days = workingDate.isValid() && start.date.isValid() ? workingDate.daysTo(start.date) : 0;
    const qint64 frame = days * perDay + framesOnRate(start.startFrame, start.rate, target) + perDay;
    if (!fitsInt(frame))
        return std::nullopt;
    return int(frame);
}

bool rangesAccept(QList<UsableRange> ranges, qint32 start, qint32 end, qint32 now)
{
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const UsableRange &a, const UsableRange &b) { return a.start < b.start; });
    const int n = ranges.size();
    for (int i = 0; i < n; ++i) {
        if (start >= now)
            return true;
        const qint64 first = ranges.at(i).start;
        const qint64 last = first + ranges.at(i).length;
        if (first <= start && start <= last) {
            if (end <= last || (end >= now && i == n - 1))
                return true;
        }
    }
    return false;
}

std::optional<QString> RemainTimeTexts::accept(const QString &serverId, int kind, const QString &text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (kind == 3) {
        m_mapRemainKind3.insert(serverId, text);
        // Before the first kind-5 list there are no minutes to show; an empty list would read
        // as 0 minutes on a one-camera server.
        const auto minutes = m_mapRemainKind5.constFind(serverId);
        if (minutes == m_mapRemainKind5.cend())
            return std::nullopt;
        return *minutes;
    }
    if (kind == 5) {
        // Compared per server: two servers with the same minutes must both be shown.
        const auto known = m_mapRemainKind5.constFind(serverId);
        if (known != m_mapRemainKind5.cend() && *known == text)
            return std::nullopt;
        m_mapRemainKind5.insert(serverId, text);
        return text;
    }
    return std::nullopt;
}

QString RemainTimeTexts::kind3Text(const QString &serverId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mapRemainKind3.value(serverId);
}
