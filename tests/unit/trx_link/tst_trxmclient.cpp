#include "platform/idbg.h"
#include "trx/asynctcpclient.h"
#include "trx/trxmclient.h"
#include "trx/trxmclientdelegate.h"

#include <QDataStream>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <mutex>
#include <thread>

#if defined(Q_OS_UNIX)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr int TestPushType = 3000; // 0x0bb8

// A stamp as a peer might send it: Julian day, milliseconds, Qt::TimeSpec UTC. The client ignores it.
const char StampHex[] = "00000000 00258d1a 0001d4c0 01";

QByteArray hex(const QByteArray &text)
{
    return QByteArray::fromHex(text);
}

// A push of TestPushType whose payload is the bytes of `content`.
QByteArray testPush(const QByteArray &content, const QByteArray &stampHex = StampHex)
{
    const QByteArray stamp = hex(stampHex);
    QByteArray length(8, '\0');
    qToBigEndian<qint64>(2 + 2 + stamp.size() + 4 + content.size(), length.data());
    QByteArray payloadLength(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(content.size()), payloadLength.data());
    return length + hex("0003 0bb8") + stamp + payloadLength + content;
}

// A response to `id` with status 1 and a null payload: 2 + 2 + 13 + 80 + 2 + 4 = 103 bytes of body.
QByteArray responseTo(const QString &id)
{
    QByteArray idBytes = hex("0000004c");
    for (const QChar c : id)
        idBytes += hex("00") + char(c.toLatin1());
    return hex("0000000000000067 0002 0002") + hex(StampHex) + idBytes + hex("0001 ffffffff");
}

// "00??" per character of a braced uuid, with the braces and hyphens spelt out.
QByteArray uuidMask()
{
    const QByteArray digit("00??");
    return "007b" + digit.repeated(8) + "002d" + digit.repeated(4) + "002d" + digit.repeated(4) + "002d" +
           digit.repeated(4) + "002d" + digit.repeated(12) + "007d";
}

// Compares bytes against a hex mask in which "??" matches any byte; spaces are ignored.
bool matchesMask(const QByteArray &bytes, QByteArray mask, QString *why)
{
    mask.replace(' ', "");
    if (mask.size() != bytes.size() * 2) {
        *why = QStringLiteral("size %1, expected %2").arg(bytes.size()).arg(mask.size() / 2);
        return false;
    }
    for (int i = 0; i < bytes.size(); ++i) {
        const QByteArray pair = mask.mid(i * 2, 2);
        if (pair == "??")
            continue;
        if (static_cast<char>(QByteArray::fromHex(pair).at(0)) != bytes.at(i)) {
            *why = QStringLiteral("byte %1 is %2, expected %3")
                       .arg(i)
                       .arg(QString::fromLatin1(bytes.mid(i, 1).toHex()), QString::fromLatin1(pair));
            return false;
        }
    }
    return true;
}

struct Frame
{
    qint16 kind = 0;
    qint16 code = 0;
    QString id;
    qint16 status = 0;
    QByteArray payload;
};

// The manager side of the link on a thread of its own, so that the test thread may block in a
// synchronous request. It answers requests (status and payload per code, or the request's own
// payload echoed), stays silent for codes it is told to ignore, and writes raw bytes on demand.
class PeerSide : public QObject
{
public:
    QTcpServer *server = nullptr;
    QTcpSocket *client = nullptr;
    QByteArray buffer;

    std::mutex mutex;
    QByteArray received;
    QList<Frame> frames;
    QSet<int> silentCodes;
    QMap<int, QPair<int, QByteArray>> answers;
    bool echo = false;
    int connections = 0;
    int disconnections = 0;

    void listen()
    {
        server = new QTcpServer(this);
        server->listen(QHostAddress::LocalHost, 0);
        connect(server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server->nextPendingConnection()) {
                client = s;
                connect(s, &QIODevice::readyRead, this, [this, s] { read(s); });
                connect(s, &QAbstractSocket::disconnected, this, [this] {
                    std::lock_guard<std::mutex> locker(mutex);
                    ++disconnections;
                });
                std::lock_guard<std::mutex> locker(mutex);
                ++connections;
                buffer.clear();
            }
        });
    }

    void read(QTcpSocket *s)
    {
        const QByteArray bytes = s->readAll();
        std::lock_guard<std::mutex> locker(mutex);
        buffer += bytes;
        received += bytes;
        while (buffer.size() >= 8) {
            const qint64 len = qFromBigEndian<qint64>(buffer.constData());
            if (buffer.size() < 8 + len)
                break;
            QDataStream in(buffer.mid(8, static_cast<int>(len)));
            in.setVersion(QDataStream::Qt_5_5);
            Frame f;
            QDateTime stamp;
            in >> f.kind >> f.code >> stamp >> f.id >> f.status >> f.payload;
            buffer.remove(0, static_cast<int>(8 + len));
            frames.append(f);
            if (f.kind != 1 || silentCodes.contains(f.code))
                continue;
            const auto answer = answers.value(f.code, qMakePair(1, QByteArray()));
            QByteArray packet;
            QDataStream out(&packet, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_5_5);
            out << qint64(0) << qint16(2) << f.code << QDateTime::currentDateTime() << f.id
                << qint16(answer.first) << (echo ? f.payload : answer.second);
            out.device()->seek(0);
            out << qint64(packet.size() - 8);
            s->write(packet);
        }
    }
};

class Peer
{
public:
    Peer()
    {
        m_side.moveToThread(&m_thread);
        m_thread.start();
        run([this] { m_side.listen(); });
    }
    ~Peer()
    {
        run([this] {
            delete m_side.server;
            m_side.server = nullptr;
        });
        m_thread.quit();
        m_thread.wait();
        std::lock_guard<std::mutex> locker(m_side.mutex);
    }

    quint16 port()
    {
        quint16 p = 0;
        run([&] { p = m_side.server->serverPort(); });
        return p;
    }

    void setSilent(int code)
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        m_side.silentCodes.insert(code);
    }
    void setAnswer(int code, int status, const QByteArray &payload)
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        m_side.answers.insert(code, qMakePair(status, payload));
    }
    void setEcho()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        m_side.echo = true;
    }

    // Each part goes out on its own and is given time to arrive before the next.
    void write(const QList<QByteArray> &parts, int pauseMs = 0)
    {
        run([&] {
            for (const QByteArray &part : parts) {
                m_side.client->write(part);
                m_side.client->flush();
                m_side.client->waitForBytesWritten(1000);
                if (pauseMs > 0)
                    QThread::msleep(static_cast<unsigned long>(pauseMs));
            }
        });
    }
    void closeClient()
    {
        run([this] { m_side.client->close(); });
    }

    QByteArray received()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        return m_side.received;
    }
    QList<Frame> frames()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        return m_side.frames;
    }
    int connections()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        return m_side.connections;
    }
    int disconnections()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        return m_side.disconnections;
    }
    int framesWithCode(int code)
    {
        int n = 0;
        const QList<Frame> all = frames();
        for (const Frame &f : all)
            n += f.code == code ? 1 : 0;
        return n;
    }

private:
    // Runs f on the peer thread and waits for it. The extra lock makes the hand-over visible to
    // ThreadSanitizer, which cannot see through Qt's own blocking queued call.
    template<typename F> void run(F f)
    {
        {
            std::lock_guard<std::mutex> locker(m_runLock);
        }
        QMetaObject::invokeMethod(
            &m_side,
            [this, &f] {
                std::lock_guard<std::mutex> locker(m_runLock);
                f();
            },
            Qt::BlockingQueuedConnection);
        std::lock_guard<std::mutex> locker(m_runLock);
    }

    std::mutex m_runLock;
    PeerSide m_side;
    QThread m_thread;
};

class RecordingDelegate : public trx::TRXMClientDelegate
{
public:
    void connectionStateChanged(bool connected, int socketError) override
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_calls.append(qMakePair(connected, socketError));
    }
    QList<QPair<bool, int>> calls()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        return m_calls;
    }
    int count() { return calls().size(); }

private:
    std::mutex m_mutex;
    QList<QPair<bool, int>> m_calls;
};

// Registers a decoder for TestPushType that keeps each payload.
class TestClient : public trx::TRXMClient
{
public:
    TestClient(trx::TRXMClientDelegate *delegate, const trx::LinkIntervals &intervals)
        : TRXMClient(delegate, intervals)
    {
        registerPushHandler(TestPushType, [this](QDataStream &stream) {
            const QByteArray payload = stream.device()->readAll();
            std::lock_guard<std::mutex> locker(m_mutex);
            m_pushes.append(payload);
        });
    }
    QByteArrayList pushes()
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        return m_pushes;
    }

private:
    std::mutex m_mutex;
    QByteArrayList m_pushes;
};

trx::LinkIntervals intervals(int requestMs = 2000, int heartbeatMs = 600000)
{
    trx::LinkIntervals i;
    i.requestTimeoutMs = requestMs;
    i.connectTimeoutMs = 2000;
    i.heartbeatIntervalMs = heartbeatMs;
    return i;
}

} // namespace

class tst_TRXMClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void requestBytes_data();
    void requestBytes();
    void synchronousRequest_data();
    void synchronousRequest();
    void receivedBytes_data();
    void receivedBytes();
    void oversizeLengthDropsTheLink_data();
    void oversizeLengthDropsTheLink();
    void largeRequest_data();
    void largeRequest();
    void heartbeatAnsweredKeepsTheLink();
    void unansweredHeartbeatReportsOnce();
    void peerCloseReportsOnce();
    void reconnectReplacesTheLinkSilently();
    void connectFailures_data();
    void connectFailures();
    void unansweredConnectEndsWithinTheBound();
    void twoThreadsSendWholePackets();
    void workerStopsWhileWaitingForParameters();

private:
    QString logText() const;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_strLog;
};

void tst_TRXMClient::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_strLog = m_dir->filePath(QStringLiteral("link.log"));
    setLogFilePath(QFile::encodeName(m_strLog).constData());
}

void tst_TRXMClient::cleanup()
{
    setLogFilePath(QFile::encodeName(m_dir->filePath(QStringLiteral("after.log"))).constData());
    m_dir.reset();
}

QString tst_TRXMClient::logText() const
{
    QFile file(m_strLog);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void tst_TRXMClient::requestBytes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("mask");

    // length, kind 1, code, stamp (Julian day, ms, Qt::LocalTime 0), id, status 0, payload
    const QByteArray stamp = "???????????????? ???????? 00";
    const QByteArray id = "0000004c" + uuidMask();
    QTest::newRow("heartbeat: null payload, body of 103 bytes")
        << 99 << QByteArray() << "0000000000000067 0001 0063" + stamp + id + "0000 ffffffff";
    QTest::newRow("get servers: null payload")
        << 2 << QByteArray() << "0000000000000067 0001 0002" + stamp + id + "0000 ffffffff";
    QTest::newRow("get schedules: one bool, body of 104 bytes")
        << 1001 << QByteArray(1, '\x01') << "0000000000000068 0001 03e9" + stamp + id + "0000 00000001 01";
    QTest::newRow("empty but not null payload")
        << 1003 << QByteArray("") << "0000000000000067 0001 03eb" + stamp + id + "0000 00000000";
}

void tst_TRXMClient::requestBytes()
{
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, mask);

    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QVERIFY(client.sendRequest(code, payload, true, nullptr));

    const int expectedSize = QByteArray(mask).replace(' ', "").size() / 2;
    QTRY_COMPARE(peer.received().size(), expectedSize);
    const QByteArray bytes = peer.received();
    QString why;
    QVERIFY2(matchesMask(bytes, mask, &why), qPrintable(why));

    // The stamp is the sender's local clock and the id a fresh braced uuid.
    const qint64 day = qFromBigEndian<qint64>(bytes.constData() + 12);
    QVERIFY(qAbs(day - QDate::currentDate().toJulianDay()) <= 1);
    QCOMPARE(peer.frames().size(), 1);
    QVERIFY(!QUuid(peer.frames().first().id).isNull());
}

void tst_TRXMClient::synchronousRequest_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");

    QTest::newRow("success with payload") << true << 1 << QByteArray("abc");
    QTest::newRow("failure status is handed back") << true << 0 << QByteArray();
    QTest::newRow("negative status keeps its sign") << true << -2 << QByteArray("x");
    QTest::newRow("no answer times out") << false << 0 << QByteArray();
}

void tst_TRXMClient::synchronousRequest()
{
    QFETCH(bool, answered);
    QFETCH(int, status);
    QFETCH(QByteArray, answer);

    Peer peer;
    if (answered)
        peer.setAnswer(5, status, answer);
    else
        peer.setSilent(5);
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals(answered ? 5000 : 300));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));

    trx::RequestResult out;
    out.status = 77;
    out.payload = "untouched";
    QCOMPARE(client.sendRequest(5, QByteArray("q"), false, &out), answered);
    if (answered) {
        QCOMPARE(out.status, status);
        QCOMPARE(out.payload, answer);
        QVERIFY(!logText().contains(QLatin1String("Request timeout")));
    } else {
        QCOMPARE(out.status, 77);
        QCOMPARE(out.payload, QByteArray("untouched"));
        QVERIFY(logText().contains(QLatin1String("WARNING <TRXMClient> Request timeout: 5")));
    }
    // The link itself is unaffected either way.
    QVERIFY(client.isConnected());
    QCOMPARE(delegate.count(), 0);
}

void tst_TRXMClient::receivedBytes_data()
{
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QByteArrayList>("pushes");
    QTest::addColumn<QString>("logLine");

    const QByteArray a = testPush("a");
    const QByteArray b = testPush("b");
    const QByteArray c = testPush("c");
    const QByteArray whole = testPush("split");

    QTest::newRow("three frames in one write")
        << QByteArrayList{a + b + c} << QByteArrayList{"a", "b", "c"} << QString();
    QTest::newRow("length field split over two writes")
        << QByteArrayList{whole.left(3), whole.mid(3)} << QByteArrayList{"split"} << QString();
    QTest::newRow("body split over three writes")
        << QByteArrayList{whole.left(12), whole.mid(12, 10), whole.mid(22)} << QByteArrayList{"split"}
        << QString();
    QByteArrayList bytes;
    for (const char byte : whole)
        bytes.append(QByteArray(1, byte));
    QTest::newRow("one byte per write") << bytes << QByteArrayList{"split"} << QString();
    QTest::newRow("frame completed together with the next one")
        << QByteArrayList{a.left(20), a.mid(20) + b} << QByteArrayList{"a", "b"} << QString();
    QTest::newRow("response with an unknown id is ignored quietly")
        << QByteArrayList{responseTo(QUuid::createUuid().toString()) + a} << QByteArrayList{"a"} << QString();

    // The stamp is read and dropped whatever its Qt::TimeSpec; what follows must still line up.
    QTest::newRow("stamp in local time") << QByteArrayList{testPush("l", "00000000 00258d1a 0001d4c0 00") + b}
                                         << QByteArrayList{"l", "b"} << QString();
    QTest::newRow("stamp with an offset from UTC")
        << QByteArrayList{testPush("o", "00000000 00258d1a 0001d4c0 02 00000e10") + b}
        << QByteArrayList{"o", "b"} << QString();
    QTest::newRow("stamp with a named time zone")
        << QByteArrayList{testPush("z", "00000000 00258d1a 0001d4c0 03 0000001a"
                                        "0045 0075 0072 006f 0070 0065 002f 0042 0065 0072 006c 0069 006e") +
                          b}
        << QByteArrayList{"z", "b"} << QString();

    QByteArray unknownPush = a;
    unknownPush[10] = '\0';
    unknownPush[11] = '\x74'; // type 116
    QTest::newRow("unknown push type is logged and skipped")
        << QByteArrayList{unknownPush + b} << QByteArrayList{"b"}
        << QStringLiteral("ERROR <TRXMClient> Error Push Type: 116");
    QByteArray otherKind = a;
    otherKind[9] = '\x04';
    // Its length keeps the stream aligned: only that body is skipped, never what follows it.
    QTest::newRow("another kind is skipped alone")
        << QByteArrayList{otherKind + b + c, a} << QByteArrayList{"b", "c", "a"}
        << QStringLiteral("ERROR <TRXMClient> Error Packet Type: 4");
    QTest::newRow("another kind followed by part of a frame")
        << QByteArrayList{otherKind + b.left(13), b.mid(13)} << QByteArrayList{"b"}
        << QStringLiteral("ERROR <TRXMClient> Error Packet Type: 4");
    // A length below 1 ends that read; what follows waits for the next ready-read.
    QTest::newRow("zero length ends the read")
        << QByteArrayList{hex("0000000000000000") + a, b} << QByteArrayList{"a", "b"} << QString();
}

void tst_TRXMClient::receivedBytes()
{
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArrayList, pushes);
    QFETCH(QString, logLine);

    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QTRY_COMPARE(peer.connections(), 1);

    peer.write(writes, writes.size() > 1 ? 150 : 0);
    QTRY_COMPARE(client.pushes(), pushes);
    // Nothing more turns up later, and the link stays up.
    QTest::qWait(50);
    QCOMPARE(client.pushes(), pushes);
    QVERIFY(client.isConnected());
    QCOMPARE(delegate.count(), 0);

    const QString log = logText();
    if (logLine.isEmpty())
        QVERIFY2(!log.contains(QLatin1String("<TRXMClient>")), qPrintable(log));
    else
        QCOMPARE(log.count(logLine), 1);
}

void tst_TRXMClient::oversizeLengthDropsTheLink_data()
{
    QTest::addColumn<QByteArray>("length");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("2^40") << hex("0000010000000000")
                          << QStringLiteral("ERROR <TRXMClient> Frame length refused: 1099511627776");
    QTest::newRow("64 MiB + 1") << hex("0000000004000001")
                                << QStringLiteral("ERROR <TRXMClient> Frame length refused: 67108865");
}

void tst_TRXMClient::oversizeLengthDropsTheLink()
{
    QFETCH(QByteArray, length);
    QFETCH(QString, logLine);

    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QTRY_COMPARE(peer.connections(), 1);

    peer.write({length + QByteArray(4096, 'z') + testPush("after")});
    QTRY_COMPARE(delegate.count(), 1);
    QCOMPARE(delegate.calls().first().first, false);
    QTRY_COMPARE(peer.disconnections(), 1);
    QVERIFY(!client.isConnected());
    QVERIFY(client.pushes().isEmpty());
    QCOMPARE(logText().count(logLine), 1);

    QTest::qWait(100);
    QCOMPARE(delegate.count(), 1);
    QVERIFY(!client.sendRequest(2, QByteArray(), true, nullptr));
}

void tst_TRXMClient::largeRequest_data()
{
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<bool>("logged");

    // The body is 103 bytes of head and empty payload plus the payload's bytes.
    QTest::newRow("body of exactly 1 MiB") << 1048576 - 103 << false;
    QTest::newRow("body one byte over 1 MiB") << 1048576 - 102 << true;
    QTest::newRow("body of 3 MiB") << 3 * 1048576 << true;
}

void tst_TRXMClient::largeRequest()
{
    QFETCH(int, payloadSize);
    QFETCH(bool, logged);

    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));

    QByteArray payload(payloadSize, '\0');
    char *bytes = payload.data();
    for (int i = 0; i < payloadSize; ++i)
        bytes[i] = static_cast<char>(i * 7);
    QVERIFY(client.sendRequest(1005, payload, true, nullptr));
    QTRY_COMPARE(peer.frames().size(), 1);
    QCOMPARE(peer.frames().first().code, qint16(1005));
    QVERIFY(peer.frames().first().payload == payload);
    QCOMPARE(logText().count(QLatin1String("WARNING <TRXMClient> Cmd Packet too large: 1005")),
             logged ? 1 : 0);
}

void tst_TRXMClient::heartbeatAnsweredKeepsTheLink()
{
    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals(1000, 30));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));

    QTRY_VERIFY(peer.framesWithCode(99) >= 3);
    const QList<Frame> frames = peer.frames();
    for (const Frame &f : frames) {
        QCOMPARE(f.kind, qint16(1));
        QVERIFY(f.payload.isNull());
    }
    QVERIFY(client.isConnected());
    QCOMPARE(delegate.count(), 0);
    QVERIFY(!logText().contains(QLatin1String("Heartbeat timeout")));
}

void tst_TRXMClient::unansweredHeartbeatReportsOnce()
{
    Peer peer;
    peer.setSilent(99);
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals(200, 50));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));

    QTRY_COMPARE(delegate.count(), 1);
    QCOMPARE(delegate.calls().first(), qMakePair(false, 5));
    // The client closes its socket; that close is not reported a second time.
    QTRY_COMPARE(peer.disconnections(), 1);
    QVERIFY(!client.isConnected());
    const int heartbeats = peer.framesWithCode(99);
    QCOMPARE(heartbeats, 1);
    QTest::qWait(300);
    QCOMPARE(delegate.count(), 1);
    QCOMPARE(peer.framesWithCode(99), heartbeats);
    QCOMPARE(logText().count(QLatin1String("WARNING <TRXMClient> Heartbeat timeout!!!")), 1);
}

void tst_TRXMClient::peerCloseReportsOnce()
{
    Peer peer;
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals(200, 50));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QTRY_COMPARE(peer.connections(), 1);

    peer.closeClient();
    QTRY_COMPARE(delegate.count(), 1);
    QCOMPARE(delegate.calls().first(), qMakePair(false, int(QAbstractSocket::RemoteHostClosedError)));
    QVERIFY(logText().contains(QLatin1String("WARNING <TRXMClient> Socket Error: 1")));
    // No heartbeat goes out on a lost link, so no second notice either.
    QTest::qWait(300);
    QCOMPARE(delegate.count(), 1);
    QVERIFY(!logText().contains(QLatin1String("Heartbeat timeout")));
}

void tst_TRXMClient::reconnectReplacesTheLinkSilently()
{
    Peer peer;
    peer.setAnswer(2, 1, "second");
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    // A connect that succeeds returns at once, not when the 2000 ms bound runs out, also when
    // the attempt ended before connectToServer began to wait for it.
    QElapsedTimer timer;
    timer.start();
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QTRY_COMPARE(peer.disconnections(), 1);
    QTRY_COMPARE(peer.connections(), 2);

    trx::RequestResult out;
    QVERIFY(client.sendRequest(2, QByteArray(), false, &out));
    QCOMPARE(out.payload, QByteArray("second"));
    QCOMPARE(delegate.count(), 0);
}

void tst_TRXMClient::connectFailures_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("closedPort");
    QTest::addColumn<bool>("logged");

    QTest::newRow("closed port") << QStringLiteral("127.0.0.1") << true << true;
    QTest::newRow("empty host") << QString() << true << false;
    QTest::newRow("port 0") << QStringLiteral("127.0.0.1") << false << false;
}

void tst_TRXMClient::connectFailures()
{
    QFETCH(QString, host);
    QFETCH(bool, closedPort);
    QFETCH(bool, logged);

    quint16 port = 0;
    if (closedPort) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!client.connectToServer(host, port));
    // Bound of 2000 ms plus slack for a loaded machine.
    QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!client.isConnected());
    QCOMPARE(delegate.count(), 0);

    const QString failed = QStringLiteral("ERROR <TRXMClient> Connect to 127.0.0.1:%1 failed.").arg(port);
    QCOMPARE(logText().count(failed), logged ? 1 : 0);

    QVERIFY(!client.sendRequest(2, QByteArray(), false, nullptr));
    const QString notConnected =
        QStringLiteral("ERROR <TRXMClient> TRXMClient attempts to send request but TRXM Not Connected Yet!\n"
                       " TRXM IP=%1, TRXM Port = %2\n")
            .arg(logged ? host : QString())
            .arg(logged ? port : 0);
    QVERIFY2(logText().contains(notConnected), qPrintable(logText()));
}

void tst_TRXMClient::unansweredConnectEndsWithinTheBound()
{
#if defined(Q_OS_UNIX)
    // A listener with a backlog of 0 and one connection already queued drops further SYNs,
    // so the next connect neither succeeds nor is refused.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    QVERIFY(listener >= 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    QCOMPARE(::listen(listener, 0), 0);
    socklen_t length = sizeof address;
    QCOMPARE(::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &length), 0);
    const quint16 port = ntohs(address.sin_port);
    QTcpSocket filler;
    filler.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(filler.waitForConnected(2000));

    RecordingDelegate delegate;
    trx::LinkIntervals bounds = intervals();
    bounds.connectTimeoutMs = 400;
    TestClient client(&delegate, bounds);
    QElapsedTimer timer;
    timer.start();
    const bool connected = client.connectToServer(QStringLiteral("127.0.0.1"), port);
    const qint64 elapsed = timer.elapsed();
    ::close(listener);
    if (connected)
        QSKIP("this system accepted the connection despite the full backlog");
    QVERIFY2(elapsed >= 350 && elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(logText().count(QStringLiteral("ERROR <TRXMClient> Connect to 127.0.0.1:%1 failed.").arg(port)),
             1);
    QCOMPARE(delegate.count(), 0);
#else
    QSKIP("needs a listener with a zero backlog");
#endif
}

void tst_TRXMClient::twoThreadsSendWholePackets()
{
    Peer peer;
    peer.setEcho();
    RecordingDelegate delegate;
    TestClient client(&delegate, intervals(5000));
    QVERIFY(client.connectToServer(QStringLiteral("127.0.0.1"), peer.port()));

    constexpr int perThread = 150;
    std::atomic<int> mismatches{0};
    auto sender = [&](char tag) {
        for (int i = 0; i < perThread; ++i) {
            // Sizes vary so that packets of both threads would tear visibly if writes interleaved.
            QByteArray payload(4 + (i * 37) % 3000, tag);
            qToBigEndian<qint32>(i, payload.data());
            if (i % 3 == 0) {
                trx::RequestResult out;
                if (!client.sendRequest(1000 + tag, payload, false, &out) || out.payload != payload)
                    ++mismatches;
            } else if (!client.sendRequest(1000 + tag, payload, true, nullptr)) {
                ++mismatches;
            }
        }
    };
    std::thread first(sender, 'A');
    std::thread second(sender, 'B');
    first.join();
    second.join();
    QCOMPARE(mismatches.load(), 0);

    QTRY_COMPARE(peer.frames().size(), 2 * perThread);
    QHash<char, int> next;
    const QList<Frame> frames = peer.frames();
    for (const Frame &f : frames) {
        QCOMPARE(f.kind, qint16(1));
        const char tag = static_cast<char>(f.code - 1000);
        QVERIFY(tag == 'A' || tag == 'B');
        const int i = next.value(tag);
        QCOMPARE(f.payload.size(), 4 + (i * 37) % 3000);
        QCOMPARE(qFromBigEndian<qint32>(f.payload.constData()), i);
        QCOMPARE(f.payload.mid(4).count(tag), f.payload.size() - 4);
        next[tag] = i + 1;
    }
}

void tst_TRXMClient::workerStopsWhileWaitingForParameters()
{
    trx::AsyncTcpClient worker;
    worker.start();
    worker.waitUntilStarted();
    QVERIFY(worker.socket());
    worker.stop();
    QVERIFY(worker.isFinished());
    QVERIFY(!worker.socket());
}

QTEST_GUILESS_MAIN(tst_TRXMClient)
#include "tst_trxmclient.moc"
