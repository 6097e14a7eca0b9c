#include "cmn/timecode.h"
#include "cmn/timecodemode.h"
#include "trx/portstate.h"

#include <QtTest>

#include <climits>

using cmn::get_timecode_mode;

namespace {

trx::PortState portState(int rateCode, bool dropFrame, int currentTc = -1, int tag = 7)
{
    trx::PortState s;
    s.systemFrequency = rateCode;
    s.dropFrame = dropFrame;
    s.currentTc = currentTc;
    s.tcTag = tag;
    return s;
}

int packed(int h, int m, int s, int f)
{
    return (h << 24) | (m << 16) | (s << 8) | f;
}

TimeCode at(int rateCode, bool dropFrame, int packedTc, int days = 0)
{
    return TimeCode(portState(rateCode, dropFrame), packedTc, days);
}

TimeCode raw(int origin, int frames, int subFrame = 0)
{
    TimeCode tc;
    tc.origin = origin;
    tc.frames = frames;
    tc.subFrame = subFrame;
    tc.valid = true;
    return tc;
}

} // namespace

class tst_TimeCode : public QObject
{
    Q_OBJECT

private slots:
    void metaTypeRegisteredByName();
    void defaultValue();
    void frameRateFor_data();
    void frameRateFor();
    void fromPortState_data();
    void fromPortState();
    void currentTimecode();
    void missingTimecode();
    void absurdDayOffset();
    void foldSigned_data();
    void foldSigned();
    void rebasedTo_data();
    void rebasedTo();
    void rebasedToSameOriginIsCopy();
    void greaterOrEqual_data();
    void greaterOrEqual();
    void durationText_data();
    void durationText();
    void toString_data();
    void toString();
    void formatFrames_data();
    void formatFrames();
};

// Runs first: nothing has asked for the id yet, so only construction can have registered the name.
void tst_TimeCode::metaTypeRegisteredByName()
{
    const TimeCode tc = at(25, false, packed(1, 2, 3, 4));
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const int id = QMetaType::type("TimeCode");
#else
    const int id = QMetaType::fromName("TimeCode").id();
#endif
    QVERIFY(id != QMetaType::UnknownType);
    QCOMPARE(id, qMetaTypeId<TimeCode>());

    const QVariant v = QVariant::fromValue(tc);
    QCOMPARE(v.userType(), id);
    QCOMPARE(v.value<TimeCode>().frames, tc.frames);
    QCOMPARE(QString::fromLatin1(v.typeName()), QStringLiteral("TimeCode"));
}

void tst_TimeCode::defaultValue()
{
    const TimeCode tc;
    QCOMPARE(tc.origin, 0);
    QCOMPARE(tc.rate.mode, get_timecode_mode(30, false));
    QCOMPARE(tc.rate.scale, 1000);
    QCOMPARE(tc.tag, 1);
    QCOMPARE(tc.frames, 0);
    QCOMPARE(tc.valid, false);
    QCOMPARE(tc.subFrame, 0);
    QCOMPARE(tc.toString(), QStringLiteral("00:00:00:00"));
}

void tst_TimeCode::frameRateFor_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("dropMode");
    QTest::addColumn<int>("scale");

    for (int code : {23, 47}) {
        QTest::addRow("%d", code) << code << false << 24 << false << 1001;
        QTest::addRow("%d with drop flag stays non-drop", code) << code << true << 24 << false << 1001;
    }
    for (int code : {24, 48}) {
        QTest::addRow("%d", code) << code << false << 24 << false << 1000;
        QTest::addRow("%d with drop flag", code) << code << true << 24 << false << 1000;
    }
    for (int code : {25, 50, 75, 100, 150, 200, 250, 300, 400, 500, 600, 800, 1000, 1200, 1500, 1600}) {
        QTest::addRow("%d", code) << code << false << 25 << false << 1000;
        QTest::addRow("%d with drop flag", code) << code << true << 25 << false << 1000;
    }
    for (int code : {29, 59, 89, 119, 179, 239, 299, 359, 479, 599, 719, 959, 1199, 1439, 1799, 1919}) {
        QTest::addRow("%d", code) << code << false << 30 << false << 1001;
        QTest::addRow("%d drop", code) << code << true << 30 << true << 1001;
    }
    for (int code : {0, -1, 30, 60, 26, 49, 120, 2000, INT_MIN}) {
        QTest::addRow("unknown %d", code) << code << false << 30 << false << 1000;
        QTest::addRow("unknown %d with drop flag", code) << code << true << 30 << false << 1000;
    }
}

void tst_TimeCode::frameRateFor()
{
    QFETCH(int, code);
    QFETCH(bool, drop);
    QFETCH(int, fps);
    QFETCH(bool, dropMode);
    QFETCH(int, scale);

    const FrameRate rate = ::frameRateFor(code, drop);
    QCOMPARE(rate.mode, get_timecode_mode(fps, dropMode));
    QCOMPARE(rate.scale, scale);
}

void tst_TimeCode::fromPortState_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("packedTc");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("text");

    QTest::newRow("25: 23:00 on the next day")
        << 25 << false << packed(23, 0, 0, 0) << 1 << 4230000 << "23:00:00:00";
    QTest::newRow("25: midnight") << 25 << false << 0 << 0 << 0 << "00:00:00:00";
    QTest::newRow("24 (23.976): one hour")
        << 23 << false << packed(1, 0, 0, 0) << 0 << 86400 << "01:00:00:00";
    QTest::newRow("30: 12:34:56:07") << 30 << false << packed(12, 34, 56, 7) << 0 << 1358887 << "12:34:56:07";
    QTest::newRow("30 drop: first frame of minute 1")
        << 29 << true << packed(0, 1, 0, 2) << 0 << 1800 << "00:01:00;02";
    QTest::newRow("30 drop: minute 10") << 59 << true << packed(0, 10, 0, 0) << 0 << 17982 << "00:10:00;00";
    QTest::newRow("30 drop: previous day")
        << 29 << true << packed(0, 10, 0, 0) << -1 << 17982 - 2589408 << "00:10:00;00";
    QTest::newRow("29.97 without drop flag")
        << 29 << false << packed(0, 1, 0, 0) << 0 << 1800 << "00:01:00:00";
    QTest::newRow("30 drop: a week ahead")
        << 29 << true << packed(23, 59, 59, 29) << 7 << 7 * 2589408 + 2589407 << "23:59:59;29";
}

void tst_TimeCode::fromPortState()
{
    QFETCH(int, code);
    QFETCH(bool, drop);
    QFETCH(int, packedTc);
    QFETCH(int, days);
    QFETCH(int, frames);
    QFETCH(QString, text);

    const TimeCode tc(portState(code, drop, -1, 42), packedTc, days);
    QCOMPARE(tc.frames, frames);
    QCOMPARE(tc.toString(), text);
    QCOMPARE(tc.rate, ::frameRateFor(code, drop));
    QCOMPARE(tc.tag, 42);
    QCOMPARE(tc.origin, 0);
    QCOMPARE(tc.valid, true);
    QCOMPARE(tc.subFrame, 0);
}

void tst_TimeCode::currentTimecode()
{
    const TimeCode tc(portState(25, false, packed(10, 0, 0, 1), 3));
    QCOMPARE(tc.frames, 900001);
    QCOMPARE(tc.tag, 3);
    QVERIFY(tc.valid);
}

void tst_TimeCode::missingTimecode()
{
    // A port that has not reported a timecode yet.
    const TimeCode current(portState(29, true, -1, 5));
    QCOMPARE(current.valid, false);
    QCOMPARE(current.frames, 0);
    QCOMPARE(current.rate, ::frameRateFor(29, true));
    QCOMPARE(current.tag, 5);

    const TimeCode nextDay(portState(25, false), -1, 1);
    QCOMPARE(nextDay.valid, false);
    QCOMPARE(nextDay.frames, 0);
}

void tst_TimeCode::absurdDayOffset()
{
    // A date thousands of days away must not overflow the frame count.
    QCOMPARE(at(25, false, 0, 100000).frames, INT_MAX);
    QCOMPARE(at(25, false, 0, -100000).frames, INT_MIN);
}

void tst_TimeCode::foldSigned_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("folded");

    QTest::newRow("30: half a day is the negative end") << 30 << false << 1296000 << -1296000;
    QTest::newRow("30: just under half a day") << 30 << false << 1295999 << 1295999;
    QTest::newRow("30: minus half a day stays") << 30 << false << -1296000 << -1296000;
    QTest::newRow("30: just past minus half a day") << 30 << false << -1296001 << 1295999;
    QTest::newRow("30: -1") << 30 << false << -1 << -1;
    QTest::newRow("30: one day is zero") << 30 << false << 2592000 << 0;
    QTest::newRow("30: a day and one back") << 30 << false << 2591999 << -1;
    QTest::newRow("30: many days") << 30 << false << 10 * 2592000 + 5 << 5;
    QTest::newRow("30 drop: half a day") << 29 << true << 1294704 << -1294704;
    QTest::newRow("30 drop: just under half") << 29 << true << 1294703 << 1294703;
    QTest::newRow("25: INT_MIN") << 25 << false << INT_MIN << -443648;
}

void tst_TimeCode::foldSigned()
{
    QFETCH(int, code);
    QFETCH(bool, drop);
    QFETCH(int, frames);
    QFETCH(int, folded);

    QCOMPARE(::foldSigned(::frameRateFor(code, drop), frames), folded);
    QCOMPARE(::foldSigned(FrameRate{}, frames), 0);
}

void tst_TimeCode::rebasedTo_data()
{
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("otherOrigin");
    QTest::addColumn<int>("rebased");

    QTest::newRow("later origin") << 100 << 50 << 0 << 150;
    QTest::newRow("earlier frame wraps to the previous day") << 0 << 10 << 20 << 2592000 - 10;
    QTest::newRow("a day offset is folded away") << 1 << 2592000 + 5 << 0 << 6;
    QTest::newRow("negative origin") << -30 << 60 << 0 << 30;
}

void tst_TimeCode::rebasedTo()
{
    QFETCH(int, origin);
    QFETCH(int, frames);
    QFETCH(int, otherOrigin);
    QFETCH(int, rebased);

    TimeCode self = raw(origin, frames, 3);
    self.tag = 9;
    TimeCode other = raw(otherOrigin, 0);
    other.rate = ::frameRateFor(29, false); // same mode, other scale: the result takes other's rate

    const TimeCode r = self.rebasedTo(other);
    QCOMPARE(r.origin, otherOrigin);
    QCOMPARE(r.frames, rebased);
    QCOMPARE(r.rate, other.rate);
    QCOMPARE(r.tag, 1);
    QCOMPARE(r.valid, true);
    QCOMPARE(r.subFrame, 0);
}

void tst_TimeCode::rebasedToSameOriginIsCopy()
{
    TimeCode self = raw(2592000, 2592000 + 17, 2); // origin one day on: the same origin on the clock
    self.tag = 9;
    self.valid = false;
    const TimeCode r = self.rebasedTo(raw(0, 5));
    QCOMPARE(r.origin, self.origin);
    QCOMPARE(r.frames, self.frames);
    QCOMPARE(r.tag, 9);
    QCOMPARE(r.valid, false);
    QCOMPARE(r.subFrame, 2);
}

void tst_TimeCode::greaterOrEqual_data()
{
    QTest::addColumn<int>("aOrigin");
    QTest::addColumn<int>("aFrames");
    QTest::addColumn<int>("aSub");
    QTest::addColumn<int>("bOrigin");
    QTest::addColumn<int>("bFrames");
    QTest::addColumn<int>("bSub");
    QTest::addColumn<bool>("result");

    QTest::newRow("equal") << 0 << 100 << 0 << 0 << 100 << 0 << true;
    QTest::newRow("later") << 0 << 101 << 0 << 0 << 100 << 0 << true;
    QTest::newRow("earlier") << 0 << 99 << 0 << 0 << 100 << 0 << false;
    QTest::newRow("same frame, smaller sub-frame") << 0 << 100 << 1 << 0 << 100 << 2 << false;
    QTest::newRow("same frame, larger sub-frame") << 0 << 100 << 2 << 0 << 100 << 1 << true;
    QTest::newRow("next day beats late today") << 0 << 2592000 << 0 << 0 << 2591999 << 0 << true;
    QTest::newRow("previous day is earlier") << 0 << -1 << 0 << 0 << 0 << 0 << false;
    QTest::newRow("b on a later origin") << 0 << 10 << 0 << 5 << 10 << 0 << false;
    QTest::newRow("b on an earlier origin") << 0 << 10 << 0 << -5 << 10 << 0 << true;
}

void tst_TimeCode::greaterOrEqual()
{
    QFETCH(int, aOrigin);
    QFETCH(int, aFrames);
    QFETCH(int, aSub);
    QFETCH(int, bOrigin);
    QFETCH(int, bFrames);
    QFETCH(int, bSub);
    QFETCH(bool, result);

    QCOMPARE(raw(aOrigin, aFrames, aSub) >= raw(bOrigin, bFrames, bSub), result);
}

void tst_TimeCode::durationText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("startDays");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("endDays");
    QTest::addColumn<QString>("text");

    QTest::newRow("across midnight, same day")
        << 30 << false << packed(23, 59, 59, 29) << 0 << 0 << 0 << "00:00:00:02";
    QTest::newRow("across midnight, next day")
        << 30 << false << packed(23, 59, 59, 29) << 0 << 0 << 1 << "00:00:00:02";
    QTest::newRow("start equals end")
        << 30 << false << packed(10, 0, 0, 0) << 0 << packed(10, 0, 0, 0) << 0 << "00:00:00:01";
    QTest::newRow("25: one hour") << 25 << false << packed(10, 0, 0, 0) << 0 << packed(10, 59, 59, 24) << 0
                                  << "01:00:00:00";
    QTest::newRow("25: overnight") << 25 << false << packed(22, 0, 0, 0) << 0 << packed(1, 59, 59, 24) << 1
                                   << "04:00:00:00";
    QTest::newRow("30 drop: over a dropped minute")
        << 29 << true << packed(0, 0, 59, 29) << 0 << packed(0, 1, 0, 2) << 0 << "00:00:00;02";
    QTest::newRow("30 drop: ten minutes")
        << 29 << true << 0 << 0 << packed(0, 9, 59, 29) << 0 << "00:10:00;00";
    QTest::newRow("30 drop: one minute is 1798 frames")
        << 29 << true << packed(0, 1, 0, 2) << 0 << packed(0, 1, 59, 29) << 0 << "00:00:59;28";
}

void tst_TimeCode::durationText()
{
    QFETCH(int, code);
    QFETCH(bool, drop);
    QFETCH(int, start);
    QFETCH(int, startDays);
    QFETCH(int, end);
    QFETCH(int, endDays);
    QFETCH(QString, text);

    QCOMPARE(::durationText(at(code, drop, end, endDays), at(code, drop, start, startDays)), text);
}

void tst_TimeCode::toString_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("origin");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("text");

    QTest::newRow("30") << 30 << false << 0 << 1358887 << "12:34:56:07";
    QTest::newRow("30: previous day") << 30 << false << 0 << -1 << "23:59:59:29";
    QTest::newRow("30: origin added") << 30 << false << 30 << 30 << "00:00:02:00";
    QTest::newRow("30 drop") << 29 << true << 0 << 1800 << "00:01:00;02";
    QTest::newRow("24: two days on") << 24 << false << 0 << 2 * 2073600 + 24 << "00:00:01:00";
}

void tst_TimeCode::toString()
{
    QFETCH(int, code);
    QFETCH(bool, drop);
    QFETCH(int, origin);
    QFETCH(int, frames);
    QFETCH(QString, text);

    TimeCode tc = raw(origin, frames);
    tc.rate = ::frameRateFor(code, drop);
    QCOMPARE(tc.toString(), text);
}

void tst_TimeCode::formatFrames_data()
{
    QTest::addColumn<bool>("nullMode");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("text");

    QTest::newRow("none") << false << false << -1 << "--:--:--:--";
    QTest::newRow("none, drop-frame") << false << true << -1 << "--:--:--;--";
    QTest::newRow("null mode") << true << false << 12345 << "00:00:00:00";
    QTest::newRow("null mode, none") << true << false << -1 << "--:--:--:--";
    QTest::newRow("drop-frame") << false << true << 17982 << "00:10:00;00";
    QTest::newRow("non-drop") << false << false << 17982 << "00:09:59:12";
}

void tst_TimeCode::formatFrames()
{
    QFETCH(bool, nullMode);
    QFETCH(bool, drop);
    QFETCH(int, frames);
    QFETCH(QString, text);

    const FrameRate rate = nullMode ? FrameRate{} : ::frameRateFor(29, drop);
    QCOMPARE(::formatFrames(rate, frames), text);
}

QTEST_GUILESS_MAIN(tst_TimeCode)
#include "tst_timecode.moc"
