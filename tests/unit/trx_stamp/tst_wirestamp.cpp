// Date-times from the wire are read without resolving the zone id they may carry: Qt's own
// reader builds a QTimeZone from that text, which opens a file named by it.
#include "trx/streamio.h"
#include "trx/trxmclient.h"

#include <QtTest>

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

std::atomic<int> g_opensOfPasswd{0};

void note(const char *path)
{
    if (path && std::strstr(path, "passwd"))
        ++g_opensOfPasswd;
}

template<typename Fn> Fn realFunction(const char *name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

mode_t modeArgument(int flags, va_list ap)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

// A date-time in its stream form followed by a sentinel that shows where a reader stopped.
QByteArray stampThenSentinel(const QDateTime &written)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    trx::TRXMClient::prepareStream(s);
    s << written << qint32(0x5E17);
    return bytes;
}

} // namespace

// Every way Qt opens a file by name passes through one of these while the test runs.
extern "C" {
int open(const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArgument(flags, ap);
    va_end(ap);
    note(path);
    static const auto real = realFunction<int (*)(const char *, int, ...)>("open");
    return real(path, flags, mode);
}
int open64(const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArgument(flags, ap);
    va_end(ap);
    note(path);
    static const auto real = realFunction<int (*)(const char *, int, ...)>("open64");
    return real(path, flags, mode);
}
int openat(int dir, const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArgument(flags, ap);
    va_end(ap);
    note(path);
    static const auto real = realFunction<int (*)(int, const char *, int, ...)>("openat");
    return real(dir, path, flags, mode);
}
int openat64(int dir, const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = modeArgument(flags, ap);
    va_end(ap);
    note(path);
    static const auto real = realFunction<int (*)(int, const char *, int, ...)>("openat64");
    return real(dir, path, flags, mode);
}
}

namespace {

// The stream form of a date-time carrying the zone id `zone`, followed by a sentinel.
QByteArray stampWithZone(const QString &zone)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    trx::TRXMClient::prepareStream(s);
    s << QDate(2026, 12, 8) << QTime(10, 0) << qint8(Qt::TimeZone) << zone << qint32(0x5E17);
    return bytes;
}

} // namespace

class tst_WireStamp : public QObject
{
    Q_OBJECT

private slots:
    void qtsOwnReaderOpensTheNamedFile();
    void zoneIdIsNotResolved_data();
    void zoneIdIsNotResolved();
    void valuesWithoutZoneKeepTheirMeaning_data();
    void valuesWithoutZoneKeepTheirMeaning();
    void fixedOffsetZoneStaysAligned();
    void skipConsumesEveryForm_data();
    void skipConsumesEveryForm();
};

// Shows why the reader exists: with Qt's reader, a peer chooses a path to open.
void tst_WireStamp::qtsOwnReaderOpensTheNamedFile()
{
    const QByteArray bytes = stampWithZone(QStringLiteral("../../../../etc/passwd"));
    QDataStream s(bytes);
    trx::TRXMClient::prepareStream(s);
    const int before = g_opensOfPasswd.load();
    QDateTime value;
    s >> value;
    if (g_opensOfPasswd.load() == before)
        QSKIP("this Qt build does not open the named zone file");
    QVERIFY(g_opensOfPasswd.load() > before);
}

void tst_WireStamp::zoneIdIsNotResolved_data()
{
    QTest::addColumn<QString>("zone");
    QTest::newRow("path out of the zoneinfo folder") << QStringLiteral("../../../../etc/passwd");
    QTest::newRow("absolute path") << QStringLiteral("/etc/passwd");
    QTest::newRow("real zone") << QStringLiteral("Europe/Berlin");
    QTest::newRow("empty") << QString();
}

void tst_WireStamp::zoneIdIsNotResolved()
{
    QFETCH(QString, zone);
    const QByteArray bytes = stampWithZone(zone);
    QDataStream s(bytes);
    trx::TRXMClient::prepareStream(s);
    const int before = g_opensOfPasswd.load();
    const QDateTime value = trx::readWireDateTime(s);
    qint32 sentinel = 0;
    s >> sentinel;
    QCOMPARE(g_opensOfPasswd.load(), before);
    QCOMPARE(sentinel, qint32(0x5E17));
    QCOMPARE(s.status(), QDataStream::Ok);
    QCOMPARE(value.date(), QDate(2026, 12, 8));
    QCOMPARE(value.time(), QTime(10, 0));
}

void tst_WireStamp::valuesWithoutZoneKeepTheirMeaning_data()
{
    QTest::addColumn<QDateTime>("written");
    QTest::newRow("local") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::LocalTime);
    QTest::newRow("utc") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::UTC);
    QTest::newRow("offset") << QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5, 6), Qt::OffsetFromUTC, -5400);
    QTest::newRow("null") << QDateTime();
}

void tst_WireStamp::valuesWithoutZoneKeepTheirMeaning()
{
    QFETCH(QDateTime, written);
    const QByteArray bytes = stampThenSentinel(written);
    QDataStream s(bytes);
    trx::TRXMClient::prepareStream(s);
    const QDateTime read = trx::readWireDateTime(s);
    qint32 sentinel = 0;
    s >> sentinel;
    QCOMPARE(sentinel, qint32(0x5E17));
    QCOMPARE(read, written);
    QCOMPARE(read.timeSpec(), written.timeSpec());
}

// Qt writes a fixed-offset zone as a marker followed by six fields; all must be consumed.
void tst_WireStamp::fixedOffsetZoneStaysAligned()
{
    const QByteArray bytes = stampThenSentinel(QDateTime(QDate(2026, 5, 6), QTime(7, 8), QTimeZone(3600)));
    QDataStream s(bytes);
    trx::TRXMClient::prepareStream(s);
    const QDateTime read = trx::readWireDateTime(s);
    qint32 sentinel = 0;
    s >> sentinel;
    QCOMPARE(sentinel, qint32(0x5E17));
    QCOMPARE(read.date(), QDate(2026, 5, 6));
    QCOMPARE(read.time(), QTime(7, 8));
}

void tst_WireStamp::skipConsumesEveryForm_data()
{
    QTest::addColumn<QDateTime>("written");
    const QDate date(2026, 5, 6);
    const QTime time(7, 8, 9, 10);
    QTest::newRow("local") << QDateTime(date, time, Qt::LocalTime);
    QTest::newRow("utc") << QDateTime(date, time, Qt::UTC);
    QTest::newRow("offset") << QDateTime(date, time, Qt::OffsetFromUTC, -5400);
    QTest::newRow("zone id") << QDateTime(date, time, QTimeZone("Europe/Berlin"));
    QTest::newRow("fixed-offset zone") << QDateTime(date, time, QTimeZone(3600));
    QTest::newRow("null") << QDateTime();
}

// The frame stamp is skipped, not read: the stream must land exactly where the reader's does.
void tst_WireStamp::skipConsumesEveryForm()
{
    QFETCH(QDateTime, written);
    const QByteArray bytes = stampThenSentinel(written);
    QDataStream s(bytes);
    trx::TRXMClient::prepareStream(s);
    trx::skipWireDateTime(s);
    qint32 sentinel = 0;
    s >> sentinel;
    QCOMPARE(sentinel, qint32(0x5E17));
    QCOMPARE(s.status(), QDataStream::Ok);
    QVERIFY(s.atEnd());
}

QTEST_GUILESS_MAIN(tst_WireStamp)
#include "tst_wirestamp.moc"
