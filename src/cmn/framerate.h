#pragma once

#include <QtGlobal>

namespace cmn {
class timecode_mode;
}

// A port's timecode rate: the shared mode that counts its frames (null when unknown) and the
// rate's time scale, 1000 for integer rates and 1001 for the NTSC family. The scale is carried
// for callers that show it; no frame arithmetic uses it.
struct FrameRate
{
    const cmn::timecode_mode *mode = nullptr;
    qint32 scale = 1000;
};

inline bool operator==(const FrameRate &a, const FrameRate &b)
{
    return a.mode == b.mode && a.scale == b.scale;
}

inline bool operator!=(const FrameRate &a, const FrameRate &b)
{
    return !(a == b);
}

// The rate for a system-frequency code as ports and record trains report it. Only 24, 25, 30 and
// 30 drop-frame are ever chosen; unknown codes give 30 non-drop.
FrameRate frameRateFor(int rateCode, bool dropFrame);

// frames folded into one day, [0, frames per day); 0 for a null mode.
int foldIntoDay(const FrameRate &rate, qint64 frames);

// A frame difference folded into half a day either way, [-D/2, D/2); 0 for a null mode.
int foldSigned(const FrameRate &rate, int frames);
