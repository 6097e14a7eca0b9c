#include "cmn/timecodemode.h"

#include <cctype>
#include <cstdio>

namespace cmn {

namespace {

using tc_t = timecode_mode::tc_t;

constexpr tc_t field_flag_50 = 0x80000000u; // bit 7 of the hours byte
constexpr tc_t field_flag_60 = 0x00008000u; // bit 7 of the seconds byte
constexpr tc_t drop_flag = 0x00000040u;     // bit 6 of the frames byte

struct Fields
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    bool digits = true; // every nibble is a decimal digit
};

Fields decode(tc_t tc)
{
    Fields f;
    const unsigned bytes[4] = {tc >> 24, (tc >> 16) & 0xFF, (tc >> 8) & 0xFF, tc & 0xFF};
    for (unsigned b : bytes) {
        if ((b >> 4) > 9 || (b & 0x0F) > 9)
            f.digits = false;
    }
    f.hours = timecode_mode::bcd_to_int(bytes[0]);
    f.minutes = timecode_mode::bcd_to_int(bytes[1]);
    f.seconds = timecode_mode::bcd_to_int(bytes[2]);
    f.frames = timecode_mode::bcd_to_int(bytes[3]);
    return f;
}

tc_t encode(int hours, int minutes, int seconds, int frames)
{
    return (tc_t(timecode_mode::int_to_bcd(hours)) << 24) | (tc_t(timecode_mode::int_to_bcd(minutes)) << 16) |
           (tc_t(timecode_mode::int_to_bcd(seconds)) << 8) | tc_t(timecode_mode::int_to_bcd(frames));
}

tc_t pack(const unsigned v[4])
{
    return ((v[0] & 0xFFu) << 24) | ((v[1] & 0xFFu) << 16) | ((v[2] & 0xFFu) << 8) | (v[3] & 0xFFu);
}

// A modulo instead of repeated subtraction: the same result for every int, in constant time.
int fold_day(int frames, int perDay)
{
    int r = frames % perDay;
    return r < 0 ? r + perDay : r;
}

// Drop-frame counting, shared by 30 (drop 2) and 60 (drop 4): the first `drop` frame numbers of
// every minute are skipped except in minutes 00, 10, 20, 30, 40 and 50.
struct DropRules
{
    int fps;
    int drop;
    int perMinute() const { return fps * 60 - drop; }
    int perTenMinutes() const { return perMinute() * 10 + drop; }
    int perHour() const { return perTenMinutes() * 6; }
    int perDay() const { return perHour() * 24; }

    tc_t toTc(int n) const
    {
        n = fold_day(n, perDay());
        const int hours = n / perHour();
        const int r = n % perHour();
        const int tens = r / perTenMinutes();
        // q < 0 only in the first `drop` frames of a ten, which belong to its undropped first minute.
        const int q = r - drop - tens * perTenMinutes();
        const int minuteInTen = q >= 0 ? q / perMinute() : 0;
        const int c = q - (q / perMinute()) * perMinute() + drop;
        return encode(hours, tens * 10 + minuteInTen, c / fps, c % fps);
    }

    int toFrames(tc_t tc) const
    {
        const Fields f = decode(tc);
        return f.seconds * fps + f.frames + drop * (f.hours * 53946 + f.minutes * 899 + f.minutes / 10);
    }

    bool valid(tc_t tc) const
    {
        if (tc == timecode_mode::no_tc)
            return false;
        const Fields f = decode(tc);
        if (!f.digits || f.hours > 23 || f.minutes > 59 || f.seconds > 59 || f.frames >= fps)
            return false;
        return !(f.seconds == 0 && f.minutes % 10 != 0 && f.frames < drop);
    }
};

constexpr DropRules drop30{30, 2};
constexpr DropRules drop60{60, 4};

std::string print(const char *format, tc_t tc)
{
    char buf[32];
    const int n =
        std::snprintf(buf, sizeof buf, format, tc >> 24, (tc >> 16) & 0xFF, (tc >> 8) & 0xFF, tc & 0xFF);
    return std::string(buf, n > 0 ? std::size_t(n) : 0);
}

// Reads `text` against `pattern`: 'H' is a hexadecimal field of at most two digits (leading blanks
// allowed), 'D' a decimal number that is read and ignored, anything else must match literally.
// Reading stops at the first mismatch; fields not reached stay 0, as with the scanf family.
// Returns the position just after what matched.
std::size_t scan(const std::string &text, const char *pattern, unsigned fields[4])
{
    std::size_t pos = 0;
    int field = 0;
    for (const char *p = pattern; *p; ++p) {
        if (*p == 'H' || *p == 'D') {
            while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
                ++pos;
            const std::size_t start = pos;
            unsigned value = 0;
            if (*p == 'H') {
                while (pos < text.size() && pos - start < 2 &&
                       std::isxdigit(static_cast<unsigned char>(text[pos]))) {
                    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos])));
                    value = value * 16 + unsigned(c <= '9' ? c - '0' : c - 'a' + 10);
                    ++pos;
                }
            } else {
                while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
                    ++pos;
            }
            if (pos == start)
                return pos;
            if (*p == 'H')
                fields[field++] = value;
        } else {
            if (pos >= text.size() || text[pos] != *p)
                return pos;
            ++pos;
        }
    }
    return pos;
}

tc_t scan_tc(const std::string &text, const char *pattern, std::size_t *end = nullptr)
{
    unsigned v[4] = {0, 0, 0, 0};
    const std::size_t pos = scan(text, pattern, v);
    if (end)
        *end = pos;
    return pack(v);
}

bool starred(const std::string &text, std::size_t pos)
{
    return pos < text.size() && text[pos] == '*';
}

// Frame pairs for 50 and 60 frame devices: the frames byte holds the pair, `flag` the odd field.
tc_t to_pairs(tc_t tc, tc_t flag)
{
    const int f = timecode_mode::bcd_to_int(tc & 0xFF);
    tc = (tc & ~tc_t(0xFF)) | timecode_mode::int_to_bcd(f / 2);
    if (f % 2)
        tc |= flag;
    return tc;
}

tc_t from_pairs(tc_t tc, tc_t flag)
{
    const int f = 2 * timecode_mode::bcd_to_int(tc & 0x3F) + ((tc & flag) ? 1 : 0);
    return (tc & timecode_mode::digit_mask & ~tc_t(0xFF)) | timecode_mode::int_to_bcd(f);
}

} // namespace

const timecode_mode *get_timecode_mode(int fps, bool drop_frame)
{
    // Function-local statics: first use is thread-safe and the objects are never deleted.
    if (drop_frame) {
        switch (fps) {
        case 30: {
            static const timecode_mode *const mode = new timecode_mode_30_drop;
            return mode;
        }
        case 60: {
            static const timecode_mode *const mode = new timecode_mode_60_drop;
            return mode;
        }
        default:
            return nullptr;
        }
    }
    switch (fps) {
    case 24: {
        static const timecode_mode *const mode = new timecode_mode_24;
        return mode;
    }
    case 25: {
        static const timecode_mode *const mode = new timecode_mode_25;
        return mode;
    }
    case 30: {
        static const timecode_mode *const mode = new timecode_mode_30;
        return mode;
    }
    case 50: {
        static const timecode_mode *const mode = new timecode_mode_50;
        return mode;
    }
    case 60: {
        static const timecode_mode *const mode = new timecode_mode_60;
        return mode;
    }
    default:
        return nullptr;
    }
}

timecode_mode::~timecode_mode() = default;

int timecode_mode::frames_per_day() const
{
    return m_fps * 86400;
}

int timecode_mode::frames_per_half_day() const
{
    return m_fps * 43200;
}

bool timecode_mode::is_drop_frame() const
{
    return false;
}

bool timecode_mode::is_valid(tc_t tc) const
{
    if (tc == no_tc)
        return false;
    const Fields f = decode(tc);
    return f.digits && f.hours < 24 && f.minutes < 60 && f.seconds < 60 && f.frames < m_fps;
}

timecode_mode::tc_t timecode_mode::frames_to_tc(int frames) const
{
    const int n = fold_day(frames, frames_per_day());
    const int totalSeconds = n / m_fps;
    const int totalMinutes = totalSeconds / 60;
    return encode(totalMinutes / 60, totalMinutes % 60, totalSeconds % 60, n % m_fps);
}

int timecode_mode::tc_to_frames(tc_t tc) const
{
    const Fields f = decode(tc);
    return ((f.hours * 60 + f.minutes) * 60 + f.seconds) * m_fps + f.frames;
}

timecode_mode::tc_t timecode_mode::frames_to_ext_tc(int frames) const
{
    return tc_to_ext_tc(frames_to_tc(frames));
}

int timecode_mode::ext_tc_to_frames(tc_t tc) const
{
    return tc_to_frames(ext_tc_to_tc(tc));
}

std::string timecode_mode::frames_to_text(int frames) const
{
    return tc_to_text(frames_to_tc(frames));
}

int timecode_mode::text_to_frames(const std::string &text) const
{
    return tc_to_frames(text_to_tc(text));
}

std::string timecode_mode::frames_to_smpte_text(int frames) const
{
    return tc_to_smpte_text(frames_to_tc(frames));
}

int timecode_mode::text_to_frames_2(const std::string &text) const
{
    return text_to_frames(text);
}

timecode_mode::tc_t timecode_mode::tc_to_ext_tc(tc_t tc) const
{
    return tc;
}

timecode_mode::tc_t timecode_mode::ext_tc_to_tc(tc_t tc) const
{
    return tc & digit_mask;
}

std::string timecode_mode::tc_to_text(tc_t tc) const
{
    return print("%02x:%02x:%02x:%02x", tc);
}

timecode_mode::tc_t timecode_mode::text_to_tc(const std::string &text) const
{
    return scan_tc(text, "H:H:H:H");
}

std::string timecode_mode::tc_to_smpte_text(tc_t tc) const
{
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "smpte-%2d=%02x:%02x:%02x:%02x", m_fps, tc >> 24,
                                (tc >> 16) & 0xFF, (tc >> 8) & 0xFF, tc & 0xFF);
    return std::string(buf, n > 0 ? std::size_t(n) : 0);
}

timecode_mode::tc_t timecode_mode::smpte_text_to_tc(const std::string &text) const
{
    return scan_tc(text, "smpte-D=H:H:H:H");
}

std::string timecode_mode::ext_tc_to_text(tc_t tc) const
{
    return tc_to_text(tc & digit_mask);
}

timecode_mode::tc_t timecode_mode::text_to_ext_tc(const std::string &text) const
{
    return text_to_tc(text);
}

timecode_mode::tc_t timecode_mode_50::tc_to_ext_tc(tc_t tc) const
{
    return to_pairs(tc, field_flag_50);
}

timecode_mode::tc_t timecode_mode_50::ext_tc_to_tc(tc_t tc) const
{
    return from_pairs(tc, field_flag_50);
}

std::string timecode_mode_50::ext_tc_to_text(tc_t tc) const
{
    return print((tc & field_flag_50) ? "%02x:%02x:%02x:%02x*" : "%02x:%02x:%02x:%02x", tc & digit_mask);
}

timecode_mode::tc_t timecode_mode_50::text_to_ext_tc(const std::string &text) const
{
    std::size_t end = 0;
    const tc_t tc = scan_tc(text, "H:H:H:H", &end);
    return starred(text, end) ? tc | field_flag_50 : tc;
}

timecode_mode::tc_t timecode_mode_60::tc_to_ext_tc(tc_t tc) const
{
    return to_pairs(tc, field_flag_60);
}

timecode_mode::tc_t timecode_mode_60::ext_tc_to_tc(tc_t tc) const
{
    return from_pairs(tc, field_flag_60);
}

std::string timecode_mode_60::ext_tc_to_text(tc_t tc) const
{
    return print((tc & field_flag_60) ? "%02x:%02x:%02x:%02x*" : "%02x:%02x:%02x:%02x", tc & digit_mask);
}

timecode_mode::tc_t timecode_mode_60::text_to_ext_tc(const std::string &text) const
{
    std::size_t end = 0;
    const tc_t tc = scan_tc(text, "H:H:H:H", &end);
    return starred(text, end) ? tc | field_flag_60 : tc;
}

int timecode_mode_30_drop::frames_per_day() const
{
    return drop30.perDay();
}

int timecode_mode_30_drop::frames_per_half_day() const
{
    return drop30.perHour() * 12;
}

bool timecode_mode_30_drop::is_drop_frame() const
{
    return true;
}

bool timecode_mode_30_drop::is_valid(tc_t tc) const
{
    return drop30.valid(tc);
}

timecode_mode::tc_t timecode_mode_30_drop::frames_to_tc(int frames) const
{
    return drop30.toTc(frames);
}

int timecode_mode_30_drop::tc_to_frames(tc_t tc) const
{
    return drop30.toFrames(tc);
}

timecode_mode::tc_t timecode_mode_30_drop::tc_to_ext_tc(tc_t tc) const
{
    return tc | drop_flag;
}

std::string timecode_mode_30_drop::tc_to_text(tc_t tc) const
{
    return print("%02x:%02x.%02x:%02x", tc);
}

timecode_mode::tc_t timecode_mode_30_drop::text_to_tc(const std::string &text) const
{
    return scan_tc(text, "H:H.H:H");
}

std::string timecode_mode_30_drop::tc_to_smpte_text(tc_t tc) const
{
    return print("smpte-30-drop=%02x:%02x:%02x:%02x", tc);
}

timecode_mode::tc_t timecode_mode_30_drop::smpte_text_to_tc(const std::string &text) const
{
    return scan_tc(text, "smpte-D-drop=H:H:H:H");
}

int timecode_mode_60_drop::frames_per_day() const
{
    return drop60.perDay();
}

int timecode_mode_60_drop::frames_per_half_day() const
{
    return drop60.perHour() * 12;
}

bool timecode_mode_60_drop::is_drop_frame() const
{
    return true;
}

bool timecode_mode_60_drop::is_valid(tc_t tc) const
{
    return drop60.valid(tc);
}

timecode_mode::tc_t timecode_mode_60_drop::frames_to_tc(int frames) const
{
    return drop60.toTc(frames);
}

int timecode_mode_60_drop::tc_to_frames(tc_t tc) const
{
    return drop60.toFrames(tc);
}

timecode_mode::tc_t timecode_mode_60_drop::tc_to_ext_tc(tc_t tc) const
{
    return to_pairs(tc, field_flag_60) | drop_flag;
}

timecode_mode::tc_t timecode_mode_60_drop::ext_tc_to_tc(tc_t tc) const
{
    return from_pairs(tc, field_flag_60);
}

std::string timecode_mode_60_drop::tc_to_text(tc_t tc) const
{
    return print("%02x:%02x.%02x:%02x", tc);
}

timecode_mode::tc_t timecode_mode_60_drop::text_to_tc(const std::string &text) const
{
    return scan_tc(text, "H:H.H:H");
}

std::string timecode_mode_60_drop::tc_to_smpte_text(tc_t tc) const
{
    return print("smpte-60-drop=%02x:%02x:%02x:%02x", tc);
}

timecode_mode::tc_t timecode_mode_60_drop::smpte_text_to_tc(const std::string &text) const
{
    return scan_tc(text, "smpte-D-drop=H:H:H:H");
}

std::string timecode_mode_60_drop::ext_tc_to_text(tc_t tc) const
{
    return print((tc & field_flag_60) ? "%02x:%02x.%02x:%02x*" : "%02x:%02x.%02x:%02x", tc & digit_mask);
}

timecode_mode::tc_t timecode_mode_60_drop::text_to_ext_tc(const std::string &text) const
{
    std::size_t end = 0;
    tc_t tc = scan_tc(text, "H:H.H:H", &end) | drop_flag;
    return starred(text, end) ? tc | field_flag_60 : tc;
}

} // namespace cmn
