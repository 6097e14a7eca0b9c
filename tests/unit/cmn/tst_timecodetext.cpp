#include "cmn/timecodetext.h"

#include <QtTest>

class tst_TimecodeText : public QObject
{
    Q_OBJECT

private slots:
    void operatorInput_data();
    void operatorInput();
    void stripSeparators_data();
    void stripSeparators();
    void formatPacked_data();
    void formatPacked();
    void formatPackedWithoutFlag();
    void formatBcd_data();
    void formatBcd();
    void packings_data();
    void packings();
    void packingsEveryByte();
    void malformedByteStaysInItsByte();
};

void tst_TimecodeText::operatorInput_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("packed");

    QTest::newRow("colons") << "12:34:56:07" << 0x0C223807;
    QTest::newRow("semicolons") << "12;34;56;07" << 0x0C223807;
    QTest::newRow("full stops") << "12.34.56.07" << 0x0C223807;
    QTest::newRow("commas") << "12,34,56,07" << 0x0C223807;
    QTest::newRow("digits only") << "12345607" << 0x0C223807;
    QTest::newRow("drop-frame form") << "12:34:56;07" << 0x0C223807;
    QTest::newRow("midnight") << "00:00:00:00" << 0;
    QTest::newRow("last valid") << "23:59:59:29" << 0x173B3B1D;
    QTest::newRow("maintenance default") << "02000000" << 0x02000000;
    QTest::newRow("hour 24") << "24:00:00:00" << -1;
    QTest::newRow("hour 29") << "29:00:00:00" << -1;
    QTest::newRow("minute 60") << "12:60:00:00" << -1;
    QTest::newRow("second 60") << "12:34:60:00" << -1;
    QTest::newRow("frame 30") << "12:34:56:30" << -1;
    QTest::newRow("seven digits") << "1234560" << -1;
    QTest::newRow("nine digits") << "123456078" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("separators only") << ":::" << -1;
    QTest::newRow("leading blank") << " 12345607" << -1;
    QTest::newRow("letters") << "ab:cd:ef:01" << -1;
    QTest::newRow("dash placeholder") << "--:--:--:--" << -1;
    QTest::newRow("other separator") << "12-34-56-07" << -1;
    QTest::newRow("non-ASCII digits")
        << QString::fromUtf8("\u0661\u0662\u0663\u0664\u0665\u0666\u0660\u0667") << -1;
    QTest::newRow("sign") << "+1345607" << -1;
}

void tst_TimecodeText::operatorInput()
{
    QFETCH(QString, text);
    QFETCH(int, packed);

    QCOMPARE(parseTcText(text), packed);
    QCOMPARE(isValidTcText(text), packed != -1);
}

void tst_TimecodeText::stripSeparators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");

    QTest::newRow("all four") << "1:2;3,4.5"
                              << "12345";
    QTest::newRow("other punctuation kept") << "12-34 56/07"
                                            << "12-34 56/07";
    QTest::newRow("only separators") << ":;,."
                                     << "";
}

void tst_TimecodeText::stripSeparators()
{
    QFETCH(QString, text);
    QFETCH(QString, stripped);

    QCOMPARE(::stripSeparators(text), stripped);
}

void tst_TimecodeText::formatPacked_data()
{
    QTest::addColumn<int>("packed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");

    QTest::newRow("none") << -1 << "--:--:--:--" << false;
    QTest::newRow("12:34:56:07") << 0x0C223807 << "12:34:56:07" << true;
    QTest::newRow("midnight") << 0 << "00:00:00:00" << true;
    QTest::newRow("last frame at 30") << 0x173B3B1D << "23:59:59:29" << true;
    QTest::newRow("frames 30") << 0x0C22381E << "--:--:--:--" << false;
    QTest::newRow("hours 24") << 0x18000000 << "--:--:--:--" << false;
    QTest::newRow("minutes 60") << 0x003C0000 << "--:--:--:--" << false;
    QTest::newRow("seconds 60") << 0x00003C00 << "--:--:--:--" << false;
    QTest::newRow("high byte set") << int(0x80000000) << "--:--:--:--" << false;
}

void tst_TimecodeText::formatPacked()
{
    QFETCH(int, packed);
    QFETCH(QString, text);
    QFETCH(bool, ok);

    bool flag = !ok; // must be overwritten either way
    QCOMPARE(::formatPacked(packed, &flag), text);
    QCOMPARE(flag, ok);
}

void tst_TimecodeText::formatPackedWithoutFlag()
{
    QCOMPARE(::formatPacked(0x0C223807), QStringLiteral("12:34:56:07"));
    QCOMPARE(::formatPacked(-1, nullptr), QStringLiteral("--:--:--:--"));
}

void tst_TimecodeText::formatBcd_data()
{
    QTest::addColumn<int>("bcd");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("text");

    QTest::newRow("none, drop-frame") << -1 << true << "--:--:--;--";
    QTest::newRow("none") << -1 << false << "--:--:--:--";
    QTest::newRow("drop-frame separator") << 0x01020304 << true << "01:02:03;04";
    QTest::newRow("non-drop") << 0x01020304 << false << "01:02:03:04";
    QTest::newRow("decimal digits") << 0x23595929 << false << "23:59:59:29";
    QTest::newRow("damaged nibbles shown whole") << int(0xFA095900) << true << "160:09:59;00";
}

void tst_TimecodeText::formatBcd()
{
    QFETCH(int, bcd);
    QFETCH(bool, drop);
    QFETCH(QString, text);

    QCOMPARE(::formatBcd(bcd, drop), text);
}

void tst_TimecodeText::packings_data()
{
    QTest::addColumn<int>("packed");
    QTest::addColumn<int>("bcd");

    QTest::newRow("none") << -1 << -1;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("12:34:56:07") << 0x0C223807 << 0x12345607;
    QTest::newRow("23:59:59:29") << 0x173B3B1D << 0x23595929;
    QTest::newRow("99 in every byte") << 0x63636363 << int(0x99999999);
}

void tst_TimecodeText::packings()
{
    QFETCH(int, packed);
    QFETCH(int, bcd);

    QCOMPARE(packedToBcd(packed), bcd);
    QCOMPARE(bcdToPacked(bcd), packed);
}

void tst_TimecodeText::packingsEveryByte()
{
    for (int n = 0; n < 100; ++n) {
        const int digits = ((n / 10) << 4) | (n % 10);
        for (int shift = 0; shift < 32; shift += 8) {
            const int packed = n << shift;
            const int bcd = int(quint32(digits) << shift);
            if (packedToBcd(packed) != bcd || bcdToPacked(bcd) != packed)
                QFAIL(qPrintable(QStringLiteral("byte value %1 at bit %2").arg(n).arg(shift)));
        }
    }
}

void tst_TimecodeText::malformedByteStaysInItsByte()
{
    QCOMPARE(packedToBcd(0x000000FF) & ~0xFF, 0);
    QCOMPARE(packedToBcd(0x00C80000) & ~0x00FF0000, 0);
    QCOMPARE(packedToBcd(0x01000064) & ~0xFF, 0x01000000);
}

QTEST_GUILESS_MAIN(tst_TimecodeText)
#include "tst_timecodetext.moc"
