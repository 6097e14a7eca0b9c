#include "../trx_records/handrecords.h"
#include "fakemanager.h"

#include "platform/idbg.h"
#include "trx/records.h"
#include "trx/trxmclient.h"
#include "trx/trxmclientdelegate.h"

#include <QtTest>

#include <memory>
#include <mutex>

using namespace hand;

namespace {

QString f(const QString &v)
{
    return v;
}
QString f(qint32 v)
{
    return QString::number(v);
}
QString f(qint64 v)
{
    return QString::number(v);
}
QString f(bool v)
{
    return v ? QStringLiteral("true") : QStringLiteral("false");
}
QString f(const QByteArray &v)
{
    return QString::fromLatin1(v.toHex());
}
QString f(const QDate &v)
{
    return v.toString(Qt::ISODate);
}
QString f(const trx::RecordTrainInfo &v)
{
    return QStringLiteral("train(%1,%2,%3)").arg(v.serverId).arg(v.trainNo, 0, 16).arg(v.text40);
}
QString f(const trx::ClipInfo &v)
{
    return QStringLiteral("clip(%1,%2,%3)").arg(v.serverId, v.text41).arg(v.short47);
}
QString f(const trx::ServerInfo &v)
{
    return QStringLiteral("server(%1,%2,%3,%4)").arg(v.id, v.name, f(v.connected)).arg(v.map21.value(21));
}
QString f(const trx::PortState &v)
{
    return QStringLiteral("state(%1,%2,%3)").arg(v.stateCode).arg(v.currentTc, 0, 16).arg(v.short17);
}
QString f(const trx::ServerIntBlock &v)
{
    return QStringLiteral("block(%1..%2)").arg(v.values.front()).arg(v.values.back());
}
QString f(const trx::VflObject &v)
{
    return QStringLiteral("vfl(%1,%2,%3)").arg(v.text2).arg(v.details1.size()).arg(v.int9);
}
QString f(const trx::FloatSample &v)
{
    return QStringLiteral("sample(%1,%2,%3)").arg(v.int1).arg(double(v.float2)).arg(double(v.float9));
}
QString f(const trx::MgwInfo &v)
{
    QStringList drives;
    for (const trx::MgwDrive &d : v.drives)
        drives << d.id + '=' + d.name;
    return QStringLiteral("mgw(%1,%2,%3)").arg(v.id, v.name, drives.join('/'));
}
QString f(const trx::MgwFolderInfo &v)
{
    return QStringLiteral("folder(%1,%2,%3,%4)").arg(v.id, v.parentId, v.name, v.path);
}
QString f(const trx::Push133Info &v)
{
    return QStringLiteral("p133(%1,%2,%3,%4)")
        .arg(v.text1)
        .arg(v.int6)
        .arg(v.time9.toString(Qt::ISODate), v.text10);
}
QString f(const trx::ScheduleInfo &v)
{
    return QStringLiteral("schedule(%1,%2,%3,%4,%5,%6)")
        .arg(v.id, v.serverId, f(v.startDate))
        .arg(v.endTc, 0, 16)
        .arg(v.master.clipId)
        .arg(v.proxy.text10);
}
QString f(const trx::MasterPortSync &v)
{
    return QStringLiteral("sync(%1,%2,%3)").arg(v.serverId).arg(v.portNo).arg(f(v.date));
}
template<typename T> QString f(const QList<T> &v)
{
    QStringList parts;
    for (const T &x : v)
        parts << f(x);
    return '[' + parts.join(',') + ']';
}
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
template<typename T> QString f(const QVector<T> &v)
{
    return f(v.toList());
}
#endif
template<typename K, typename V> QString f(const QMap<K, V> &v)
{
    QStringList parts;
    for (auto it = v.constBegin(); it != v.constEnd(); ++it)
        parts << f(it.key()) + ':' + f(it.value());
    return '{' + parts.join(',') + '}';
}

template<typename... T> QString call(const char *name, const T &...args)
{
    const QStringList parts{f(args)...};
    return QString::fromLatin1(name) + '(' + parts.join(',') + ')';
}

// Writes down every delegate call it receives, on whatever thread it arrives.
class RecordingDelegate : public trx::TRXMClientDelegate
{
public:
    QStringList calls()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        return m_calls;
    }
    void clear()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_calls.clear();
    }

    void clipsReceived(const QString &a, const QVector<trx::ClipInfo> &b) override
    {
        add(call("clipsReceived", a, b));
    }
    void clipChanged(const QString &a, const trx::ClipInfo &b, qint32 c) override
    {
        add(call("clipChanged", a, b, c));
    }
    void recordTrainsReceived(const QString &a, const QVector<trx::RecordTrainInfo> &b) override
    {
        add(call("recordTrainsReceived", a, b));
    }
    void recordTrainChanged(const QString &a, const trx::RecordTrainInfo &b) override
    {
        add(call("recordTrainChanged", a, b));
    }
    void clipRemoved(const QPair<QString, QString> &a) override
    {
        add(call("clipRemoved", a.first, a.second));
    }
    void onPush108(const QString &a) override { add(call("onPush108", a)); }
    void remainTimeChanged(const QString &a, qint32 b, const QString &c) override
    {
        add(call("remainTimeChanged", a, b, c));
    }
    void serverInfoChanged(const trx::ServerInfo &a) override { add(call("serverInfoChanged", a)); }
    void connectionStateChanged(bool a, int b) override { add(call("connectionStateChanged", a, qint32(b))); }
    void onPush133(const trx::Push133Info &a) override { add(call("onPush133", a)); }
    void onPush106(const QString &a, qint32 b, const QString &c, const QString &d, const trx::ClipInfo &e,
                   qint32 g, const QString &h) override
    {
        add(call("onPush106", a, b, c, d, e, g, h));
    }
    void onPush123(const QString &a, const QList<trx::VflObject> &b) override
    {
        add(call("onPush123", a, b));
    }
    void onPush121(const QString &a, const trx::VflObject &b, qint32 c) override
    {
        add(call("onPush121", a, b, c));
    }
    void onPush122(const QString &a, const QString &b) override { add(call("onPush122", a, b)); }
    void onPush105(const trx::ClipInfo &a, qint32 b, const QString &c) override
    {
        add(call("onPush105", a, b, c));
    }
    void onPush110(bool a) override { add(call("onPush110", a)); }
    void onPush111(const QString &a, bool b, const QMap<qint32, bool> &c) override
    {
        add(call("onPush111", a, b, c));
    }
    void portStatesChanged(const QString &a, const QMap<qint32, trx::PortState> &b) override
    {
        add(call("portStatesChanged", a, b));
    }
    void onPush113(qint32 a, qint32 b, const QString &c, const QString &d, bool e, const QString &g,
                   const QByteArray &h, qint32 i) override
    {
        add(call("onPush113", a, b, c, d, e, g, h, i));
    }
    void onPush117() override { add(call("onPush117")); }
    void onPush114(const QString &a, const QString &b, qint32 c, const QByteArray &d) override
    {
        add(call("onPush114", a, b, c, d));
    }
    void onPush115(bool a) override { add(call("onPush115", a)); }
    void onPush119(const QMap<QString, trx::ServerIntBlock> &a) override { add(call("onPush119", a)); }
    void onPush120(const QString &a, const QString &b, bool c, qint32 d) override
    {
        add(call("onPush120", a, b, c, d));
    }
    void onPush124(const QString &a, const QMap<QString, QList<trx::FloatSample>> &b) override
    {
        add(call("onPush124", a, b));
    }
    void onPush126(const QString &a, const QString &b, qint32 c) override { add(call("onPush126", a, b, c)); }
    void onPush127(const QString &a, const QString &b, qint32 c) override { add(call("onPush127", a, b, c)); }
    void serversReceived(const QVector<trx::ServerInfo> &a) override { add(call("serversReceived", a)); }
    void onPush125(const QString &a, const QString &b, const QList<trx::FloatSample> &c) override
    {
        add(call("onPush125", a, b, c));
    }
    void mgwsChanged(const QList<trx::MgwInfo> &a) override { add(call("mgwsChanged", a)); }
    void onPush130(const QString &a, const QString &b, const QString &c, const QString &d, const QString &e,
                   const QString &g, const QList<QString> &h) override
    {
        add(call("onPush130", a, b, c, d, e, g, h));
    }
    void onPush131(qint32 a, qint32 b) override { add(call("onPush131", a, b)); }
    void onPush134(qint32 a, qint32 b, bool c, qint32 d, qint32 e) override
    {
        add(call("onPush134", a, b, c, d, e));
    }
    void schedulesReceived(const QList<trx::ScheduleInfo> &a, qint64 b) override
    {
        add(call("schedulesReceived", a, b));
    }
    void scheduleAdded(const trx::ScheduleInfo &a) override { add(call("scheduleAdded", a)); }
    void scheduleChanged(const trx::ScheduleInfo &a, qint32 b) override
    {
        add(call("scheduleChanged", a, b));
    }
    void scheduleRemoved(const QString &a) override { add(call("scheduleRemoved", a)); }
    void mgwFoldersReceived(const QString &a, const QString &b, const QList<trx::MgwFolderInfo> &c) override
    {
        add(call("mgwFoldersReceived", a, b, c));
    }
    void onPush2999(const QByteArray &a) override { add(call("onPush2999", a)); }
    void masterPortSynced(const trx::MasterPortSync &a, qint32 b) override
    {
        add(call("masterPortSynced", a, b));
    }
    void onPush2007(const QString &a, qint32 b, const QString &c) override
    {
        add(call("onPush2007", a, b, c));
    }
    void onPush2008(qint32 a, bool b) override { add(call("onPush2008", a, b)); }
    void onPush2009(const QString &a, qint32 b, qint32 c, const QString &d, qint32 e,
                    const QString &g) override
    {
        add(call("onPush2009", a, b, c, d, e, g));
    }

private:
    void add(const QString &text)
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_calls << text;
    }

    std::mutex m_mutex;
    QStringList m_calls;
};

// A push frame as the manager writes it, spelt out: length, kind 3, type, stamp, payload.
QByteArray pushFrame(int type, const QByteArray &payload)
{
    const QByteArray body = i16(3) + i16(qint16(type)) + utcDateTime(Jan1st2000, 0) + bytes(payload);
    return i64(body.size()) + body;
}

const char Sentinel[] = "onPush108(end of row)";

} // namespace

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void pushReachesDelegate_data();
    void pushReachesDelegate();

    void identifyValuesAndCompression();
    void identifyOverTheLink_data();
    void identifyOverTheLink();
    void recordTrainsSucceedForAnyStatus();
    void loopModeAlwaysAsksForAllPorts();
    void updateScheduleSendsStoredScheduleFirst();
    void synchronousFailureLeavesOutputsAlone();
    void portStatesWithBothMaps();
    void asynchronousPayloads_data();
    void asynchronousPayloads();
    void synchronousLogLines();

private:
    QString logText() const;

    QTemporaryDir m_logDir;
    QByteArray m_logPath;
    std::unique_ptr<FakeManager> m_manager;
    RecordingDelegate m_delegate;
    std::unique_ptr<trx::TRXMClient> m_client;
};

void tst_Catalogue::initTestCase()
{
    QVERIFY(m_logDir.isValid());
    m_logPath = m_logDir.filePath("client.log").toLocal8Bit();
    setLogFilePath(m_logPath.constData());
    m_manager = std::make_unique<FakeManager>();
    trx::LinkIntervals intervals;
    intervals.heartbeatIntervalMs = 3600 * 1000;
    m_client = std::make_unique<trx::TRXMClient>(&m_delegate, intervals);
    QVERIFY(m_client->connectToServer(QStringLiteral("127.0.0.1"), m_manager->port()));
    // The client may see the connection before the manager's side has accepted it.
    QTRY_VERIFY(m_manager->hasPeer());
}

void tst_Catalogue::cleanupTestCase()
{
    m_client.reset();
    m_manager.reset();
    setLogFilePath("");
}

void tst_Catalogue::init()
{
    m_delegate.clear();
    m_manager->clearRequests();
}

void tst_Catalogue::pushReachesDelegate_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("expected");

    const QString clip = "clip(SRV,c41,47)";
    const QString train = "train(SRV,1a2b,forty)";
    const QString server = "server(id,Server A,true,210)";
    const QString vfl = "vfl(t2,1,9)";
    const QString sample = "sample(1,0.5,100.125)";
    const QString schedule = "schedule(id1,SRV,2000-01-01,b000000,mclip,p7)";

    auto row = [](const char *name, int type, const QByteArray &payload, const QString &expected) {
        QTest::newRow(name) << type << payload
                            << (expected.isEmpty() ? QStringList() : QStringList(expected));
    };
    row("101 clips", 101, str("S1") + u32(1) + clipBytes(), "clipsReceived(S1,[" + clip + "])");
    row("102 clip changed", 102, str("S1") + clipBytes() + i32(7), "clipChanged(S1," + clip + ",7)");
    row("103 record trains", 103, str("S1") + u32(1) + recordTrainBytes(),
        "recordTrainsReceived(S1,[" + train + "])");
    row("104 record train changed", 104, str("S1") + recordTrainBytes(),
        "recordTrainChanged(S1," + train + ")");
    row("105", 105, clipBytes() + i32(5) + str("t"), "onPush105(" + clip + ",5,t)");
    row("106", 106, str("a") + i32(2) + str("c") + str("d") + clipBytes() + i32(6) + str("g"),
        "onPush106(a,2,c,d," + clip + ",6,g)");
    row("107 clip removed: server id first", 107, str("S1") + str("C9"), "clipRemoved(S1,C9)");
    row("108", 108, str("hello"), "onPush108(hello)");
    row("109 remain time: arguments reordered", 109, i32(3) + str("01:02:03") + str("S1"),
        "remainTimeChanged(S1,3,01:02:03)");
    row("110", 110, boolean(true), "onPush110(true)");
    row("111", 111, str("a") + boolean(true) + u32(2) + i32(2) + boolean(false) + i32(1) + boolean(true),
        "onPush111(a,true,{1:true,2:false})");
    row("112 port states: map before server id", 112, u32(1) + i32(4) + portStateBytes() + str("S1"),
        "portStatesChanged(S1,{4:state(1,1020304,17)})");
    row("113", 113,
        i32(1) + i32(2) + str("c") + str("d") + boolean(true) + str("f") + bytes(hex("beef")) + i32(8),
        "onPush113(1,2,c,d,true,f,beef,8)");
    row("114 with image", 114,
        str("a") + str("b") + i32(3) + i32(1) + hex("89504e470d0a1a0a0000000049454e44ae426082"),
        "onPush114(a,b,3,89504e470d0a1a0a0000000049454e44ae426082)");
    row("114 null image", 114, str("a") + str("b") + i32(3) + i32(0), "onPush114(a,b,3,)");
    row("115", 115, boolean(true), "onPush115(true)");
    row("116 stays unknown", 116, str("x"), QString());
    row("117 payload not read", 117, hex("deadbeef"), "onPush117()");
    row("118 server changed", 118, serverInfoBytes(), "serverInfoChanged(" + server + ")");
    {
        QByteArray block;
        for (qint32 i = 0; i < 17; ++i)
            block += i32(i * 2);
        row("119", 119, u32(1) + str("k") + block, "onPush119({k:block(0..32)})");
    }
    row("120", 120, str("a") + str("b") + boolean(true) + i32(4), "onPush120(a,b,true,4)");
    row("121", 121, str("a") + vflObjectBytes() + i32(3), "onPush121(a," + vfl + ",3)");
    row("122", 122, str("a") + str("b"), "onPush122(a,b)");
    row("123", 123, str("a") + u32(1) + vflObjectBytes(), "onPush123(a,[" + vfl + "])");
    row("124", 124, str("a") + u32(1) + str("k") + u32(1) + floatSampleBytes(),
        "onPush124(a,{k:[" + sample + "]})");
    row("125", 125, str("a") + str("b") + u32(1) + floatSampleBytes(), "onPush125(a,b,[" + sample + "])");
    row("126", 126, str("a") + str("b") + i32(6), "onPush126(a,b,6)");
    row("127", 127, str("a") + str("b") + i32(7), "onPush127(a,b,7)");
    row("128 servers", 128, u32(1) + serverInfoBytes(), "serversReceived([" + server + "])");
    row("129 gateways", 129, u32(1) + mgwBytes(), "mgwsChanged([mgw(mgw1,Gateway,d1=Drive 1/d2=Drive 2)])");
    row("130", 130,
        str("1") + str("2") + str("3") + str("4") + str("5") + str("6") + u32(2) + str("x") + str("y"),
        "onPush130(1,2,3,4,5,6,[x,y])");
    row("131", 131, i32(1) + i32(2), "onPush131(1,2)");
    row("132 stays unknown", 132, i32(1), QString());
    row("133", 133, push133Bytes(), "onPush133(p133(1,6,2000-01-02T00:00:00Z,10))");
    row("134", 134, i32(1) + i32(2) + boolean(true) + i32(4) + i32(5), "onPush134(1,2,true,4,5)");
    row("2001 schedules", 2001, u32(1) + scheduleBytes() + i64(42),
        "schedulesReceived([" + schedule + "],42)");
    row("2002 schedule added", 2002, scheduleBytes(), "scheduleAdded(" + schedule + ")");
    row("2003 schedule changed", 2003, scheduleBytes() + i32(9), "scheduleChanged(" + schedule + ",9)");
    row("2004 schedule removed", 2004, str("id1"), "scheduleRemoved(id1)");
    row("2005 folders", 2005, str("m") + str("d") + u32(1) + folderBytes(),
        "mgwFoldersReceived(m,d,[folder(f1,root,News,/News)])");
    row("2006 master port", 2006, str("S1") + i32(2) + date(Jan1st2000) + i32(3),
        "masterPortSynced(sync(S1,2,2000-01-01),3)");
    row("2007", 2007, str("a") + i32(2) + str("c"), "onPush2007(a,2,c)");
    row("2008", 2008, i32(1) + boolean(true), "onPush2008(1,true)");
    row("2009", 2009, str("a") + i32(2) + i32(3) + str("d") + i32(5) + str("f"), "onPush2009(a,2,3,d,5,f)");
    row("2999", 2999, bytes(hex("0102")), "onPush2999(0102)");

    // Short and corrupt payloads still reach the delegate, with what could be read.
    row("short payload: values after the end are zero", 2006, str("S1"), "masterPortSynced(sync(S1,0,),0)");
    row("empty payload", 109, QByteArray(), "remainTimeChanged(,0,)");
    row("2^31 schedules refused, later values default", 2001, hex("80000000") + scheduleBytes() + i64(42),
        "schedulesReceived([],0)");
    row("impossible map count inside a record", 118,
        serverInfoBytes().left(serverInfoBytes().size() - 12) + hex("7fffffff"),
        "serverInfoChanged(server(id,Server A,true,0))");
}

void tst_Catalogue::pushReachesDelegate()
{
    QFETCH(int, type);
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, expected);

    // The sentinel behind each push shows that the push was consumed and the link still works.
    m_manager->write(pushFrame(type, payload) + pushFrame(108, str("end of row")));
    QTRY_VERIFY(m_delegate.calls().contains(QString::fromLatin1(Sentinel)));
    QStringList calls = m_delegate.calls();
    calls.removeAll(QString::fromLatin1(Sentinel));
    QCOMPARE(calls, expected);
}

void tst_Catalogue::identifyValuesAndCompression()
{
    const QDateTime now(QDate(2000, 1, 1), QTime(0, 0, 1), Qt::UTC);
    const QByteArray expected = u32(256) + QByteArray(256, '\0') +
                                str("{5E0B7C3D-2A91-4F6E-8D14-9C7A3B260F58}") + i32(3) +
                                utcDateTime(Jan1st2000, 1000);
    QCOMPARE(trx::TRXMClient::identifyValues(now).toHex(), expected.toHex());

    const QByteArray payload = trx::TRXMClient::identifyPayload(now);
    // qCompress form: the uncompressed length, then a zlib stream.
    QCOMPARE(payload.left(4), u32(quint32(expected.size())));
    QCOMPARE(quint8(payload.at(4)), quint8(0x78));
    QCOMPARE(qUncompress(payload), expected);
}

void tst_Catalogue::identifyOverTheLink_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("accepted") << 1 << QByteArray(boolean(true) + i32(77)) << true;
    QTest::newRow("refused") << 1 << QByteArray(boolean(false) + i32(0)) << false;
    QTest::newRow("status other than 1") << 0 << QByteArray(boolean(true) + i32(77)) << false;
}

void tst_Catalogue::identifyOverTheLink()
{
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    m_manager->setAnswer(1, status, answer);

    QCOMPARE(m_client->identify(), accepted);
    const QList<RecordedRequest> requests = m_manager->requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).code, qint16(1));
    const QByteArray values = qUncompress(requests.at(0).payload);
    const QByteArray head =
        u32(256) + QByteArray(256, '\0') + str("{5E0B7C3D-2A91-4F6E-8D14-9C7A3B260F58}") + i32(3);
    QCOMPARE(values.left(head.size()), head);
    QCOMPARE(values.size(), head.size() + 13);
    QVERIFY(logText().contains("INFO <TRXMClient> Identify as: 3\n"));
}

void tst_Catalogue::recordTrainsSucceedForAnyStatus()
{
    m_manager->setAnswer(7, 0, u32(1) + recordTrainBytes());
    QMap<qint32, QString> filter;
    filter.insert(1, "x");
    QVector<trx::RecordTrainInfo> trains;
    QVERIFY(m_client->getRecordTrains("S1", filter, trains));
    QVERIFY(trains.isEmpty());
    QCOMPARE(m_manager->requests().at(0).code, qint16(7));
    QCOMPARE(m_manager->requests().at(0).payload.toHex(),
             QByteArray(str("S1") + boolean(false) + u32(1) + i32(1) + str("x")).toHex());

    m_manager->setAnswer(7, 1, u32(1) + recordTrainBytes());
    QVERIFY(m_client->getRecordTrains("S1", filter, trains));
    QCOMPARE(trains.size(), 1);
    QCOMPARE(trains.at(0).trainNo, 0x1a2b);
}

void tst_Catalogue::loopModeAlwaysAsksForAllPorts()
{
    m_manager->setAnswer(52, 1, i32(2) + u32(2) + i32(1) + i32(0) + i32(0) + i32(1));
    qint32 mode = -1;
    QMap<qint32, qint32> ports;
    QVERIFY(m_client->getLoopRecMode("S1", 3, mode, ports));
    QCOMPARE(m_manager->requests().at(0).code, qint16(52));
    QCOMPARE(m_manager->requests().at(0).payload.toHex(), QByteArray(str("S1") + i32(255)).toHex());
    QCOMPARE(mode, 2);
    QCOMPARE(ports.value(0), 1);
    QCOMPARE(ports.value(1), 0);
    QVERIFY(logText().contains("INFO <TRXMClient> Get LoopRec Mode: [S1] cams = 255\n"));
}

void tst_Catalogue::updateScheduleSendsStoredScheduleFirst()
{
    trx::ScheduleInfo stored;
    {
        QDataStream s(scheduleBytes());
        s.setVersion(QDataStream::Qt_5_5);
        s >> stored;
    }
    trx::ScheduleRequest values;
    values.masterMgwId = "M";
    values.name = "New";
    values.startDate = QDate(2000, 1, 2);
    values.endDate = QDate(2000, 1, 2);
    values.startTc = 0x0c000000;
    values.endTc = 0x0d000000;
    values.ports << trx::ServerPort("SRV", 5);
    values.proxyPorts.insert(trx::ServerPort("SRV", 5), 6);

    QVERIFY(m_client->updateSchedule(stored, values, 2));
    QVERIFY(logText().contains("INFO <TRXMClient> Update Schedule: [id1] flags = 2\n"));
    QTRY_COMPARE(m_manager->requests().size(), 1);
    const QByteArray request = str("M") + str(nullptr).repeated(5) + str("New") + date(Jan1st2000 + 1) +
                               i32(0x0c000000) + date(Jan1st2000 + 1) + i32(0x0d000000) + boolean(false) +
                               i32(0) + u32(1) + str("SRV") + i32(5) + u32(1) + str("SRV") + i32(5) + i32(6);
    QCOMPARE(m_manager->requests().at(0).code, qint16(1005));
    QCOMPARE(m_manager->requests().at(0).payload.toHex(),
             QByteArray(scheduleBytes() + request + i32(2)).toHex());
}

void tst_Catalogue::synchronousFailureLeavesOutputsAlone()
{
    m_manager->setAnswer(2, 2, u32(1) + serverInfoBytes());
    QVector<trx::ServerInfo> servers(1);
    servers[0].id = "kept";
    QVERIFY(!m_client->getServers(servers));
    QCOMPARE(servers.size(), 1);
    QCOMPARE(servers.at(0).id, QStringLiteral("kept"));

    m_manager->setAnswer(2, 1, u32(1) + serverInfoBytes());
    QVERIFY(m_client->getServers(servers));
    QCOMPARE(servers.size(), 1);
    QCOMPARE(servers.at(0).name, QStringLiteral("Server A"));
}

void tst_Catalogue::portStatesWithBothMaps()
{
    m_manager->setAnswer(61, 1,
                         u32(1) + i32(0) + portStateBytes() + u32(2) + str("S2") + i32(1) + portStateBytes() +
                             str("S1") + i32(0) + portStateBytes());
    QMap<qint32, trx::PortState> states;
    QMap<trx::ServerPort, trx::PortState> all;
    QVERIFY(m_client->getPortStates("S1", states, &all));
    QCOMPARE(m_manager->requests().at(0).payload, str("S1"));
    QCOMPARE(states.size(), 1);
    QCOMPARE(states.value(0).currentTc, 0x01020304);
    QCOMPARE(all.keys(), QList<trx::ServerPort>() << trx::ServerPort("S1", 0) << trx::ServerPort("S2", 1));
    QVERIFY(logText().contains("INFO <TRXMClient> Get Port States: [S1]\n"));
}

void tst_Catalogue::asynchronousPayloads_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("get gateways") << 0 << 47 << boolean(true) << "Get Mediagateways: async = 1";
    QTest::newRow("start record, loop on") << 1 << 27 << QByteArray(str("S1") + i32(129) + boolean(true))
                                           << "Start Record: [S1] cams = 129, loop = 1";
    QTest::newRow("archive clip") << 2 << 43
                                  << QByteArray(str("mgw") + str("S1") + str("clip") + str("drive") + str(""))
                                  << "Archive Clip: [S1] clip, MGW = mgw, Drive = drive, Folder = ";
    QTest::newRow("get schedules") << 3 << 1001 << boolean(true) << "Get Schedules: async = 1";
    QTest::newRow("remove schedule") << 4 << 1003 << str("id1") << "Remove Schedule: [id1]";
    QTest::newRow("execute schedule")
        << 5 << 1004 << QByteArray(str("id1") + i32(2)) << "Execute Schedule: [id1], func: 2";
    QTest::newRow("fetch folders") << 6 << 1006 << QByteArray(str("mgw") + str("drive") + str(""))
                                   << "Fetch MGW Folders: [mgw], drive, ";
    QTest::newRow("sync time, master without date")
        << 7 << 1007 << QByteArray(str("S1") + i32(3) + nullDate() + i32(1))
        << "Sync Schedule Time: (S1, 3), , 1";
    QTest::newRow("sync time with date")
        << 9 << 1007 << QByteArray(str("S1") + i32(0) + date(Jan1st2000) + i32(2))
        << "Sync Schedule Time: (S1, 0), 2000-01-01, 2";
    QTest::newRow("add schedule") << 8 << 1002
                                  << QByteArray(str(nullptr).repeated(7) + nullDate() + i32(-1) + nullDate() +
                                                i32(-1) + boolean(false) + i32(0) + u32(0) + u32(0))
                                  << "Add Schedule";
}

void tst_Catalogue::asynchronousPayloads()
{
    QFETCH(int, command);
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(QString, logLine);

    bool sent = false;
    switch (command) {
    case 0:
        sent = m_client->getMgws();
        break;
    case 1:
        sent = m_client->startRecord("S1", 129);
        break;
    case 2:
        sent = m_client->archiveClip("mgw", "S1", "clip", "drive", "");
        break;
    case 3:
        sent = m_client->getSchedules();
        break;
    case 4:
        sent = m_client->removeSchedule("id1");
        break;
    case 5:
        sent = m_client->executeSchedule("id1", 2);
        break;
    case 6:
        sent = m_client->fetchMgwFolders("mgw", "drive", "");
        break;
    case 7:
        sent = m_client->syncScheduleTime("S1", 3, QDate(), 1);
        break;
    case 8:
        sent = m_client->addSchedule(trx::ScheduleRequest());
        break;
    case 9:
        sent = m_client->syncScheduleTime("S1", 0, QDate(2000, 1, 1), 2);
        break;
    }
    QVERIFY(sent);
    QTRY_COMPARE(m_manager->requests().size(), 1);
    QCOMPARE(int(m_manager->requests().at(0).code), code);
    QCOMPARE(m_manager->requests().at(0).payload.toHex(), payload.toHex());
    QVERIFY2(logText().contains("INFO <TRXMClient> " + logLine + '\n'), qPrintable(logLine));
}

void tst_Catalogue::synchronousLogLines()
{
    QMap<qint32, QString> filter;
    QVector<trx::RecordTrainInfo> trains;
    QVector<trx::ServerInfo> servers;
    trx::ServerSettings settings;
    trx::ClipInfo clip;
    m_client->getRecordTrains("S1", filter, trains);
    m_client->getServers(servers);
    m_client->getServerSettings("S1", settings);
    m_client->registerServerNotifications("S1", 129);
    m_client->getClipInfo("S1", "C1", clip);
    const QString text = logText();
    for (const char *line :
         {"Get RecordTrains of Server: [S1] async = 0", "Get Servers.", "Get Settings of Server[S1]",
          "Register Server Notifications: [S1] 129", "Get ClipInfo: [S1] C1"})
        QVERIFY2(text.contains(QStringLiteral("INFO <TRXMClient> ") + line + '\n'), line);
}

QString tst_Catalogue::logText() const
{
    QFile log(QString::fromLocal8Bit(m_logPath));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(log.readAll());
}

QTEST_GUILESS_MAIN(tst_Catalogue)

#include "tst_catalogue.moc"
