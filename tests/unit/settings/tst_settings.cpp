#include "platform/idbg.h"
#include "settings/settings.h"

#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

trx::ServerPort sp(const QString &server, int port)
{
    trx::ServerPort k;
    k.serverId = server;
    k.portNo = port;
    return k;
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void defaultsWithoutFile();
    void scalarValues_data();
    void scalarValues();
    void missingAttributesReadAsZero();
    void duplicateKeysLaterWins();
    void offsetMovesDateToTomorrow();
    void roundTripWithEveryMapFilled();
    void fileLayout();
    void savedBytes();
    void unknownTagsAndCommentsIgnored();
    void malformedXmlKeepsDefaults();
    void otherRootNameStillRead();
    void setDateTime_data();
    void setDateTime();
    void failedSaveKeepsPreviousFile();
    void lookupsInsertDefaults();
    void mergesReplaceOnlyGivenKeys();
    void instanceIsTheLatest();

private:
    QString path(const QString &name = QStringLiteral("Settings.xml")) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_Settings::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Never the operator's own folder: the application data folder follows XDG_DATA_HOME.
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
    setLogFilePath(m_dir.filePath(QStringLiteral("test.log")).toUtf8().constData());
    QVERIFY(Settings::settingsFolder().startsWith(m_dir.path()));
}

void tst_Settings::init()
{
    QFile::remove(path());
}

void tst_Settings::defaultsWithoutFile()
{
    Settings s;
    QVERIFY(QDir(Settings::settingsFolder()).exists());
    QVERIFY(Settings::settingsFolder().endsWith(QLatin1Char('/')));
    QCOMPARE(s.load(path()), false);
    QCOMPARE(s.m_strFileName, QStringLiteral("Settings.xml"));
    QCOMPARE(s.m_trxmIp, QString());
    QCOMPARE(s.m_trxmPort, 51000);
    QCOMPARE(s.m_maintenanceTime, 0x02000000);
    QCOMPARE(s.m_strDefaultStartPointMode, 1);
    QCOMPARE(s.m_iZoomValue, -1);
    QCOMPARE(s.m_bLockTimeScroll, true);
    QCOMPARE(s.m_bMgwFolder, false);
    QCOMPARE(s.m_bDefaultWithProxy, false);
    QCOMPARE(s.m_offsetSecs, 0);
    QCOMPARE(s.m_date, QDate::currentDate());
    QCOMPARE(s.m_scheduleDialogSizes[0], 820);
    QCOMPARE(s.m_scheduleDialogSizes[1], 580);
    QCOMPARE(s.m_scheduleDialogSizes[2], 365);
}

void tst_Settings::scalarValues_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("port empty keeps default") << QByteArray("<m_trxmPort value=\"\"/>") << "port" << QVariant(51000);
    QTest::newRow("port missing attribute keeps default") << QByteArray("<m_trxmPort/>") << "port" << QVariant(51000);
    QTest::newRow("port non-numeric reads 0") << QByteArray("<m_trxmPort value=\"abc\"/>") << "port" << QVariant(0);
    QTest::newRow("port number") << QByteArray("<m_trxmPort value=\"52000\"/>") << "port" << QVariant(52000);
    QTest::newRow("ip text") << QByteArray("<m_trxmIp value=\"10.1.2.3\"/>") << "ip" << QVariant(QStringLiteral("10.1.2.3"));
    QTest::newRow("lock 0 is false") << QByteArray("<m_bLockTimeScroll value=\"0\"/>") << "lock" << QVariant(false);
    QTest::newRow("lock 7 is true") << QByteArray("<m_bLockTimeScroll value=\"7\"/>") << "lock" << QVariant(true);
    QTest::newRow("lock empty is false") << QByteArray("<m_bLockTimeScroll value=\"\"/>") << "lock" << QVariant(false);
    QTest::newRow("maintenance packed word") << QByteArray("<m_maintenanceTime value=\"50331648\"/>") << "mtn" << QVariant(0x03000000);
    QTest::newRow("start mode") << QByteArray("<m_strDefaultStartPointMode value=\"2\"/>") << "mode" << QVariant(2);
    QTest::newRow("zoom") << QByteArray("<m_iZoomValue value=\"4\"/>") << "zoom" << QVariant(4);
    QTest::newRow("tag names are case-sensitive") << QByteArray("<M_TRXMPORT value=\"1\"/>") << "port" << QVariant(51000);
}

void tst_Settings::scalarValues()
{
    QFETCH(QByteArray, element);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);

    QVERIFY(writeFile(path(), "<Setting ver=\"1.0\">" + element + "</Setting>"));
    Settings s;
    QVERIFY(s.load(path()));
    const QVariant actual = field == QLatin1String("port") ? QVariant(s.m_trxmPort)
                            : field == QLatin1String("ip")   ? QVariant(s.m_trxmIp)
                            : field == QLatin1String("lock") ? QVariant(s.m_bLockTimeScroll)
                            : field == QLatin1String("mtn")  ? QVariant(s.m_maintenanceTime)
                            : field == QLatin1String("mode") ? QVariant(s.m_strDefaultStartPointMode)
                                                             : QVariant(s.m_iZoomValue);
    QCOMPARE(actual, expected);
}

void tst_Settings::missingAttributesReadAsZero()
{
    QVERIFY(writeFile(path(), "<Setting><PortInfo><Info ServerId=\"S1\" PortNo=\"2\" PortName=\"Cam\"/></PortInfo>"
                              "<MgwInfo><Info ServerId=\"S1\" PortNo=\"2\"/></MgwInfo></Setting>"));
    Settings s;
    QVERIFY(s.load(path()));
    QVERIFY(s.m_portInfos.contains(sp("S1", 2)));
    const PortViewInfo v = s.m_portInfos.value(sp("S1", 2));
    QCOMPARE(v.PortHeight, 0);
    QCOMPARE(v.ProxyPort, 0);
    QCOMPARE(v.PortName, QStringLiteral("Cam"));
    QCOMPARE(v.CheckStatus, false);
    QCOMPARE(s.m_mgwInfos.value(sp("S1", 2)), MgwDestination());
}

void tst_Settings::duplicateKeysLaterWins()
{
    QVERIFY(writeFile(path(), "<Setting><MgwInfo>"
                              "<Info ServerId=\"S\" PortNo=\"1\" MasterMgwId=\"first\"/>"
                              "<Info ServerId=\"S\" PortNo=\"1\" MasterMgwId=\"second\" WithProxy=\"1\"/>"
                              "</MgwInfo><DefaultName><Info Set=\"Set1\" DefaultTaskName=\"a\"/>"
                              "<Info Set=\"Set1\" DefaultTaskName=\"b\"/></DefaultName></Setting>"));
    Settings s;
    QVERIFY(s.load(path()));
    QCOMPARE(s.m_mgwInfos.size(), 1);
    QCOMPARE(s.m_mgwInfos.value(sp("S", 1)).MasterMgwId, QStringLiteral("second"));
    QCOMPARE(s.m_mgwInfos.value(sp("S", 1)).WithProxy, true);
    QCOMPARE(s.m_defaultNames.size(), 1);
    QCOMPARE(s.m_defaultNames.value(QStringLiteral("Set1")).first, QStringLiteral("b"));
}

void tst_Settings::offsetMovesDateToTomorrow()
{
    QVERIFY(writeFile(path(), "<Setting><m_offsetSecs value=\"3600\"/></Setting>"));
    Settings s;
    const QDateTime fixed(QDate(2026, 12, 31), QTime(23, 30));
    s.setClock([fixed] { return fixed; });
    QVERIFY(s.load(path()));
    QCOMPARE(s.m_offsetSecs, 3600);
    QCOMPARE(s.m_date, QDate(2027, 1, 1));
    QVERIFY(readAll(m_dir.filePath(QStringLiteral("test.log")))
                .contains("INFO <Settings> seconds offset : [3600], Date = [2027-01-01]"));
}

void tst_Settings::roundTripWithEveryMapFilled()
{
    Settings a;
    a.m_trxmIp = QStringLiteral("192.0.2.7");
    a.m_trxmPort = 51001;
    a.m_offsetSecs = -42;
    a.m_bLockTimeScroll = false;
    a.m_iZoomValue = 3;
    a.m_bMgwFolder = true;
    a.m_maintenanceTime = 0x17253A1D;
    a.m_strDefaultStartPointMode = 2;
    a.m_strCurDefaultNameSet = QStringLiteral("Set2");
    a.m_strDefaultTaskName = QStringLiteral("%CAMLBL%_%CDATE%");
    a.m_strDefaultOpenEndClipName = QStringLiteral("Live <\"&'> \u00e9\u4e2d");
    a.m_defaultNames.insert(QStringLiteral("Set1"), {QStringLiteral("a"), QStringLiteral("b")});
    a.m_defaultNames.insert(QStringLiteral("Set10"), {QStringLiteral("%TCIN%"), QString()});
    a.portInfo(sp("S2", 0)) = PortViewInfo{3, 300, QStringLiteral("Cam A"), true, false};
    a.portInfo(sp("S1", 7)) = PortViewInfo{-1, 165, QString(), false, true};
    a.serverCollapse(QStringLiteral("S1")) = true;
    a.serverCollapse(QStringLiteral("S2")) = false;
    MgwDestination d;
    d.WithProxy = true;
    d.MasterMgwId = QStringLiteral("M1");
    d.MasterDriveId = QStringLiteral("D1");
    d.MasterFolderId = QStringLiteral("F1");
    d.ProxyMgwId = QStringLiteral("M2");
    d.ProxyDriveId = QStringLiteral("D2");
    d.ProxyFolderId = QStringLiteral("F2");
    a.mgwInfo(sp("S1", 7)) = d;
    a.m_bNotifyLinkLost = false;
    a.m_bNotifyRemainTime = false;
    QVERIFY(a.save(path()));

    Settings b;
    QVERIFY(b.load(path()));
    QCOMPARE(b.m_trxmIp, a.m_trxmIp);
    QCOMPARE(b.m_trxmPort, a.m_trxmPort);
    QCOMPARE(b.m_offsetSecs, a.m_offsetSecs);
    QCOMPARE(b.m_bLockTimeScroll, a.m_bLockTimeScroll);
    QCOMPARE(b.m_iZoomValue, a.m_iZoomValue);
    QCOMPARE(b.m_bMgwFolder, a.m_bMgwFolder);
    QCOMPARE(b.m_maintenanceTime, a.m_maintenanceTime);
    QCOMPARE(b.m_strDefaultStartPointMode, a.m_strDefaultStartPointMode);
    QCOMPARE(b.m_strCurDefaultNameSet, a.m_strCurDefaultNameSet);
    QCOMPARE(b.m_strDefaultTaskName, a.m_strDefaultTaskName);
    QCOMPARE(b.m_strDefaultOpenEndClipName, a.m_strDefaultOpenEndClipName);
    QCOMPARE(b.m_defaultNames, a.m_defaultNames);
    QCOMPARE(b.m_portInfos, a.m_portInfos);
    QCOMPARE(b.m_serverCollapse, a.m_serverCollapse);
    QCOMPARE(b.m_mgwInfos, a.m_mgwInfos);
    QCOMPARE(b.m_bNotifyScheduleError, true);
    QCOMPARE(b.m_bNotifyLinkLost, false);
    QCOMPARE(b.m_bNotifyRemainTime, false);
}

void tst_Settings::fileLayout()
{
    Settings a;
    a.portInfo(sp("S2", 1));
    a.portInfo(sp("S10", 0));
    a.portInfo(sp("S2", 0));
    QVERIFY(a.save(path()));
    const QByteArray bytes = readAll(path());
    QVERIFY(!bytes.startsWith("<?xml"));
    QVERIFY(bytes.startsWith("<Setting ver=\"1.0\">\n    <m_trxmIp value=\"\"/>\n"));
    QVERIFY(bytes.contains("\n    <m_maintenanceTime value=\"33554432\"/>\n"));
    QVERIFY(bytes.contains("\n        <Info "));

    QDomDocument doc;
    QVERIFY(doc.setContent(bytes));
    QStringList order;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        order << e.tagName();
    QCOMPARE(order, QStringList({"m_trxmIp", "m_trxmPort", "m_offsetSecs", "m_bLockTimeScroll", "m_iZoomValue",
                                 "m_bMgwFolder", "m_maintenanceTime", "m_strDefaultStartPointMode",
                                 "m_strCurDefaultNameSet", "m_strDefaultTaskName", "m_strDefaultOpenEndClipName",
                                 "DefaultName", "PortInfo", "ServerInfo", "MgwInfo", "m_bNotifyScheduleError",
                                 "m_bNotifyLinkLost", "m_bNotifyRemainTime"}));
    // Map entries in key order: server id as text, then port number.
    QStringList keys;
    const QDomElement ports = doc.documentElement().firstChildElement(QStringLiteral("PortInfo"));
    for (QDomElement e = ports.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        keys << e.attribute(QStringLiteral("ServerId")) + QLatin1Char('/') + e.attribute(QStringLiteral("PortNo"));
    QCOMPARE(keys, QStringList({"S10/0", "S2/0", "S2/1"}));
}

// The whole file, byte for byte: attributes in a fixed order (the same in every run and with
// every Qt), markup and white space in values escaped so that they read back as they were.
void tst_Settings::savedBytes()
{
    Settings a;
    a.m_trxmIp = QStringLiteral("10.0.0.5");
    a.m_maintenanceTime = 0x02000000;
    a.m_defaultNames.insert(QStringLiteral("News"), {QStringLiteral("A&B \"<1>\""), QStringLiteral("x\ty\nz")});
    PortViewInfo &port = a.portInfo(sp("S1", 2));
    port.PortName = QStringLiteral("Cam \u00e9");
    port.ProxyPort = 3;
    port.PortHeight = 120;
    a.m_serverCollapse.insert(QStringLiteral("S1"), true);
    MgwDestination d;
    d.WithProxy = true;
    d.MasterMgwId = QStringLiteral("m1");
    d.ProxyMgwId = QStringLiteral("m2");
    a.m_mgwInfos.insert(sp("S1", 2), d);
    QVERIFY(a.save(path()));

    const QByteArray expected =
        "<Setting ver=\"1.0\">\n"
        "    <m_trxmIp value=\"10.0.0.5\"/>\n"
        "    <m_trxmPort value=\"51000\"/>\n"
        "    <m_offsetSecs value=\"0\"/>\n"
        "    <m_bLockTimeScroll value=\"1\"/>\n"
        "    <m_iZoomValue value=\"-1\"/>\n"
        "    <m_bMgwFolder value=\"0\"/>\n"
        "    <m_maintenanceTime value=\"33554432\"/>\n"
        "    <m_strDefaultStartPointMode value=\"1\"/>\n"
        "    <m_strCurDefaultNameSet value=\"\"/>\n"
        "    <m_strDefaultTaskName value=\"\"/>\n"
        "    <m_strDefaultOpenEndClipName value=\"\"/>\n"
        "    <DefaultName>\n"
        "        <Info Set=\"News\" DefaultTaskName=\"A&amp;B &quot;&lt;1>&quot;\" DefaultOpenEndClipName=\"x&#x9;y&#xa;z\"/>\n"
        "    </DefaultName>\n"
        "    <PortInfo>\n"
        "        <Info ServerId=\"S1\" PortNo=\"2\" PortHeight=\"120\" PortName=\"Cam \xc3\xa9\" ProxyPort=\"3\" CheckStatus=\"0\" PortCollapse=\"0\"/>\n"
        "    </PortInfo>\n"
        "    <ServerInfo>\n"
        "        <Info ServerId=\"S1\" ServerCollapse=\"1\"/>\n"
        "    </ServerInfo>\n"
        "    <MgwInfo>\n"
        "        <Info ServerId=\"S1\" PortNo=\"2\" WithProxy=\"1\" MasterMgwId=\"m1\" MasterDriveId=\"\" MasterFolderId=\"\" ProxyMgwId=\"m2\" ProxyDriveId=\"\" ProxyFolderId=\"\"/>\n"
        "    </MgwInfo>\n"
        "    <m_bNotifyScheduleError value=\"1\"/>\n"
        "    <m_bNotifyLinkLost value=\"1\"/>\n"
        "    <m_bNotifyRemainTime value=\"1\"/>\n"
        "</Setting>\n";
    QCOMPARE(readAll(path()), expected);

    Settings b;
    QVERIFY(b.load(path()));
    QCOMPARE(b.m_defaultNames, a.m_defaultNames);
    QCOMPARE(b.m_portInfos, a.m_portInfos);
}

void tst_Settings::unknownTagsAndCommentsIgnored()
{
    QVERIFY(writeFile(path(), "<Setting ver=\"2.0\"><!-- operator note -->\n<m_trxmIp value=\"h\"/>"
                              "<FutureThing value=\"9\"><m_trxmPort value=\"1\"/></FutureThing>"
                              "<PortInfo><!-- c --><Other ServerId=\"X\" PortNo=\"1\"/>text"
                              "<Info ServerId=\"S\" PortNo=\"1\" PortHeight=\"200\"/></PortInfo></Setting>"));
    Settings s;
    QVERIFY(s.load(path()));
    QCOMPARE(s.m_trxmIp, QStringLiteral("h"));
    QCOMPARE(s.m_trxmPort, 51000);
    QCOMPARE(s.m_portInfos.size(), 1);
    QCOMPARE(s.m_portInfos.value(sp("S", 1)).PortHeight, 200);
}

void tst_Settings::malformedXmlKeepsDefaults()
{
    QVERIFY(writeFile(path(), "<Setting><m_trxmIp value=\"h\"/><m_trxmPort value=\"5\"></Setting"));
    Settings s;
    s.m_trxmIp = QStringLiteral("kept");
    QCOMPARE(s.load(path()), false);
    QCOMPARE(s.m_trxmIp, QStringLiteral("kept"));
    QCOMPARE(s.m_trxmPort, 51000);
}

void tst_Settings::otherRootNameStillRead()
{
    QVERIFY(writeFile(path(), "<Settings ver=\"1.0\"><m_iZoomValue value=\"5\"/></Settings>"));
    Settings s;
    QVERIFY(s.load(path()));
    QCOMPARE(s.m_iZoomValue, 5);
}

void tst_Settings::setDateTime_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("expectedOffset");

    // "now" is fixed at 2026-06-01 12:00:00.
    QTest::newRow("invalid time keeps offset") << QDate(2026, 6, 3) << QTime() << 77;
    QTest::newRow("an hour ahead") << QDate(2026, 6, 1) << QTime(13, 0, 0) << 3600;
    QTest::newRow("behind, previous day") << QDate(2026, 5, 31) << QTime(12, 0, 30) << -86370;
}

void tst_Settings::setDateTime()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(int, expectedOffset);

    Settings s;
    const QDateTime fixed(QDate(2026, 6, 1), QTime(12, 0));
    s.setClock([fixed] { return fixed; });
    s.m_offsetSecs = 77;
    s.setDateTime(date, time);
    QCOMPARE(s.m_date, date);
    QCOMPARE(s.m_offsetSecs, expectedOffset);
    if (time.isValid()) {
        const QByteArray line = QStringLiteral("INFO <Settings> Set date/time with master port tc. Date/time : [%1 , %2], "
                                               "seconds offset : [%3].")
                                    .arg(date.toString(Qt::ISODate), time.toString(QStringLiteral("hh:mm:ss")))
                                    .arg(expectedOffset)
                                    .toUtf8();
        QVERIFY(readAll(m_dir.filePath(QStringLiteral("test.log"))).contains(line));
    }
}

void tst_Settings::failedSaveKeepsPreviousFile()
{
    Settings a;
    a.m_trxmIp = QStringLiteral("previous");
    QVERIFY(a.save(path()));
    const QByteArray before = readAll(path());

    // Enough entries that the new file cannot fit under the size limit set below.
    Settings b;
    for (int i = 0; i < 200; ++i)
        b.portInfo(sp(QStringLiteral("Server%1").arg(i), i)).PortName = QStringLiteral("Camera %1").arg(i);

    // A file size limit makes the write fail part way, as a full disk would.
    struct rlimit old {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 2048;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
    const bool saved = b.save(path());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(saved, false);
    QCOMPARE(readAll(path()), before);

    // A folder that does not exist fails too, and says so.
    QCOMPARE(a.save(m_dir.filePath(QStringLiteral("no/such/folder/Settings.xml"))), false);
}

void tst_Settings::lookupsInsertDefaults()
{
    Settings s;
    QVERIFY(s.m_portInfos.isEmpty());
    QCOMPARE(s.portInfo(sp("S", 3)).ProxyPort, -1);
    QCOMPARE(s.m_portInfos.size(), 1);
    QCOMPARE(s.serverCollapse(QStringLiteral("S")), false);
    QCOMPARE(s.m_serverCollapse.size(), 1);
    QCOMPARE(s.defaultName(QStringLiteral("Set4")), Settings::NameRules());
    QCOMPARE(s.m_defaultNames.size(), 1);
    QCOMPARE(s.mgwInfo(sp("S", 3)), MgwDestination());
    QCOMPARE(s.m_mgwInfos.size(), 1);
}

void tst_Settings::mergesReplaceOnlyGivenKeys()
{
    Settings s;
    s.m_defaultNames.insert(QStringLiteral("Set1"), {QStringLiteral("old1"), QString()});
    s.m_defaultNames.insert(QStringLiteral("Set2"), {QStringLiteral("old2"), QString()});
    s.setDefaultNames({{QStringLiteral("Set2"), {QStringLiteral("new2"), QStringLiteral("x")}},
                       {QStringLiteral("Set3"), {QStringLiteral("new3"), QString()}}});
    QCOMPARE(s.m_defaultNames.size(), 3);
    QCOMPARE(s.m_defaultNames.value(QStringLiteral("Set1")).first, QStringLiteral("old1"));
    QCOMPARE(s.m_defaultNames.value(QStringLiteral("Set2")).second, QStringLiteral("x"));

    MgwDestination d1;
    d1.MasterMgwId = QStringLiteral("keep");
    MgwDestination d2;
    d2.MasterMgwId = QStringLiteral("replaced");
    s.m_mgwInfos.insert(sp("S", 1), d1);
    s.m_mgwInfos.insert(sp("S", 2), d1);
    s.mergeMgwInfos({{sp("S", 2), d2}});
    QCOMPARE(s.m_mgwInfos.value(sp("S", 1)).MasterMgwId, QStringLiteral("keep"));
    QCOMPARE(s.m_mgwInfos.value(sp("S", 2)).MasterMgwId, QStringLiteral("replaced"));
}

void tst_Settings::instanceIsTheLatest()
{
    QCOMPARE(Settings::instance(), nullptr);
    {
        Settings a;
        QCOMPARE(Settings::instance(), &a);
        Settings b;
        QCOMPARE(Settings::instance(), &b);
    }
    QCOMPARE(Settings::instance(), nullptr);
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
