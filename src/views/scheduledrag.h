#pragma once

#include "cmn/framerate.h"

#include <QString>

// What a mouse drag on a schedule item proposes, in frames on the master's clock: the body moves
// the whole schedule, an edge moves its start or its end. Positions snap to whole seconds of
// timecode unless frames are asked for (Shift). No widget in here: the item feeds it pixels.
class ScheduleDrag
{
public:
    enum Action { None, Move, ResizeStart, ResizeEnd };

    // Pixels at either end of an item that grab its edge; narrow items keep a body in the middle.
    static constexpr int EdgeWidth = 6;
    static Action actionAt(int x, int itemWidth);

    // The first frame of the timecode second nearest to `frames` (days past one day included).
    static qint64 snapToSecond(const FrameRate &rate, qint64 frames);

    void press(Action action, int x, int startFrame, int length, double pixelsPerFrame,
               const FrameRate &rate);
    // The mouse is at column x. Returns true once the drag has gone `threshold` pixels from the
    // press; from then on start() and length() follow the mouse.
    bool moveTo(int x, bool frames, int threshold);
    void reset() { *this = ScheduleDrag(); }

    Action action() const { return m_action; }
    bool isPressed() const { return m_action != None; }
    bool isActive() const { return m_bActive; }
    int originalStart() const { return m_iStart; }
    int originalLength() const { return m_iLength; }
    int start() const { return m_iNewStart; }
    int length() const { return m_iNewLength; }
    // Start, end and (inclusive) duration of the proposal as timecode; all three, one per line.
    QString startText() const;
    QString endText() const;
    QString durationText() const;
    QString proposalText() const;

private:
    qint64 snapped(qint64 frames, bool toFrames) const
    {
        return toFrames ? frames : snapToSecond(m_rate, frames);
    }

    Action m_action = None;
    bool m_bActive = false;
    int m_iPressX = 0;
    int m_iStart = 0;
    int m_iLength = 0;
    int m_iNewStart = 0;
    int m_iNewLength = 0;
    double m_dPixelsPerFrame = 0.0;
    FrameRate m_rate;
};
