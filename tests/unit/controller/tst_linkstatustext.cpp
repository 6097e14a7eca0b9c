#include "controller/linkstatustext.h"

#include <QtTest>

class tst_LinkStatusText : public QObject
{
    Q_OBJECT

private slots:
    void linkState_data();
    void linkState();
    void address_data();
    void address();
    void lastPush();
};

void tst_LinkStatusText::linkState_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QDateTime>("since");
    QTest::addColumn<int>("retryMs");
    QTest::addColumn<bool>("addressSet");
    QTest::addColumn<QString>("text");

    const QDateTime since(QDate(2026, 12, 8), QTime(9, 5, 7));
    QTest::newRow("connected") << true << since << -1 << true
                               << QStringLiteral("TRXM connected since 09:05:07");
    QTest::newRow("connected, a stale retry is not shown")
        << true << since << 4000 << true << QStringLiteral("TRXM connected since 09:05:07");
    QTest::newRow("retry in whole seconds")
        << false << QDateTime() << 3000 << true << QStringLiteral("TRXM disconnected, retrying in 3 s");
    QTest::newRow("part of a second counts as one")
        << false << QDateTime() << 2001 << true << QStringLiteral("TRXM disconnected, retrying in 3 s");
    QTest::newRow("attempt due") << false << QDateTime() << 0 << true
                                 << QStringLiteral("TRXM disconnected, retrying in 0 s");
    QTest::newRow("no address") << false << QDateTime() << 30000 << false
                                << QStringLiteral("TRXM address not set, retrying in 30 s");
    QTest::newRow("attempt under way")
        << false << QDateTime() << -1 << true << QStringLiteral("TRXM connecting...");
}

void tst_LinkStatusText::linkState()
{
    QFETCH(bool, connected);
    QFETCH(QDateTime, since);
    QFETCH(int, retryMs);
    QFETCH(bool, addressSet);
    QTEST(linkStateText(connected, since, retryMs, addressSet), "text");
}

void tst_LinkStatusText::address_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("IPv4") << QStringLiteral("10.0.0.5") << 51000 << QStringLiteral("TRXM 10.0.0.5:51000");
    QTest::newRow("IPv6 in brackets") << QStringLiteral("::1") << 51000 << QStringLiteral("TRXM [::1]:51000");
    QTest::newRow("empty") << QString() << 51000 << QStringLiteral("TRXM address not set");
}

void tst_LinkStatusText::address()
{
    QFETCH(QString, ip);
    QFETCH(int, port);
    QTEST(managerAddressText(ip, port), "text");
}

void tst_LinkStatusText::lastPush()
{
    QCOMPARE(lastPushText(0), QStringLiteral("No push received"));
    const QDateTime at(QDate(2026, 12, 8), QTime(13, 4, 59, 999));
    QCOMPARE(lastPushText(at.toMSecsSinceEpoch()), QStringLiteral("Last push 13:04:59"));
}

QTEST_GUILESS_MAIN(tst_LinkStatusText)
#include "tst_linkstatustext.moc"
