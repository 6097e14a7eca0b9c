#pragma once

#include <QString>

struct FrameRate;

// Timecode text for the operator, and the two packings of HH:MM:SS:FF in one word:
// integer-packed (plain byte values; the wire, the settings and operator input) and BCD-packed
// (what the timecode modes count with). -1 means "no timecode" in both.

// A frame count as timecode text at `rate`; -1 prints as dashes, a null mode as 00:00:00:00.
QString formatFrames(const FrameRate &rate, int frames);

// A BCD-packed timecode as "hh:mm:ss:ff", or "hh:mm:ss;ff" for drop-frame; -1 prints as dashes.
QString formatBcd(int bcdTc, bool dropFrame);

// An integer-packed timecode as "hh:mm:ss:ff". Anything out of range (or -1) prints as
// "--:--:--:--" and sets *ok to false; a printable one sets *ok to true.
QString formatPacked(int packedTc, bool *ok = nullptr);

// Operator input: separators ':', ';', ',' and '.' are optional, so "12:34:56:07", "12.34.56.07"
// and "12345607" are the same timecode. Frames 00 to 29 are accepted whatever the rate.
QString stripSeparators(QString text);
bool isValidTcText(const QString &text);
// The integer-packed timecode of valid operator text, -1 otherwise.
int parseTcText(const QString &text);

int packedToBcd(int packedTc);
int bcdToPacked(int bcdTc);
