#include "handrecords.h"

#include "platform/idbg.h"
#include "trx/records.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace hand;

namespace {

template<typename T>
T readAllFrom(const QByteArray &bytes, QDataStream::Status *status = nullptr, qint64 *left = nullptr)
{
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_5_5);
    T value;
    s >> value;
    if (status)
        *status = s.status();
    if (left)
        *left = s.device()->bytesAvailable();
    return value;
}

template<typename T> QByteArray written(const T &value)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_5_5);
    s << value;
    return bytes;
}

// Reads the hand-written bytes completely and cleanly, and writes the result back to the same bytes.
template<typename T> T roundTrip(const QByteArray &bytes)
{
    QDataStream::Status status = QDataStream::Ok;
    qint64 left = -1;
    const T value = readAllFrom<T>(bytes, &status, &left);
    if (status != QDataStream::Ok || left != 0)
        qWarning("read status %d, %lld bytes left", int(status), static_cast<long long>(left));
    const QByteArray back = written(value);
    if (back != bytes)
        qWarning("written %s\nexpected %s", back.toHex(' ').constData(), bytes.toHex(' ').constData());
    return (status == QDataStream::Ok && left == 0 && back == bytes) ? value : T();
}

} // namespace

class tst_Records : public QObject
{
    Q_OBJECT

private slots:
    void serverPort();
    void serverPortOrder_data();
    void serverPortOrder();
    void portState();
    void scheduleInfoStreamOrder();
    void scheduleRecordsShareRepeatedTexts();
    void scheduleDestinationSeventhStringLast();
    void scheduleRequestWithoutProxy();
    void scheduleRequestMapFromLastKey();
    void serverSettingsSwappedPairs();
    void vflDetailSwappedPairs();
    void vflObject();
    void recordTrainInfo();
    void recordTrainDefaultsAndListReplaced();
    void clipInfoAfterTrain();
    void serverInfo();
    void mgwRecords();
    void push133Info();
    void floatsTravelAsDoubles();
    void boundedReaderRefusesImpossibleCount_data();
    void boundedReaderRefusesImpossibleCount();
    void boundedReaderKeepsAPossibleCount();
    void streamEndingEarly();
    void minimumSizesMatchSmallestRecords();
};

void tst_Records::serverPort()
{
    const auto v = roundTrip<trx::ServerPort>(hex("00000004 00530031 00000003"));
    QCOMPARE(v.serverId, QStringLiteral("S1"));
    QCOMPARE(v.portNo, 3);
}

void tst_Records::serverPortOrder_data()
{
    QTest::addColumn<QString>("serverA");
    QTest::addColumn<int>("portA");
    QTest::addColumn<QString>("serverB");
    QTest::addColumn<int>("portB");
    QTest::newRow("server id decides before port") << "A" << 7 << "B" << 0;
    QTest::newRow("same server: port decides") << "B" << 1 << "B" << 2;
    QTest::newRow("string order, not length") << "B10" << 0 << "B9" << 0;
}

void tst_Records::serverPortOrder()
{
    QFETCH(QString, serverA);
    QFETCH(int, portA);
    QFETCH(QString, serverB);
    QFETCH(int, portB);
    const trx::ServerPort a(serverA, portA);
    const trx::ServerPort b(serverB, portB);
    QVERIFY(a < b);
    QVERIFY(!(b < a));
    QVERIFY(a != b);
    QVERIFY(a == trx::ServerPort(serverA, portA));
}

void tst_Records::portState()
{
    // Declared 12 then 13, streamed 13's value first: stream positions 12 and 13 carry 120 and 130.
    const auto v = roundTrip<trx::PortState>(portStateBytes());
    QCOMPARE(v.stateCode, 1);
    QCOMPARE(v.recordPosition, 2);
    QCOMPARE(v.currentTc, 0x01020304);
    QCOMPARE(v.tcTag, 6);
    QCOMPARE(v.recording, true);
    QCOMPARE(v.dropFrame, true);
    QCOMPARE(v.systemFrequency, 11);
    QCOMPARE(v.int12, 120);
    QCOMPARE(v.int13, 130);
    QCOMPARE(v.short17, qint16(17));
}

void tst_Records::scheduleInfoStreamOrder()
{
    const auto v = roundTrip<trx::ScheduleInfo>(scheduleBytes());
    QCOMPARE(v.id, QStringLiteral("id1"));
    QCOMPARE(v.mainScheduleId, QStringLiteral("main"));
    QCOMPARE(v.serverId, QStringLiteral("SRV"));
    QCOMPARE(v.name, QStringLiteral("Name"));
    QCOMPARE(v.withProxy, true);
    QCOMPARE(v.startDate, QDate(2000, 1, 1));
    QCOMPARE(v.startTc, 0x0a000000);
    QCOMPARE(v.endDate, QDate(2000, 1, 2));
    QCOMPARE(v.endTc, 0x0b000000);
    QCOMPARE(v.portNo, 5);
    QCOMPARE(v.type, qint32(trx::ScheduleInfo::Maintenance));
    QCOMPARE(v.master.clipId, QStringLiteral("mclip"));
    QCOMPARE(v.master.progress, 40);
    QCOMPARE(v.master.status, 2);
    QCOMPARE(v.proxy.clipRef, QStringLiteral("pref"));
    QCOMPARE(v.proxy.progress, -1);
}

// Thousands of schedules name the same server and folders: records read one after another keep
// one copy of such a text, and their own texts apart.
void tst_Records::scheduleRecordsShareRepeatedTexts()
{
    const auto a = readAllFrom<trx::ScheduleInfo>(scheduleBytes());
    const auto b = readAllFrom<trx::ScheduleInfo>(scheduleBytes());
    QCOMPARE(b.serverId, QStringLiteral("SRV"));
    QCOMPARE(a.serverId.constData(), b.serverId.constData());
    QCOMPARE(b.master.text3, QStringLiteral("m3"));
    QCOMPARE(a.master.text3.constData(), b.master.text3.constData());
    QVERIFY(a.id.constData() != b.id.constData());
}

void tst_Records::scheduleDestinationSeventhStringLast()
{
    const auto v = roundTrip<trx::ScheduleDestination>(destinationBytes("d", 12, 3));
    QCOMPARE(v.clipId, QStringLiteral("dclip"));
    QCOMPARE(v.clipRef, QStringLiteral("dref"));
    QCOMPARE(v.text6, QStringLiteral("d6"));
    QCOMPARE(v.progress, 12);
    QCOMPARE(v.status, 3);
    QCOMPARE(v.flag9, true);
    QCOMPARE(v.text10, QStringLiteral("d7"));

    const trx::ScheduleDestination defaults;
    QCOMPARE(defaults.progress, -1);
    QCOMPARE(defaults.status, 0);
}

void tst_Records::scheduleRequestWithoutProxy()
{
    trx::ScheduleRequest r;
    r.masterMgwId = "M";
    r.masterDriveId = "D";
    r.masterFolderId = "F";
    r.name = "N";
    r.startDate = QDate(2000, 1, 1);
    r.endDate = QDate(2000, 1, 2);
    r.startTc = 0x01000000;
    r.endTc = -1;
    r.type = 1;
    r.ports << trx::ServerPort("S", 2);

    const QByteArray expected = str("M") + str("D") + str("F") + str(nullptr) + str(nullptr) + str(nullptr) +
                                str("N") + date(Jan1st2000) + i32(0x01000000) + date(Jan1st2000 + 1) +
                                i32(-1) + boolean(false) + i32(1) + u32(1) + str("S") + i32(2) + u32(0);
    QCOMPARE(written(r).toHex(' '), expected.toHex(' '));
    QCOMPARE(roundTrip<trx::ScheduleRequest>(expected), r);
}

void tst_Records::scheduleRequestMapFromLastKey()
{
    trx::ScheduleRequest r;
    r.proxyPorts.insert(trx::ServerPort("A", 1), 11);
    r.proxyPorts.insert(trx::ServerPort("B", 0), 20);
    r.proxyPorts.insert(trx::ServerPort("A", 0), 10);

    const QByteArray head = str(nullptr).repeated(7) + nullDate() + i32(-1) + nullDate() + i32(-1) +
                            boolean(false) + i32(0) + u32(0);
    // Last key first: (B,0), then (A,1), then (A,0).
    const QByteArray map =
        u32(3) + str("B") + i32(0) + i32(20) + str("A") + i32(1) + i32(11) + str("A") + i32(0) + i32(10);
    QCOMPARE(written(r).toHex(' '), QByteArray(head + map).toHex(' '));

    const auto v = roundTrip<trx::ScheduleRequest>(QByteArray(head + map));
    QCOMPARE(v.proxyPorts.keys(), QList<trx::ServerPort>()
                                      << trx::ServerPort("A", 0) << trx::ServerPort("A", 1)
                                      << trx::ServerPort("B", 0));
    QCOMPARE(v.proxyPorts.value(trx::ServerPort("A", 1)), 11);
}

void tst_Records::serverSettingsSwappedPairs()
{
    QByteArray b;
    for (qint32 field = 1; field <= 13; ++field)
        b += i32(field * 100); // stream positions 1 to 13
    b += u32(2) + i32(-1) + i32(-2) + u8(15);
    b += boolean(true) + boolean(false) + boolean(true) + boolean(false) + boolean(true); // 16..20
    b += u32(1) + i32(9) + i32(90);
    b += u32(2) + i32(2) + i32(1) + i32(1) + i32(0); // camera 2 -> train 1 first, camera 1 -> train 0
    b += i32(2300) + i32(2400);

    const auto v = roundTrip<trx::ServerSettings>(b);
    QCOMPARE(v.int4, 400);
    QCOMPARE(v.int5, 500);
    QCOMPARE(v.int8, 800);
    QCOMPARE(v.int9, 900);
    QCOMPARE(v.systemFrequency, 1200);
    QCOMPARE(v.ints14, QVector<qint32>() << -1 << -2);
    QCOMPARE(v.byte15, quint8(15));
    QCOMPARE(v.flag16, true);
    QCOMPARE(v.flag17, false);
    QCOMPARE(v.flag18, true);
    QCOMPARE(v.map21.value(9), 90);
    QCOMPARE(v.cameraTrains.value(1), 0);
    QCOMPARE(v.cameraTrains.value(2), 1);
    QCOMPARE(v.int24, 2400);
}

void tst_Records::vflDetailSwappedPairs()
{
    const auto v = roundTrip<trx::VflDetail>(vflDetailBytes());
    QCOMPARE(v.text3, QStringLiteral("z"));
    QCOMPARE(v.int4, 4);
    QCOMPARE(v.int5, 5);
    QCOMPARE(v.int6, 6);
    QCOMPARE(v.int7, 7);
    QCOMPARE(v.int8, 8);
    QCOMPARE(v.int16, 16);
    QCOMPARE(v.entries17.size(), 1);
    QCOMPARE(v.entries17.at(0).int1, 17);
    QCOMPARE(v.entries17.at(0).long2, 0x100000000LL);
    QCOMPARE(v.flag18, true);

    const trx::VflDetail defaults;
    QCOMPARE(defaults.int8, 100);
    QCOMPARE(defaults.int9, -1);
}

void tst_Records::vflObject()
{
    const auto v = roundTrip<trx::VflObject>(vflObjectBytes());
    QCOMPARE(v.details1.size(), 1);
    QCOMPARE(v.details1.at(0), v.detail4);
    QCOMPARE(v.text2, QStringLiteral("t2"));
    QCOMPARE(v.texts5, QList<QString>() << "only");

    const trx::VflObject defaults;
    QCOMPARE(defaults.texts5.size(), 5);
    QCOMPARE(defaults.int8, 9);
}

void tst_Records::recordTrainInfo()
{
    const auto v = roundTrip<trx::RecordTrainInfo>(recordTrainBytes());
    QCOMPARE(v.serverId, QStringLiteral("SRV"));
    QCOMPARE(v.portNo, 20);
    QCOMPARE(v.startTc, 40);
    QCOMPARE(v.outPoint, 80);
    QCOMPARE(v.inPoint, 120);
    QCOMPARE(v.systemFrequency, 170);
    QCOMPARE(v.rateCode, 180);
    QCOMPARE(v.dropFrame, true);
    QCOMPARE(v.startDate, QStringLiteral("20261208"));
    QCOMPARE(v.startTime, QStringLiteral("123456789"));
    QCOMPARE(v.short29, qint16(29));
    QCOMPARE(v.clipRef, hex("c0ffee"));
    QCOMPARE(v.trainNo, 0x1a2b);
    QCOMPARE(v.stillRecording, true);
    QCOMPARE(v.text40, QStringLiteral("forty"));
}

void tst_Records::recordTrainDefaultsAndListReplaced()
{
    const trx::RecordTrainInfo defaults;
    QCOMPARE(defaults.texts36, QList<QString>()
                                   << QString() << QString() << QString() << QString() << QString());
    QCOMPARE(defaults.startTc, -1);
    QCOMPARE(defaults.int32, 1);
    QCOMPARE(defaults.trainNo, -1);
    QCOMPARE(defaults.short28, qint16(-1));

    const auto v = roundTrip<trx::RecordTrainInfo>(recordTrainBytes());
    QCOMPARE(v.texts36, QList<QString>() << "a"
                                         << "b");
}

void tst_Records::clipInfoAfterTrain()
{
    const auto v = roundTrip<trx::ClipInfo>(clipBytes());
    QCOMPARE(v.clipRef, hex("c0ffee"));
    QCOMPARE(v.text40, QStringLiteral("forty"));
    QCOMPARE(v.text41, QStringLiteral("c41"));
    QCOMPARE(v.int44, 44);
    QCOMPARE(v.short47, qint16(47));
}

void tst_Records::serverInfo()
{
    const QByteArray b = serverInfoBytes();
    const auto v = roundTrip<trx::ServerInfo>(b);
    QCOMPARE(v.id, QStringLiteral("id"));
    QCOMPARE(v.name, QStringLiteral("Server A"));
    QCOMPARE(v.connected, true);
    QCOMPARE(v.block13.values[16], 1016);
    QCOMPARE(v.byte16, quint8(16));
    QCOMPARE(v.ints20, QVector<qint32>() << 1 << 2);
    QCOMPARE(v.map21.value(21), 210);
    QCOMPARE(written(v), b);

    trx::ServerInfo other;
    other.id = "id";
    QVERIFY(v == other);
}

void tst_Records::mgwRecords()
{
    const auto m = roundTrip<trx::MgwInfo>(mgwBytes());
    QCOMPARE(m.id, QStringLiteral("mgw1"));
    QCOMPARE(m.name, QStringLiteral("Gateway"));
    QCOMPARE(m.drives.size(), 2);
    QCOMPARE(m.drives.at(1).id, QStringLiteral("d2"));
    QCOMPARE(m.drives.at(1).name, QStringLiteral("Drive 2"));

    const auto f = roundTrip<trx::MgwFolderInfo>(folderBytes());
    QCOMPARE(f.id, QStringLiteral("f1"));
    QCOMPARE(f.parentId, QStringLiteral("root"));
    QCOMPARE(f.name, QStringLiteral("News"));
    QCOMPARE(f.path, QStringLiteral("/News"));
}

void tst_Records::push133Info()
{
    const QByteArray b = push133Bytes();
    const auto v = roundTrip<trx::Push133Info>(b);
    QCOMPARE(v.int6, 6);
    QCOMPARE(v.time8, QDateTime(QDate(2000, 1, 1), QTime(0, 0, 2), Qt::UTC));
    QCOMPARE(v.time9, QDateTime(QDate(2000, 1, 2), QTime(0, 0), Qt::UTC));
    QCOMPARE(v.text10, QStringLiteral("10"));
}

void tst_Records::floatsTravelAsDoubles()
{
    const QByteArray b = i32(1) + dbl(0.5) + dbl(-2.25) + dbl(1024) + boolean(true) + boolean(false) +
                         dbl(3) + dbl(0) + dbl(100.125);
    QCOMPARE(b.size(), 4 + 6 * 8 + 2);
    const auto v = roundTrip<trx::FloatSample>(b);
    QCOMPARE(v.float2, 0.5f);
    QCOMPARE(v.float3, -2.25f);
    QCOMPARE(v.float9, 100.125f);

    // Whatever precision the caller set on the stream, floats stay 8 bytes.
    QByteArray single;
    QDataStream s(&single, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_5_5);
    s.setFloatingPointPrecision(QDataStream::SinglePrecision);
    s << v;
    QCOMPARE(single, b);
}

void tst_Records::boundedReaderRefusesImpossibleCount_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("expectedLog");
    // A schedule list announcing 2^31 entries followed by a few bytes.
    QTest::newRow("2^31 schedules") << (hex("80000000") + str("x") + i32(7)) << "2147483648 elements";
    QTest::newRow("count one beyond what fits")
        << (u32(2) + QByteArray(trx::WireMin<trx::ScheduleInfo>::bytes * 2 - 1, '\0')) << "2 elements";
}

void tst_Records::boundedReaderRefusesImpossibleCount()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, expectedLog);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray logPath = dir.filePath("log.txt").toLocal8Bit();
    setLogFilePath(logPath.constData());

    QDataStream s(payload);
    s.setVersion(QDataStream::Qt_5_5);
    QList<trx::ScheduleInfo> schedules;
    schedules.append(trx::ScheduleInfo());
    qint32 after = 99;
    trx::readValue(s, schedules);
    s >> after;
    setLogFilePath("");

    QVERIFY(schedules.isEmpty());
    QCOMPARE(s.status(), QDataStream::ReadCorruptData);
    // Decoding stops as at the end of a short payload: what follows reads as default.
    QCOMPARE(after, 0);
    QFile log(QString::fromLocal8Bit(logPath));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    QVERIFY2(text.contains("ERROR <TRXMClient> Corrupt payload: " + expectedLog), qPrintable(text));
}

void tst_Records::boundedReaderKeepsAPossibleCount()
{
    // Three ints announced, exactly twelve bytes present: read as usual.
    QDataStream s(u32(3) + i32(1) + i32(2) + i32(3));
    s.setVersion(QDataStream::Qt_5_5);
    QVector<qint32> v;
    trx::readValue(s, v);
    QCOMPARE(v, QVector<qint32>() << 1 << 2 << 3);
    QCOMPARE(s.status(), QDataStream::Ok);
}

void tst_Records::streamEndingEarly()
{
    // A schedule cut off after its start timecode: what was read stays, the rest keeps defaults.
    const QByteArray b = str("id1") + str(nullptr) + str("SRV") + str("N") + boolean(true) +
                         date(Jan1st2000) + i32(0x0a000000) + hex("0000");
    QDataStream::Status status = QDataStream::Ok;
    const auto v = readAllFrom<trx::ScheduleInfo>(b, &status);
    QCOMPARE(status, QDataStream::ReadPastEnd);
    QCOMPARE(v.id, QStringLiteral("id1"));
    QCOMPARE(v.startDate, QDate(2000, 1, 1));
    QCOMPARE(v.startTc, 0x0a000000);
    QCOMPARE(v.endTc, 0);
    QCOMPARE(v.master.progress, 0);

    // A list whose last element runs past the end comes back empty, as Qt's own readers do.
    QDataStream s(u32(2) + str("a") + hex("0000"));
    s.setVersion(QDataStream::Qt_5_5);
    QList<QString> list;
    trx::readValue(s, list);
    QVERIFY(list.isEmpty());
}

template<typename T> static qint64 smallestSize(T value)
{
    return written(value).size();
}

void tst_Records::minimumSizesMatchSmallestRecords()
{
    // The bounded readers rely on these lower bounds; a bound above a real record's size would
    // refuse valid lists.
    trx::RecordTrainInfo train;
    train.texts36.clear();
    trx::ClipInfo clip;
    clip.texts36.clear();
    trx::VflObject vfl;
    vfl.texts5.clear();
    QCOMPARE(smallestSize(train), trx::WireMin<trx::RecordTrainInfo>::bytes);
    QCOMPARE(smallestSize(clip), trx::WireMin<trx::ClipInfo>::bytes);
    QCOMPARE(smallestSize(vfl), trx::WireMin<trx::VflObject>::bytes);
    QCOMPARE(smallestSize(trx::ServerPort()), trx::WireMin<trx::ServerPort>::bytes);
    QCOMPARE(smallestSize(trx::PortState()), trx::WireMin<trx::PortState>::bytes);
    QCOMPARE(smallestSize(trx::ServerInfo()), trx::WireMin<trx::ServerInfo>::bytes);
    QCOMPARE(smallestSize(trx::ServerIntBlock()), trx::WireMin<trx::ServerIntBlock>::bytes);
    QCOMPARE(smallestSize(trx::ServerSettings()), trx::WireMin<trx::ServerSettings>::bytes);
    QCOMPARE(smallestSize(trx::VflDetail()), trx::WireMin<trx::VflDetail>::bytes);
    QCOMPARE(smallestSize(trx::VflEntry()), trx::WireMin<trx::VflEntry>::bytes);
    QCOMPARE(smallestSize(trx::ScheduleDestination()), trx::WireMin<trx::ScheduleDestination>::bytes);
    QCOMPARE(smallestSize(trx::ScheduleInfo()), trx::WireMin<trx::ScheduleInfo>::bytes);
    QCOMPARE(smallestSize(trx::ScheduleRequest()), trx::WireMin<trx::ScheduleRequest>::bytes);
    QCOMPARE(smallestSize(trx::MgwDrive()), trx::WireMin<trx::MgwDrive>::bytes);
    QCOMPARE(smallestSize(trx::MgwInfo()), trx::WireMin<trx::MgwInfo>::bytes);
    QCOMPARE(smallestSize(trx::MgwFolderInfo()), trx::WireMin<trx::MgwFolderInfo>::bytes);
    QCOMPARE(smallestSize(trx::Push133Info()), trx::WireMin<trx::Push133Info>::bytes);
    QCOMPARE(smallestSize(trx::FloatSample()), trx::WireMin<trx::FloatSample>::bytes);
    QCOMPARE(smallestSize(trx::MasterPortSync()), trx::WireMin<trx::MasterPortSync>::bytes);
}

QTEST_GUILESS_MAIN(tst_Records)

#include "tst_records.moc"
