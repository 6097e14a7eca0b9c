#include "trx/pngstream.h"
#include "trx/trxmclient.h"
#include "trx/trxmclientdelegate.h"

#include <QDataStream>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A 1x1 RGBA header chunk and the closing chunk, written out by hand.
const char Signature[] = "89504e470d0a1a0a";
const char Ihdr[] = "0000000d49484452000000010000000108060000001f15c489";
const char Iend[] = "0000000049454e44ae426082";

QByteArray png()
{
    return hex(Signature) + hex(Ihdr) + hex(Iend);
}

class Push114Delegate : public trx::TRXMClientDelegate
{
public:
    void onPush114(const QString &a, const QString &b, qint32 c, const QByteArray &d) override
    {
        ++calls;
        text = a + b;
        value = c;
        image = d;
    }
    int calls = 0;
    QString text;
    qint32 value = 0;
    QByteArray image;
};

} // namespace

class TestPngStream : public QObject
{
    Q_OBJECT

private slots:
    void readsToIendAndKeepsAlignment_data();
    void readsToIendAndKeepsAlignment();
    void push114PassesTheImageUndecoded();
};

void TestPngStream::readsToIendAndKeepsAlignment_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expectedPng");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("later");

    const QByteArray after = hex("0000002a");
    QTest::newRow("null image, later field") << hex("00000000") + after << QByteArray() << true << 42;
    QTest::newRow("png, later field") << hex("00000001") + png() + after << png() << true << 42;
    const QByteArray trap =
        hex(Signature) + hex("0000000849444154") + QByteArray("IENDIEND") + hex("01020304") + hex(Iend);
    QTest::newRow("IEND inside a data chunk is not the end")
        << hex("00000001") + trap + after << trap << true << 42;
    QTest::newRow("empty png chunk list ends at IEND at once")
        << hex("00000001") + hex(Signature) + hex(Iend) + after << hex(Signature) + hex(Iend) << true << 42;
    QTest::newRow("signature only") << hex("00000001") + hex(Signature) << QByteArray() << false << 0;
    QTest::newRow("not a png") << hex("00000001") + QByteArray("GIF89a\x01\x00", 8) + hex(Iend)
                               << QByteArray() << false << 0;
    QTest::newRow("no IEND before the end")
        << hex("00000001") + hex(Signature) + hex(Ihdr) << QByteArray() << false << 0;
    QTest::newRow("chunk length beyond the payload")
        << hex("00000001") + hex(Signature) + hex("7fffffff49444154") + after << QByteArray() << false << 0;
    QTest::newRow("chunk length above the format's cap")
        << hex("00000001") + hex(Signature) + hex("ffffffff49444154") + after << QByteArray() << false << 0;
    QTest::newRow("marker cut short") << hex("0000") << QByteArray() << false << 0;
}

void TestPngStream::readsToIendAndKeepsAlignment()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expectedPng);
    QFETCH(bool, ok);
    QFETCH(qint32, later);

    QDataStream s(payload);
    trx::TRXMClient::prepareStream(s);
    QByteArray image("stale");
    trx::readPngStream(s, image);
    QCOMPARE(image.toHex(), expectedPng.toHex());
    QCOMPARE(s.status() == QDataStream::Ok, ok);
    qint32 next = 0;
    s >> next;
    QCOMPARE(next, later);
}

void TestPngStream::push114PassesTheImageUndecoded()
{
    Push114Delegate delegate;
    trx::LinkIntervals intervals;
    intervals.heartbeatIntervalMs = 1 << 30;
    trx::TRXMClient client(&delegate, intervals);
    // "a", "b", 7, then the image and bytes that are no part of it.
    const QByteArray payload =
        hex("00000002006100000002006200000007") + hex("00000001") + png() + hex("deadbeef");
    QDataStream s(payload);
    trx::TRXMClient::prepareStream(s);
    client.pushReceived(114, s);
    QCOMPARE(delegate.calls, 1);
    QCOMPARE(delegate.text, QStringLiteral("ab"));
    QCOMPARE(delegate.value, 7);
    QCOMPARE(delegate.image.toHex(), png().toHex());
}

QTEST_GUILESS_MAIN(TestPngStream)
#include "tst_pngstream.moc"
