#pragma once

// Records written out by hand from their field tables, with recognisable values, for tests that
// need a whole record on the wire.

#include "handbytes.h"

namespace hand {

constexpr qint64 Jan1st2000 = 2451545;

inline QByteArray destinationBytes(const char *tag, qint32 progress, qint32 status)
{
    const QByteArray t(tag);
    return str(t + "clip") + str(t + "ref") + str(t + "3") + str(t + "4") + str(t + "5") + str(t + "6") +
           i32(progress) + i32(status) + boolean(true) + str(t + "7");
}

// Schedule "id1" on server SRV port 5: start 2000-01-01 10:00:00:00, end 2000-01-02 11:00:00:00.
inline QByteArray scheduleBytes()
{
    return str("id1") + str("main") + str("SRV") + str("Name") + boolean(true) + date(Jan1st2000) +
           i32(0x0a000000) + date(Jan1st2000 + 1) + i32(0x0b000000) + i32(5) + i32(255) +
           destinationBytes("m", 40, 2) + destinationBytes("p", -1, 0);
}

// Train 0x1a2b of server SRV; fields 2 to 18 carry 20, 30, ... 180.
inline QByteArray recordTrainBytes()
{
    QByteArray b = str("SRV");
    for (qint32 field = 2; field <= 18; ++field)
        b += i32(field * 10);
    b += boolean(true) + i32(200) + i32(210) + str("20261208") + str("123456789") + boolean(true);
    b += i32(250) + i32(260) + i32(270) + i16(28) + i16(29);
    b += bytes(hex("c0ffee")) + bytes(hex("01")) + i32(320) + i32(0x1a2b) + boolean(true) +
         bytes(QByteArray());
    b += u32(2) + str("a") + str("b");
    b += i32(370) + i32(380) + i32(390) + str("forty");
    return b;
}

inline QByteArray clipBytes()
{
    return recordTrainBytes() + str("c41") + str("c42") + boolean(true) + i32(44) + str("c45") + i32(46) +
           i16(47);
}

inline QByteArray vflDetailBytes()
{
    // The pairs travel as b, a and d, c.
    QByteArray b = str("x") + str("y") + str("z") + i32(4) + i32(5) + i32(6) + i32(7) + i32(8);
    for (qint32 field = 9; field <= 16; ++field)
        b += i32(field);
    return b + u32(1) + i32(17) + i64(0x100000000LL) + boolean(true);
}

inline QByteArray vflObjectBytes()
{
    return u32(1) + vflDetailBytes() + str("t2") + str(nullptr) + vflDetailBytes() + u32(1) + str("only") +
           i32(-1) + i32(0) + i32(9) + i32(9);
}

// Server "id" named "Server A", connected; block values 1000 to 1016.
inline QByteArray serverInfoBytes()
{
    QByteArray b = str("id") + str("Server A") + str("3") + str("4") + str("5") + boolean(false) +
                   boolean(true) + str("8") + str("9") + str("10") + i32(11) + i32(12);
    for (qint32 i = 0; i < 17; ++i)
        b += i32(1000 + i);
    return b + boolean(true) + boolean(false) + u8(16) + str("17") + u32(1) + i32(18) + u32(0) + u32(2) +
           i32(1) + i32(2) + u32(1) + i32(21) + i32(210);
}

// State code 1, recording, timecode 01:02:03:04, rate code 11.
inline QByteArray portStateBytes()
{
    return i32(1) + i32(2) + i32(3) + i32(0x01020304) + i32(5) + i32(6) + i32(7) + boolean(false) +
           boolean(true) + boolean(true) + i32(11) + i32(120) + i32(130) + i32(14) + str("p") + i32(16) +
           i16(17);
}

inline QByteArray mgwBytes()
{
    return str("mgw1") + str("x") + str("Gateway") + u32(2) + str("d1") + str("Drive 1") + str("d2") +
           str("Drive 2");
}

inline QByteArray folderBytes()
{
    return str("f1") + str("root") + str("News") + str("/News");
}

inline QByteArray floatSampleBytes()
{
    return i32(1) + dbl(0.5) + dbl(-2.25) + dbl(1024) + boolean(true) + boolean(false) + dbl(3) + dbl(0) +
           dbl(100.125);
}

inline QByteArray push133Bytes()
{
    return str("1") + str("2") + str("3") + str("4") + str("5") + i32(6) + utcDateTime(Jan1st2000, 1000) +
           utcDateTime(Jan1st2000, 2000) + utcDateTime(Jan1st2000 + 1, 0) + str("10");
}

} // namespace hand
