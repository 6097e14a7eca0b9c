#include "cmn/timecodetext.h"

#include "cmn/framerate.h"
#include "cmn/timecodemode.h"

#include <QRegularExpression>

namespace {

QString formatFields(int hours, int minutes, int seconds, int frames, bool dropFrame)
{
    const int fields[] = {hours, minutes, seconds, frames};
    for (const int v : fields) {
        // Only a damaged BCD word has a field past two digits; printf's width rule shows it whole.
        if (v < 0 || v > 99)
            return QString::asprintf("%02d:%02d:%02d%c%02d", hours, minutes, seconds, dropFrame ? ';' : ':',
                                     frames);
    }
    // Every schedule item carries three of these texts: written directly, not through printf.
    const char separators[] = {':', ':', dropFrame ? ';' : ':'};
    QString text(11, Qt::Uninitialized);
    QChar *out = text.data();
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            *out++ = QLatin1Char(separators[i - 1]);
        *out++ = QLatin1Char(char('0' + fields[i] / 10));
        *out++ = QLatin1Char(char('0' + fields[i] % 10));
    }
    return text;
}

} // namespace

QString formatFrames(const FrameRate &rate, int frames)
{
    const bool dropFrame = rate.mode && rate.mode->is_drop_frame();
    int word = 0;
    if (frames == -1)
        word = -1;
    else if (rate.mode)
        word = int(rate.mode->frames_to_tc(frames));
    return formatBcd(word, dropFrame);
}

QString formatBcd(int bcdTc, bool dropFrame)
{
    if (bcdTc == -1)
        return dropFrame ? QStringLiteral("--:--:--;--") : QStringLiteral("--:--:--:--");
    const quint32 w = quint32(bcdTc);
    using cmn::timecode_mode;
    return formatFields(timecode_mode::bcd_to_int(w >> 24), timecode_mode::bcd_to_int((w >> 16) & 0xFF),
                        timecode_mode::bcd_to_int((w >> 8) & 0xFF), timecode_mode::bcd_to_int(w & 0xFF),
                        dropFrame);
}

QString formatPacked(int packedTc, bool *ok)
{
    const quint32 w = quint32(packedTc);
    const int hours = int(w >> 24);
    const int minutes = int((w >> 16) & 0xFF);
    const int seconds = int((w >> 8) & 0xFF);
    const int frames = int(w & 0xFF);
    const bool printable = packedTc != -1 && hours < 24 && minutes < 60 && seconds < 60 && frames < 30;
    if (ok)
        *ok = printable;
    return printable ? formatFields(hours, minutes, seconds, frames, false) : QStringLiteral("--:--:--:--");
}

QString stripSeparators(QString text)
{
    text.remove(QLatin1Char(':'));
    text.remove(QLatin1Char(';'));
    text.remove(QLatin1Char(','));
    text.remove(QLatin1Char('.'));
    return text;
}

bool isValidTcText(const QString &text)
{
    static const QRegularExpression digits(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-2][0-9][0-5][0-9][0-5][0-9][0-2][0-9]")));
    const QString stripped = stripSeparators(text);
    return stripped.size() == 8 && digits.match(stripped).hasMatch() && QStringView(stripped).left(2).toInt() < 24;
}

int parseTcText(const QString &text)
{
    if (!isValidTcText(text))
        return -1;
    const QString s = stripSeparators(text);
    const int hours = QStringView(s).mid(0, 2).toInt();
    const int minutes = QStringView(s).mid(2, 2).toInt();
    const int seconds = QStringView(s).mid(4, 2).toInt();
    const int frames = QStringView(s).mid(6, 2).toInt();
    return (hours << 24) | (minutes << 16) | (seconds << 8) | frames;
}

// Each byte is converted on its own and kept within its byte, so a malformed byte (100 or more)
// cannot spill into its neighbour.
int packedToBcd(int packedTc)
{
    if (packedTc == -1)
        return -1;
    const quint32 w = quint32(packedTc);
    quint32 out = 0;
    for (int shift = 24; shift >= 0; shift -= 8)
        out |= (cmn::timecode_mode::int_to_bcd(int((w >> shift) & 0xFF)) & 0xFF) << shift;
    return int(out);
}

int bcdToPacked(int bcdTc)
{
    if (bcdTc == -1)
        return -1;
    const quint32 w = quint32(bcdTc);
    quint32 out = 0;
    for (int shift = 24; shift >= 0; shift -= 8)
        out |= quint32(cmn::timecode_mode::bcd_to_int((w >> shift) & 0xFF)) << shift;
    return int(out);
}
