#include "controller/schedulename.h"

#include "cmn/timecode.h"
#include "trx/portstate.h"

#include <QtTest>

class tst_ScheduleName : public QObject
{
    Q_OBJECT

private slots:
    void expand_data();
    void expand();
    void cameraLabel_data();
    void cameraLabel();
    void tcInDigits_data();
    void tcInDigits();
};

void tst_ScheduleName::expand_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("camLabel");
    QTest::addColumn<QString>("tcIn");
    QTest::addColumn<QString>("expected");

    const QString portC = QStringLiteral("Port C");
    const QString tc = QStringLiteral("10203004");
    QTest::newRow("lower-case label and date") << "%camlbl%_%CDATE%" << portC << tc << "Port C_20240305";
    QTest::newRow("all three") << "%CAMLBL% %CDATE% %TCIN%"
                               << "Cam1" << tc << "Cam1 20240305 10203004";
    QTest::newRow("mixed case") << "%TcIn%" << portC << tc << "10203004";
    QTest::newRow("no placeholder") << "Interview" << portC << tc << "Interview";
    QTest::newRow("lone percent before a placeholder") << "100% %TCIN%" << portC << tc << "100% 10203004";
    QTest::newRow("unknown token kept") << "%FOO%_%CDATE%" << portC << tc << "%FOO%_20240305";
    QTest::newRow("unclosed percent") << "%CDATE%_50%" << portC << tc << "20240305_50%";
    QTest::newRow("percent inside a value is not expanded") << "%CAMLBL%CDATE%"
                                                            << "A%" << tc << "A%CDATE%";
    QTest::newRow("cut to 32 characters")
        << "%CAMLBL%_%CDATE%_%TCIN%"
        << "Studio camera number one" << tc << "Studio camera number one_2024030";
    QTest::newRow("plain text cut to 32")
        << QString(40, QLatin1Char('x')) << portC << tc << QString(32, QLatin1Char('x'));
    // With an empty value each placeholder takes one round: 32 are removed, a 33rd stays.
    QTest::newRow("32 rounds expand")
        << QStringLiteral("%TCIN%").repeated(32) + "X" << portC << QString() << "X";
    QTest::newRow("33rd round not run")
        << QStringLiteral("%TCIN%").repeated(33) + "X" << portC << QString() << "%TCIN%X";
    QTest::newRow("empty rule") << QString() << portC << tc << QString();
}

void tst_ScheduleName::expand()
{
    QFETCH(QString, rule);
    QFETCH(QString, camLabel);
    QFETCH(QString, tcIn);
    QFETCH(QString, expected);
    QCOMPARE(expandScheduleName(rule, camLabel, QDate(2024, 3, 5), tcIn), expected);
}

void tst_ScheduleName::cameraLabel_data()
{
    QTest::addColumn<QString>("portName");
    QTest::addColumn<int>("portNo");
    QTest::addColumn<QString>("expected");
    QTest::newRow("port 0 unnamed") << QString() << 0 << "Port A";
    QTest::newRow("port 2 unnamed") << QString() << 2 << "Port C";
    QTest::newRow("port 7 unnamed") << QString() << 7 << "Port H";
    QTest::newRow("named") << "Wide shot" << 2 << "Wide shot";
}

void tst_ScheduleName::cameraLabel()
{
    QFETCH(QString, portName);
    QFETCH(int, portNo);
    QFETCH(QString, expected);
    QCOMPARE(::cameraLabel(portName, portNo), expected);
}

void tst_ScheduleName::tcInDigits_data()
{
    QTest::addColumn<int>("rateCode");
    QTest::addColumn<bool>("dropFrame");
    QTest::addColumn<int>("packedTc");
    QTest::addColumn<QString>("expected");
    QTest::newRow("25 fps") << 25 << false << 0x0A141E04 << "10203004";
    QTest::newRow("29.97 drop-frame") << 29 << true << 0x00010002 << "00010002";
    QTest::newRow("29.97 drop-frame tenth minute") << 29 << true << 0x000A0000 << "00100000";
}

void tst_ScheduleName::tcInDigits()
{
    QFETCH(int, rateCode);
    QFETCH(bool, dropFrame);
    QFETCH(int, packedTc);
    QFETCH(QString, expected);
    trx::PortState state;
    state.systemFrequency = rateCode;
    state.dropFrame = dropFrame;
    const TimeCode tc(state, packedTc, 0);
    if (dropFrame)
        QVERIFY(tc.toString().contains(QLatin1Char(';')));
    QCOMPARE(::tcInDigits(tc), expected);
    QCOMPARE(expandScheduleName(QStringLiteral("T%TCIN%"), QString(), QDate(2024, 3, 5), ::tcInDigits(tc)),
             QStringLiteral("T") + expected);
}

QTEST_GUILESS_MAIN(tst_ScheduleName)

#include "tst_schedulename.moc"
