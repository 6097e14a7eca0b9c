#include "views/scheduledrag.h"

#include "cmn/timecode.h"
#include "cmn/timecodemode.h"

#include <QObject>

#include <algorithm>
#include <climits>
#include <cmath>

ScheduleDrag::Action ScheduleDrag::actionAt(int x, int itemWidth)
{
    if (itemWidth <= 0 || x < 0 || x > itemWidth)
        return None;
    // A narrow item keeps its middle third for moving, so that it can still be picked up whole.
    const int edge = std::min(EdgeWidth, itemWidth / 3);
    if (x < edge)
        return ResizeStart;
    if (x >= itemWidth - edge)
        return ResizeEnd;
    return Move;
}

qint64 ScheduleDrag::snapToSecond(const FrameRate &rate, qint64 frames)
{
    const cmn::timecode_mode *mode = rate.mode;
    if (!mode || mode->fps() <= 0)
        return frames;
    const qint64 perDay = mode->frames_per_day();
    const qint64 day = frames >= 0 ? frames / perDay : -((-frames + perDay - 1) / perDay);
    const quint32 tc = mode->frames_to_tc(int(frames - day * perDay));
    const int ff = cmn::timecode_mode::bcd_to_int(tc & 0x3F);
    const int ss = cmn::timecode_mode::bcd_to_int((tc >> 8) & 0x7F);
    const int mm = cmn::timecode_mode::bcd_to_int((tc >> 16) & 0x7F);
    // Drop-frame counting skips the labels ;00 and ;01 at the start of most minutes.
    const int first = mode->is_drop_frame() && ss == 0 && mm % 10 != 0 ? 2 : 0;
    const int into = ff - first;
    const int secondLength = mode->fps() - first;
    const qint64 floor = frames - into;
    return into * 2 >= secondLength ? floor + secondLength : floor;
}

void ScheduleDrag::press(Action action, int x, int startFrame, int length, double pixelsPerFrame,
                         const FrameRate &rate)
{
    reset();
    if (pixelsPerFrame <= 0.0)
        return;
    m_action = action;
    m_iPressX = x;
    m_iStart = m_iNewStart = startFrame;
    m_iLength = m_iNewLength = length;
    m_dPixelsPerFrame = pixelsPerFrame;
    m_rate = rate;
}

bool ScheduleDrag::moveTo(int x, bool frames, int threshold)
{
    if (m_action == None)
        return false;
    if (!m_bActive && std::abs(x - m_iPressX) < threshold)
        return false;
    m_bActive = true;
    const qint64 delta = std::llround((x - m_iPressX) / m_dPixelsPerFrame);
    const qint64 end = qint64(m_iStart) + m_iLength;
    const cmn::timecode_mode *mode = m_rate.mode;
    // The request carries one start and one end timecode: a schedule shorter than a day, and at
    // least a second long (a frame with Shift).
    const qint64 shortest = frames || !mode ? 1 : mode->fps();
    const qint64 longest = mode ? mode->frames_per_day() - 1 : INT_MAX;
    qint64 newStart = m_iStart;
    qint64 newEnd = end;
    switch (m_action) {
    case Move:
        newStart = snapped(m_iStart + delta, frames);
        newEnd = newStart + m_iLength;
        break;
    case ResizeStart:
        newStart = std::clamp(snapped(m_iStart + delta, frames), end - longest, end - shortest);
        break;
    case ResizeEnd:
        newEnd = std::clamp(snapped(end + delta, frames), m_iStart + shortest, m_iStart + longest);
        break;
    case None:
        break;
    }
    m_iNewStart = int(std::clamp<qint64>(newStart, INT_MIN, INT_MAX));
    m_iNewLength = int(std::clamp<qint64>(newEnd - newStart, 1, INT_MAX));
    return true;
}

QString ScheduleDrag::startText() const
{
    return formatFrames(m_rate, foldIntoDay(m_rate, m_iNewStart));
}

QString ScheduleDrag::endText() const
{
    return formatFrames(m_rate, foldIntoDay(m_rate, qint64(m_iNewStart) + m_iNewLength));
}

QString ScheduleDrag::durationText() const
{
    TimeCode start;
    start.rate = m_rate;
    start.frames = m_iNewStart;
    start.valid = true;
    TimeCode end = start;
    end.frames = m_iNewStart + m_iNewLength;
    return ::durationText(end, start);
}

QString ScheduleDrag::proposalText() const
{
    return QObject::tr("Start: %1\nEnd: %2\nDuration: %3").arg(startText(), endText(), durationText());
}
