#include "cmn/timecodemode.h"

#include <QtTest>

#include <climits>
#include <thread>
#include <vector>

using cmn::get_timecode_mode;
using cmn::timecode_mode;
using tc_t = timecode_mode::tc_t;

namespace {

// Written digit by digit so that a fault in the library's own BCD arithmetic cannot cancel out.
tc_t bcd(int h, int m, int s, int f)
{
    auto byte = [](int v) { return tc_t(((v / 10) << 4) | (v % 10)); };
    return (byte(h) << 24) | (byte(m) << 16) | (byte(s) << 8) | byte(f);
}

QString hex(tc_t tc)
{
    return QStringLiteral("0x%1").arg(tc, 8, 16, QLatin1Char('0'));
}

void addModeRows()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("dropped"); // frame numbers skipped at the start of a dropped minute
    QTest::newRow("24") << 24 << false << 0;
    QTest::newRow("25") << 25 << false << 0;
    QTest::newRow("30") << 30 << false << 0;
    QTest::newRow("50") << 50 << false << 0;
    QTest::newRow("60") << 60 << false << 0;
    QTest::newRow("30 drop") << 30 << true << 2;
    QTest::newRow("60 drop") << 60 << true << 4;
}

} // namespace

class tst_TimecodeMode : public QObject
{
    Q_OBJECT

private slots:
    void concurrentFirstUse();
    void factory_data();
    void factory();
    void sharedInstances();
    void dayLength_data();
    void dayLength();
    void wholeDay_data() { addModeRows(); }
    void wholeDay();
    void validity_data() { addModeRows(); }
    void validity();
    void outOfRangeInvalid_data();
    void outOfRangeInvalid();
    void knownFrames_data();
    void knownFrames();
    void folding_data();
    void folding();
    void flaggedMinute_data();
    void flaggedMinute();
    void flaggedKnown_data();
    void flaggedKnown();
    void textForms_data();
    void textForms();
    void textRoundTrip_data() { addModeRows(); }
    void textRoundTrip();
    void lenientParsing_data();
    void lenientParsing();
};

void tst_TimecodeMode::factory_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<bool>("exists");
    QTest::newRow("24") << 24 << false << true;
    QTest::newRow("25") << 25 << false << true;
    QTest::newRow("30") << 30 << false << true;
    QTest::newRow("50") << 50 << false << true;
    QTest::newRow("60") << 60 << false << true;
    QTest::newRow("30 drop") << 30 << true << true;
    QTest::newRow("60 drop") << 60 << true << true;
    QTest::newRow("24 drop") << 24 << true << false;
    QTest::newRow("25 drop") << 25 << true << false;
    QTest::newRow("50 drop") << 50 << true << false;
    QTest::newRow("29") << 29 << false << false;
    QTest::newRow("0") << 0 << false << false;
    QTest::newRow("negative") << -30 << false << false;
}

void tst_TimecodeMode::factory()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(bool, exists);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    QCOMPARE(mode != nullptr, exists);
    if (!mode)
        return;
    QCOMPARE(mode->fps(), fps);
    QCOMPARE(mode->is_drop_frame(), drop);
    QCOMPARE(get_timecode_mode(fps, drop), mode);
}

// Runs first, so that these threads race for the instance's creation (meant for ThreadSanitizer runs too).
void tst_TimecodeMode::concurrentFirstUse()
{
    // std::thread rather than QThread: its join is visible to ThreadSanitizer without an instrumented Qt.
    std::vector<const timecode_mode *> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = get_timecode_mode(60, true); });
    for (std::thread &t : threads)
        t.join();
    for (const timecode_mode *m : qAsConst(seen))
        QCOMPARE(m, get_timecode_mode(60, true));
}

void tst_TimecodeMode::sharedInstances()
{
    QVERIFY(get_timecode_mode(30, false) != get_timecode_mode(30, true));
    QVERIFY(get_timecode_mode(60, false) != get_timecode_mode(60, true));
    QVERIFY(get_timecode_mode(24, false) != get_timecode_mode(25, false));
}

void tst_TimecodeMode::dayLength_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("perDay");
    QTest::addColumn<int>("perHalfDay");
    QTest::newRow("24") << 24 << false << 2073600 << 1036800;
    QTest::newRow("25") << 25 << false << 2160000 << 1080000;
    QTest::newRow("30") << 30 << false << 2592000 << 1296000;
    QTest::newRow("50") << 50 << false << 4320000 << 2160000;
    QTest::newRow("60") << 60 << false << 5184000 << 2592000;
    QTest::newRow("30 drop") << 30 << true << 2589408 << 1294704;
    QTest::newRow("60 drop") << 60 << true << 5178816 << 2589408;
}

void tst_TimecodeMode::dayLength()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, perDay);
    QFETCH(int, perHalfDay);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    QCOMPARE(mode->frames_per_day(), perDay);
    QCOMPARE(mode->frames_per_half_day(), perHalfDay);
}

// Walks a whole day with an independent HH:MM:SS:FF counter that skips the dropped numbers,
// so every frame count is checked against the timecode it must give, and back.
void tst_TimecodeMode::wholeDay()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, dropped);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    const int perDay = mode->frames_per_day();
    int h = 0, m = 0, s = 0, f = 0;
    for (int n = 0; n < perDay; ++n) {
        const tc_t expected = bcd(h, m, s, f);
        const tc_t tc = mode->frames_to_tc(n);
        if (tc != expected)
            QFAIL(qPrintable(
                QStringLiteral("frame %1 gave %2, expected %3").arg(n).arg(hex(tc), hex(expected))));
        if (!mode->is_valid(tc))
            QFAIL(qPrintable(QStringLiteral("frame %1 gave invalid %2").arg(n).arg(hex(tc))));
        const int back = mode->tc_to_frames(tc);
        if (back != n)
            QFAIL(qPrintable(
                QStringLiteral("%1 read back as frame %2, expected %3").arg(hex(tc)).arg(back).arg(n)));

        if (++f == fps) {
            f = 0;
            if (++s == 60) {
                s = 0;
                if (++m == 60) {
                    m = 0;
                    ++h;
                }
                if (m % 10 != 0)
                    f = dropped;
            }
        }
    }
    // The counter has run exactly one day: the last frame was 23:59:59 and the last frame number.
    QCOMPARE(h, 24);
    QCOMPARE(mode->frames_to_tc(perDay - 1), bcd(23, 59, 59, fps - 1));
}

// Every timecode of a day, valid or not: exactly the skipped frame numbers are invalid, and the
// valid ones number exactly one day of frames.
void tst_TimecodeMode::validity()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, dropped);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    int validCount = 0;
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                for (int f = 0; f < fps; ++f) {
                    const bool skipped = s == 0 && m % 10 != 0 && f < dropped;
                    const tc_t tc = bcd(h, m, s, f);
                    if (mode->is_valid(tc) == skipped)
                        QFAIL(qPrintable(
                            QStringLiteral("is_valid(%1) should be %2").arg(hex(tc)).arg(!skipped)));
                    validCount += skipped ? 0 : 1;
                }
            }
        }
    }
    QCOMPARE(validCount, mode->frames_per_day());
}

void tst_TimecodeMode::outOfRangeInvalid_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<uint>("tc");
    QTest::addColumn<bool>("valid");

    struct Mode
    {
        const char *name;
        int fps;
        bool drop;
    };
    const Mode modes[] = {{"24", 24, false}, {"25", 25, false},     {"30", 30, false},    {"50", 50, false},
                          {"60", 60, false}, {"30 drop", 30, true}, {"60 drop", 60, true}};
    for (const Mode &md : modes) {
        auto row = [&](const char *what) -> QTestData & { return QTest::addRow("%s: %s", md.name, what); };
        row("no timecode") << md.fps << md.drop << 0xFFFFFFFFu << false;
        row("24:00:00:00") << md.fps << md.drop << uint(bcd(24, 0, 0, 0)) << false;
        row("00:60:00:00") << md.fps << md.drop << uint(bcd(0, 60, 0, 0)) << false;
        row("00:00:60:00") << md.fps << md.drop << uint(bcd(0, 0, 60, 0)) << false;
        row("frames = fps") << md.fps << md.drop << uint(bcd(0, 0, 1, md.fps)) << false;
        row("last frame number") << md.fps << md.drop << uint(bcd(23, 59, 59, md.fps - 1)) << true;
        row("non-decimal nibble") << md.fps << md.drop << 0x0000000Au << false;
        row("field flag set") << md.fps << md.drop << (uint(bcd(1, 0, 0, 0)) | 0x80000000u) << false;
    }
    QTest::newRow("25: frames 25") << 25 << false << uint(bcd(0, 0, 0, 25)) << false;
    QTest::newRow("50: frames 49") << 50 << false << uint(bcd(0, 0, 0, 49)) << true;
    QTest::newRow("30 drop: 00:01:00:00") << 30 << true << uint(bcd(0, 1, 0, 0)) << false;
    QTest::newRow("30 drop: 00:01:00:01") << 30 << true << uint(bcd(0, 1, 0, 1)) << false;
    QTest::newRow("30 drop: 00:01:00:02") << 30 << true << uint(bcd(0, 1, 0, 2)) << true;
    QTest::newRow("30 drop: 00:10:00:00") << 30 << true << uint(bcd(0, 10, 0, 0)) << true;
    QTest::newRow("30 drop: 00:01:01:00") << 30 << true << uint(bcd(0, 1, 1, 0)) << true;
    QTest::newRow("60 drop: 00:01:00:03") << 60 << true << uint(bcd(0, 1, 0, 3)) << false;
    QTest::newRow("60 drop: 00:01:00:04") << 60 << true << uint(bcd(0, 1, 0, 4)) << true;
    QTest::newRow("30: 00:01:00:00") << 30 << false << uint(bcd(0, 1, 0, 0)) << true;
}

void tst_TimecodeMode::outOfRangeInvalid()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(uint, tc);
    QFETCH(bool, valid);

    QCOMPARE(get_timecode_mode(fps, drop)->is_valid(tc), valid);
}

void tst_TimecodeMode::knownFrames_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("frames");
    QTest::addColumn<uint>("tc");

    QTest::newRow("25: 12:34:56:07") << 25 << false << 1132407 << uint(bcd(12, 34, 56, 7));
    QTest::newRow("24: 01:00:00:00") << 24 << false << 86400 << uint(bcd(1, 0, 0, 0));
    QTest::newRow("60: 23:59:59:59") << 60 << false << 5183999 << uint(bcd(23, 59, 59, 59));
    QTest::newRow("30 drop: end of minute 0") << 30 << true << 1799 << uint(bcd(0, 0, 59, 29));
    QTest::newRow("30 drop: 1800 skips to :02") << 30 << true << 1800 << uint(bcd(0, 1, 0, 2));
    QTest::newRow("30 drop: end of minute 9") << 30 << true << 17981 << uint(bcd(0, 9, 59, 29));
    QTest::newRow("30 drop: 17982 is minute 10") << 30 << true << 17982 << uint(bcd(0, 10, 0, 0));
    QTest::newRow("30 drop: minute 11") << 30 << true << 17982 + 1800 << uint(bcd(0, 11, 0, 2));
    QTest::newRow("30 drop: one hour") << 30 << true << 107892 << uint(bcd(1, 0, 0, 0));
    QTest::newRow("30 drop: last frame") << 30 << true << 2589407 << uint(bcd(23, 59, 59, 29));
    QTest::newRow("60 drop: 3600 skips to :04") << 60 << true << 3600 << uint(bcd(0, 1, 0, 4));
    QTest::newRow("60 drop: 35964 is minute 10") << 60 << true << 35964 << uint(bcd(0, 10, 0, 0));
    QTest::newRow("60 drop: one hour") << 60 << true << 215784 << uint(bcd(1, 0, 0, 0));
    QTest::newRow("60 drop: last frame") << 60 << true << 5178815 << uint(bcd(23, 59, 59, 59));
}

void tst_TimecodeMode::knownFrames()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, frames);
    QFETCH(uint, tc);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    QCOMPARE(mode->frames_to_tc(frames), tc);
    QCOMPARE(mode->tc_to_frames(tc), frames);
}

void tst_TimecodeMode::folding_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("frames");
    QTest::addColumn<uint>("tc");

    QTest::newRow("30: -1") << 30 << false << -1 << uint(bcd(23, 59, 59, 29));
    QTest::newRow("30: one day") << 30 << false << 2592000 << uint(bcd(0, 0, 0, 0));
    QTest::newRow("30: one day minus one") << 30 << false << 2591999 << uint(bcd(23, 59, 59, 29));
    QTest::newRow("25: three days back and one")
        << 25 << false << -3 * 2160000 - 1 << uint(bcd(23, 59, 59, 24));
    QTest::newRow("25: seven days and an hour")
        << 25 << false << 7 * 2160000 + 90000 << uint(bcd(1, 0, 0, 0));
    QTest::newRow("25: INT_MAX") << 25 << false << INT_MAX << uint(bcd(4, 55, 45, 22));
    QTest::newRow("25: INT_MIN") << 25 << false << INT_MIN << uint(bcd(19, 4, 14, 2));
    QTest::newRow("30 drop: -1") << 30 << true << -1 << uint(bcd(23, 59, 59, 29));
    QTest::newRow("30 drop: one day") << 30 << true << 2589408 << uint(bcd(0, 0, 0, 0));
    QTest::newRow("30 drop: minus a day plus 1800") << 30 << true << 1800 - 2589408 << uint(bcd(0, 1, 0, 2));
    QTest::newRow("60 drop: two days and 3") << 60 << true << 2 * 5178816 + 3 << uint(bcd(0, 0, 0, 3));
    QTest::newRow("60 drop: -1") << 60 << true << -1 << uint(bcd(23, 59, 59, 59));
}

void tst_TimecodeMode::folding()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, frames);
    QFETCH(uint, tc);

    QCOMPARE(get_timecode_mode(fps, drop)->frames_to_tc(frames), tc);
}

void tst_TimecodeMode::flaggedMinute_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<uint>("fieldFlag");
    QTest::addColumn<bool>("pairs");
    QTest::newRow("50") << 50 << false << 0x80000000u << true;
    QTest::newRow("60") << 60 << false << 0x00008000u << true;
    QTest::newRow("60 drop") << 60 << true << 0x00008000u << true;
    QTest::newRow("30 drop") << 30 << true << 0u << false;
    QTest::newRow("25") << 25 << false << 0u << false;
}

// Two minutes of frames, across a (dropped) minute boundary: the flagged form carries the frame
// pair and the field flag, and reads back to the same frame, also through its text.
void tst_TimecodeMode::flaggedMinute()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(uint, fieldFlag);
    QFETCH(bool, pairs);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    const int first = mode->tc_to_frames(bcd(0, 0, 59, 0));
    for (int n = first; n < first + fps * 120; ++n) {
        const tc_t plain = mode->frames_to_tc(n);
        const tc_t ext = mode->frames_to_ext_tc(n);
        const int f = int(((plain & 0xF0) >> 4) * 10 + (plain & 0x0F));
        const tc_t expectedFrames = pairs ? tc_t(((f / 2) / 10) << 4 | (f / 2) % 10) : (plain & 0xFF);
        tc_t expected = (plain & 0xFFFFFF00u) | expectedFrames;
        if (pairs && f % 2)
            expected |= fieldFlag;
        if (drop)
            expected |= 0x40;
        if (ext != expected)
            QFAIL(qPrintable(
                QStringLiteral("frame %1: flagged %2, expected %3").arg(n).arg(hex(ext), hex(expected))));
        if (mode->ext_tc_to_tc(ext) != plain || mode->ext_tc_to_frames(ext) != n)
            QFAIL(qPrintable(QStringLiteral("frame %1: flagged %2 does not read back").arg(n).arg(hex(ext))));
        const std::string text = mode->ext_tc_to_text(ext);
        if (mode->ext_tc_to_tc(mode->text_to_ext_tc(text)) != plain)
            QFAIL(
                qPrintable(QStringLiteral("frame %1: text %2 does not read back").arg(n).arg(text.c_str())));
    }
}

void tst_TimecodeMode::flaggedKnown_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<uint>("plain");
    QTest::addColumn<uint>("ext");
    QTest::addColumn<QString>("text");

    QTest::newRow("50: odd frame sets bit 31") << 50 << false << 0x10000049u << 0x90000024u << "10:00:00:24*";
    QTest::newRow("50: even frame") << 50 << false << 0x10000048u << 0x10000024u << "10:00:00:24";
    QTest::newRow("60: odd frame sets bit 15") << 60 << false << 0x23595959u << 0x2359D929u << "23:59:59:29*";
    QTest::newRow("60 drop: pair, flag and 0x40")
        << 60 << true << 0x01020305u << 0x01028342u << "01:02.03:02*";
    QTest::newRow("60 drop: even frame") << 60 << true << 0x01020304u << 0x01020342u << "01:02.03:02";
    QTest::newRow("30 drop: only 0x40") << 30 << true << 0x01020304u << 0x01020344u << "01:02.03:04";
    QTest::newRow("24: unchanged") << 24 << false << 0x01020304u << 0x01020304u << "01:02:03:04";
}

void tst_TimecodeMode::flaggedKnown()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(uint, plain);
    QFETCH(uint, ext);
    QFETCH(QString, text);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    QCOMPARE(mode->tc_to_ext_tc(plain), ext);
    QCOMPARE(mode->ext_tc_to_tc(ext), plain);
    QCOMPARE(QString::fromStdString(mode->ext_tc_to_text(ext)), text);
    QCOMPARE(mode->ext_tc_to_tc(mode->text_to_ext_tc(text.toStdString())), plain);
}

void tst_TimecodeMode::textForms_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<uint>("tc");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("smpte");

    QTest::newRow("24") << 24 << false << 0x01020304u << "01:02:03:04"
                        << "smpte-24=01:02:03:04";
    QTest::newRow("25") << 25 << false << 0x12345607u << "12:34:56:07"
                        << "smpte-25=12:34:56:07";
    QTest::newRow("50") << 50 << false << 0x23595949u << "23:59:59:49"
                        << "smpte-50=23:59:59:49";
    QTest::newRow("30 drop") << 30 << true << 0x01020304u << "01:02.03:04"
                             << "smpte-30-drop=01:02:03:04";
    QTest::newRow("60 drop") << 60 << true << 0x10595959u << "10:59.59:59"
                             << "smpte-60-drop=10:59:59:59";
}

void tst_TimecodeMode::textForms()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(uint, tc);
    QFETCH(QString, text);
    QFETCH(QString, smpte);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    QCOMPARE(QString::fromStdString(mode->tc_to_text(tc)), text);
    QCOMPARE(QString::fromStdString(mode->tc_to_smpte_text(tc)), smpte);
    QCOMPARE(mode->text_to_tc(text.toStdString()), tc);
    QCOMPARE(mode->smpte_text_to_tc(smpte.toStdString()), tc);
    const int frames = mode->tc_to_frames(tc);
    QCOMPARE(mode->text_to_frames(text.toStdString()), frames);
    QCOMPARE(mode->text_to_frames_2(text.toStdString()), frames);
    QCOMPARE(QString::fromStdString(mode->frames_to_text(frames)), text);
    QCOMPARE(QString::fromStdString(mode->frames_to_smpte_text(frames)), smpte);
}

// The first eleven minutes (two dropped-minute boundaries and a tenth minute) of every frame.
void tst_TimecodeMode::textRoundTrip()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);

    const timecode_mode *mode = get_timecode_mode(fps, drop);
    const int last = mode->tc_to_frames(bcd(0, 11, 0, 0)) + fps;
    for (int n = 0; n < last; ++n) {
        const std::string text = mode->frames_to_text(n);
        const std::string smpte = mode->frames_to_smpte_text(n);
        if (mode->text_to_frames(text) != n || mode->smpte_text_to_tc(smpte) != mode->frames_to_tc(n))
            QFAIL(qPrintable(QStringLiteral("frame %1: %2 / %3 do not read back")
                                 .arg(n)
                                 .arg(QString::fromStdString(text), QString::fromStdString(smpte))));
    }
}

void tst_TimecodeMode::lenientParsing_data()
{
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("tc");

    QTest::newRow("empty") << 25 << false << "" << 0u;
    QTest::newRow("garbage") << 25 << false << "zz:00" << 0u;
    QTest::newRow("hours and minutes only") << 25 << false << "12:34" << 0x12340000u;
    QTest::newRow("not validated") << 25 << false << "99:99:99:99" << 0x99999999u;
    QTest::newRow("hex digits read as such") << 25 << false << "ab:cd:ef:12" << 0xABCDEF12u;
    QTest::newRow("single digits") << 25 << false << "1:2:3:4" << 0x01020304u;
    QTest::newRow("drop mode wants the full stop") << 30 << true << "01:02:03:04" << 0x01020000u;
    QTest::newRow("non-drop stops at a full stop") << 30 << false << "01:02.03:04" << 0x01020000u;
}

void tst_TimecodeMode::lenientParsing()
{
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(QString, text);
    QFETCH(uint, tc);

    QCOMPARE(get_timecode_mode(fps, drop)->text_to_tc(text.toStdString()), tc);
}

QTEST_GUILESS_MAIN(tst_TimecodeMode)
#include "tst_timecodemode.moc"
