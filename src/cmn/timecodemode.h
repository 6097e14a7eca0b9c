#pragma once

#include <cstdint>
#include <string>

namespace cmn {

class timecode_mode;

// The shared, immutable mode for a rate: 24, 25, 30, 50 and 60 non-drop, 30 and 60 drop-frame;
// null for anything else. Instances are created on first request (safe from any thread) and
// are never deleted, so the pointer may be kept and compared for identity.
const timecode_mode *get_timecode_mode(int fps, bool drop_frame);

// How one SMPTE rate counts frames. A timecode here is BCD-packed HH:MM:SS:FF, hours in the
// most significant byte, 0xFFFFFFFF for none. The plain form holds digits only (frames 0 to
// fps-1); the flagged ("ext") form is what 50 and 60 frame devices carry: frame pairs plus a
// field flag, and 0x40 in the frames byte for drop-frame.
class timecode_mode
{
public:
    using tc_t = std::uint32_t;

    static constexpr tc_t no_tc = 0xFFFFFFFFu;
    static constexpr tc_t digit_mask = 0x3F7F7F3Fu;

    timecode_mode(const timecode_mode &) = delete;
    timecode_mode &operator=(const timecode_mode &) = delete;

    int fps() const { return m_fps; }

    virtual int frames_per_day() const;
    virtual int frames_per_half_day() const;
    virtual bool is_drop_frame() const;
    virtual bool is_valid(tc_t tc) const;
    virtual tc_t frames_to_tc(int frames) const;
    virtual int tc_to_frames(tc_t tc) const;
    virtual tc_t frames_to_ext_tc(int frames) const;
    virtual int ext_tc_to_frames(tc_t tc) const;
    virtual std::string frames_to_text(int frames) const;
    virtual int text_to_frames(const std::string &text) const;
    virtual std::string frames_to_smpte_text(int frames) const;
    virtual int text_to_frames_2(const std::string &text) const;
    virtual tc_t tc_to_ext_tc(tc_t tc) const;
    virtual tc_t ext_tc_to_tc(tc_t tc) const;
    virtual std::string tc_to_text(tc_t tc) const;
    virtual tc_t text_to_tc(const std::string &text) const;
    virtual std::string tc_to_smpte_text(tc_t tc) const;
    virtual tc_t smpte_text_to_tc(const std::string &text) const;
    virtual std::string ext_tc_to_text(tc_t tc) const;
    virtual tc_t text_to_ext_tc(const std::string &text) const;

    // BCD byte helpers shared by the modes and the packed-word converters.
    static int bcd_to_int(unsigned byte) { return static_cast<int>((byte >> 4) * 10 + (byte & 0x0F)); }
    static unsigned int_to_bcd(int n) { return static_cast<unsigned>(n + (n / 10) * 6); }

protected:
    explicit timecode_mode(int fps) : m_fps(fps) {}
    // Never deleted through a base pointer: the factory owns every instance for the process lifetime.
    virtual ~timecode_mode();

private:
    const int m_fps;
};

class timecode_mode_24 : public timecode_mode
{
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_24() : timecode_mode(24) {}
};

class timecode_mode_25 : public timecode_mode
{
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_25() : timecode_mode(25) {}
};

class timecode_mode_30 : public timecode_mode
{
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_30() : timecode_mode(30) {}
};

class timecode_mode_50 : public timecode_mode
{
public:
    tc_t tc_to_ext_tc(tc_t tc) const override;
    tc_t ext_tc_to_tc(tc_t tc) const override;
    std::string ext_tc_to_text(tc_t tc) const override;
    tc_t text_to_ext_tc(const std::string &text) const override;

private:
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_50() : timecode_mode(50) {}
};

class timecode_mode_60 : public timecode_mode
{
public:
    tc_t tc_to_ext_tc(tc_t tc) const override;
    tc_t ext_tc_to_tc(tc_t tc) const override;
    std::string ext_tc_to_text(tc_t tc) const override;
    tc_t text_to_ext_tc(const std::string &text) const override;

private:
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_60() : timecode_mode(60) {}
};

class timecode_mode_30_drop : public timecode_mode
{
public:
    int frames_per_day() const override;
    int frames_per_half_day() const override;
    bool is_drop_frame() const override;
    bool is_valid(tc_t tc) const override;
    tc_t frames_to_tc(int frames) const override;
    int tc_to_frames(tc_t tc) const override;
    tc_t tc_to_ext_tc(tc_t tc) const override;
    std::string tc_to_text(tc_t tc) const override;
    tc_t text_to_tc(const std::string &text) const override;
    std::string tc_to_smpte_text(tc_t tc) const override;
    tc_t smpte_text_to_tc(const std::string &text) const override;

private:
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_30_drop() : timecode_mode(30) {}
};

class timecode_mode_60_drop : public timecode_mode
{
public:
    int frames_per_day() const override;
    int frames_per_half_day() const override;
    bool is_drop_frame() const override;
    bool is_valid(tc_t tc) const override;
    tc_t frames_to_tc(int frames) const override;
    int tc_to_frames(tc_t tc) const override;
    tc_t tc_to_ext_tc(tc_t tc) const override;
    tc_t ext_tc_to_tc(tc_t tc) const override;
    std::string tc_to_text(tc_t tc) const override;
    tc_t text_to_tc(const std::string &text) const override;
    std::string tc_to_smpte_text(tc_t tc) const override;
    tc_t smpte_text_to_tc(const std::string &text) const override;
    std::string ext_tc_to_text(tc_t tc) const override;
    tc_t text_to_ext_tc(const std::string &text) const override;

private:
    friend const timecode_mode *get_timecode_mode(int, bool);
    timecode_mode_60_drop() : timecode_mode(60) {}
};

} // namespace cmn
