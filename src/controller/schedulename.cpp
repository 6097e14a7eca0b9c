#include "controller/schedulename.h"

#include "cmn/timecode.h"

#include <QDate>

namespace {

constexpr int kMaxRounds = 32;
constexpr int kMaxNameLength = 32;

} // namespace

QString expandScheduleName(const QString &rule, const QString &camLabel, const QDate &startDate,
                           const QString &tcInDigits)
{
    const QString camToken = QStringLiteral("%CAMLBL%");
    const QString dateToken = QStringLiteral("%CDATE%");
    const QString tcToken = QStringLiteral("%TCIN%");

    QString text = rule;
    int pos = 0;
    for (int rounds = 0; pos < text.size() && rounds < kMaxRounds; ++rounds) {
        const int a = text.indexOf(QLatin1Char('%'), pos);
        if (a < 0)
            break;
        const int b = text.indexOf(QLatin1Char('%'), a + 1);
        if (b < 0)
            break;
        const int tokenLength = b - a + 1;
        const QString token = text.mid(a, tokenLength).toUpper();
        QString value;
        bool placeholder = true;
        if (token == camToken)
            value = camLabel;
        else if (token == dateToken)
            value = startDate.toString(QStringLiteral("yyyyMMdd"));
        else if (token == tcToken)
            value = tcInDigits;
        else
            placeholder = false;

        if (placeholder) {
            text.replace(a, tokenLength, value);
            // Resume after the inserted value so that a '%' inside it is never taken as a token.
            pos = a + value.size();
        } else {
            // The closing '%' may open the next token ("100% %TCIN%").
            pos = b;
        }
    }
    return text.left(kMaxNameLength);
}

QString cameraLabel(const QString &portName, int portNo)
{
    if (!portName.isEmpty())
        return portName;
    return QStringLiteral("Port %1").arg(QChar(QLatin1Char('A').unicode() + portNo));
}

QString tcInDigits(const QString &tcText)
{
    QString digits = tcText;
    digits.remove(QLatin1Char(':'));
    digits.remove(QLatin1Char(';'));
    return digits;
}

QString tcInDigits(const TimeCode &tc)
{
    return tcInDigits(tc.toString());
}
