// Port status computations: remaining-time texts and frames, link states, usable ranges, the
// usable-range test, the 24-hour line and the remaining-time notifications.

#include "controller/portstatus.h"

#include "cmn/framerate.h"
#include "cmn/timecodemode.h"

#include <QtTest>

namespace {

int packed(int hh, int mm, int ss, int ff)
{
    return (hh << 24) | (mm << 16) | (ss << 8) | ff;
}

trx::PortState stateAt(int rateCode, int tc, int stateCode = 1, int recordPosition = 0)
{
    trx::PortState s;
    s.stateCode = stateCode;
    s.systemFrequency = rateCode;
    s.currentTc = tc;
    s.recordPosition = recordPosition;
    return s;
}

trx::RecordTrainInfo train25(const QString &date, const QString &time, int startTc)
{
    trx::RecordTrainInfo t;
    t.serverId = QStringLiteral("srv");
    t.portNo = 0;
    t.rateCode = 25;
    t.systemFrequency = 25;
    t.startDate = date;
    t.startTime = time;
    t.startTc = startTc;
    return t;
}

constexpr int Day25 = 24 * 3600 * 25;

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<UsableRange>)

class tst_PortStatus : public QObject
{
    Q_OBJECT

private slots:
    void remainText_data();
    void remainText();
    void remainMinutes_data();
    void remainMinutes();
    void remainFrames_data();
    void remainFrames();
    void link_data();
    void link();
    void usableRange_data();
    void usableRange();
    void rangesGroupedByPortInTrainOrder();
    void accepts_data();
    void accepts();
    void line24h_data();
    void line24h();
    void remainNotifications();
};

void tst_PortStatus::remainText_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0 << "00H 00M";
    QTest::newRow("two hours five") << 125 << "02H 05M";
    QTest::newRow("under an hour") << 59 << "00H 59M";
    QTest::newRow("three digit hours") << 6000 << "100H 00M";
    QTest::newRow("negative shows kind 3") << -1 << "Loop Off";
}

void tst_PortStatus::remainText()
{
    QFETCH(int, minutes);
    QFETCH(QString, text);
    QCOMPARE(remainTimeText(minutes, QStringLiteral("Loop Off")), text);
}

void tst_PortStatus::remainMinutes_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("minutes");
    QTest::newRow("number") << "125" << 125;
    QTest::newRow("minus one") << "-1" << -1;
    QTest::newRow("empty part") << "" << 0;
    QTest::newRow("not a number") << "n/a" << 0;
    QTest::newRow("blanks around") << " 7 " << 7;
}

void tst_PortStatus::remainMinutes()
{
    QFETCH(QString, part);
    QFETCH(int, minutes);
    QCOMPARE(remainMinutesOf(part), minutes);
}

void tst_PortStatus::remainFrames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rateCode");
    QTest::addColumn<std::optional<int>>("frames");
    QTest::newRow("25: two hours five") << "02H 05M" << 25 << std::optional<int>((2 * 3600 + 5 * 60) * 25);
    QTest::newRow("30: one hour") << "01H 00M" << 30 << std::optional<int>(3600 * 30);
    QTest::newRow("zero") << "00H 00M" << 25 << std::optional<int>(0);
    QTest::newRow("past a day adds a day of frames")
        << "25H 00M" << 25 << std::optional<int>(Day25 + 3600 * 25);
    QTest::newRow("100 hours") << "100H 00M" << 25 << std::optional<int>(4 * Day25 + 4 * 3600 * 25);
    QTest::newRow("kind 3 text") << "Loop Off" << 25 << std::optional<int>();
    QTest::newRow("no minutes") << "12H" << 25 << std::optional<int>();
    QTest::newRow("hours not a number") << "xxH 05M" << 25 << std::optional<int>();
    QTest::newRow("huge hours clamp")
        << "99999999H 00M" << 25 << std::optional<int>(std::numeric_limits<int>::max());
}

void tst_PortStatus::remainFrames()
{
    QFETCH(QString, text);
    QFETCH(int, rateCode);
    QFETCH(std::optional<int>, frames);
    QCOMPARE(remainTextToFrames(text, frameRateFor(rateCode, false)), frames);
}

void tst_PortStatus::link_data()
{
    QTest::addColumn<trx::PortState>("master");
    QTest::addColumn<trx::PortState>("port");
    QTest::addColumn<int>("status");
    const int ten = packed(10, 0, 0, 0);
    QTest::newRow("same timecode") << stateAt(25, ten) << stateAt(25, ten) << 1;
    QTest::newRow("24 frames ahead") << stateAt(25, ten) << stateAt(25, packed(10, 0, 0, 24)) << 1;
    QTest::newRow("25 frames ahead") << stateAt(25, ten) << stateAt(25, packed(10, 0, 1, 0)) << 3;
    QTest::newRow("24 frames behind") << stateAt(25, ten) << stateAt(25, packed(9, 59, 59, 1)) << 1;
    QTest::newRow("25 frames behind") << stateAt(25, ten) << stateAt(25, packed(9, 59, 59, 0)) << 3;
    QTest::newRow("one frame behind across midnight")
        << stateAt(25, packed(0, 0, 0, 0)) << stateAt(25, packed(23, 59, 59, 24)) << 1;
    QTest::newRow("24 fps port, same frame count")
        << stateAt(25, ten) << stateAt(24, packed(10, 0, 0, 0)) << 3; // its day has fewer frames
    QTest::newRow("port without timecode") << stateAt(25, ten) << stateAt(25, -1) << 3;
    QTest::newRow("master without timecode") << stateAt(25, -1) << stateAt(25, ten) << 3;
}

void tst_PortStatus::link()
{
    QFETCH(trx::PortState, master);
    QFETCH(trx::PortState, port);
    QFETCH(int, status);
    QCOMPARE(linkStatus(port, master), status);
}

void tst_PortStatus::usableRange_data()
{
    QTest::addColumn<trx::RecordTrainInfo>("train");
    QTest::addColumn<trx::PortState>("state");
    QTest::addColumn<int>("offsetSecs");
    QTest::addColumn<std::optional<UsableRange>>("range");

    const int ten = packed(10, 0, 0, 0);
    const int tenFrames = 10 * 3600 * 25;
    trx::RecordTrainInfo recording = train25(QStringLiteral("20261208"), QStringLiteral("100000123"), ten);
    recording.stillRecording = true;
    recording.outPoint = 77; // not final while recording
    QTest::newRow("recording: ends at the port's position")
        << recording << stateAt(25, 0, 1, 1000) << 0
        << std::optional<UsableRange>(UsableRange{tenFrames, 1000});

    trx::RecordTrainInfo finished = train25(QStringLiteral("20261208"), QStringLiteral("100000"), ten);
    finished.inPoint = 100;
    finished.outPoint = 5000;
    QTest::newRow("finished: in point to out point")
        << finished << stateAt(25, 0, 1, 1000) << 0
        << std::optional<UsableRange>(UsableRange{tenFrames + 100, 4900});

    QTest::newRow("port not in service")
        << finished << stateAt(25, 0, 0, 1000) << 0 << std::optional<UsableRange>();

    trx::RecordTrainInfo dayBefore = finished;
    dayBefore.startDate = QStringLiteral("20261207");
    QTest::newRow("created the day before")
        << dayBefore << stateAt(25, 0) << 0
        << std::optional<UsableRange>(UsableRange{tenFrames + 100 - Day25, 4900});

    trx::RecordTrainInfo lateEvening = finished;
    lateEvening.startDate = QStringLiteral("20261207");
    lateEvening.startTime = QStringLiteral("235959");
    QTest::newRow("offset moves the creation onto the working date")
        << lateEvening << stateAt(25, 0) << 2
        << std::optional<UsableRange>(UsableRange{tenFrames + 100, 4900});

    trx::RecordTrainInfo garbled = finished;
    garbled.startDate = QStringLiteral("2026-12-08");
    QTest::newRow("unreadable creation date")
        << garbled << stateAt(25, 0) << 0 << std::optional<UsableRange>();

    trx::RecordTrainInfo noTc = finished;
    noTc.startTc = -1;
    QTest::newRow("no start timecode") << noTc << stateAt(25, 0) << 0 << std::optional<UsableRange>();

    trx::RecordTrainInfo ancient = finished;
    ancient.startDate = QStringLiteral("19000101");
    QTest::newRow("start beyond 32 bits") << ancient << stateAt(25, 0) << 0 << std::optional<UsableRange>();
}

void tst_PortStatus::usableRange()
{
    QFETCH(trx::RecordTrainInfo, train);
    QFETCH(trx::PortState, state);
    QFETCH(int, offsetSecs);
    QFETCH(std::optional<UsableRange>, range);
    const std::optional<UsableRange> got = usableRangeFor(train, state, QDate(2026, 12, 8), offsetSecs);
    QCOMPARE(got.has_value(), range.has_value());
    if (range) {
        QCOMPARE(got->start, range->start);
        QCOMPARE(got->length, range->length);
    }
}

void tst_PortStatus::rangesGroupedByPortInTrainOrder()
{
    trx::RecordTrainInfo a =
        train25(QStringLiteral("20261208"), QStringLiteral("000000"), packed(1, 0, 0, 0));
    a.outPoint = 10;
    trx::RecordTrainInfo b = a;
    b.startTc = packed(0, 0, 0, 0);
    trx::RecordTrainInfo other = a;
    other.portNo = 1;
    trx::RecordTrainInfo offline = a;
    offline.portNo = 2;
    trx::RecordTrainInfo unknown = a;
    unknown.portNo = 5;
    QMap<trx::ServerPort, trx::PortState> states;
    states.insert(trx::ServerPort(QStringLiteral("srv"), 0), stateAt(25, 0));
    states.insert(trx::ServerPort(QStringLiteral("srv"), 1), stateAt(25, 0));
    states.insert(trx::ServerPort(QStringLiteral("srv"), 2), stateAt(25, 0, 3));

    const auto ranges = usableRangesFor({a, other, b, offline, unknown}, states, QDate(2026, 12, 8), 0);
    QCOMPARE(ranges.keys(), (QList<trx::ServerPort>{trx::ServerPort(QStringLiteral("srv"), 0),
                                                    trx::ServerPort(QStringLiteral("srv"), 1)}));
    const QList<UsableRange> port0 = ranges.value(trx::ServerPort(QStringLiteral("srv"), 0));
    QCOMPARE(port0, (QList<UsableRange>{UsableRange{3600 * 25, 10}, UsableRange{0, 10}}));
}

void tst_PortStatus::accepts_data()
{
    QTest::addColumn<QList<UsableRange>>("ranges");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<bool>("accepted");
    const int now = 10000;
    const QList<UsableRange> two{UsableRange{1000, 2000}, UsableRange{5000, now - 5000}};
    QTest::newRow("no ranges, future start") << QList<UsableRange>() << now + 100 << now + 200 << false;
    QTest::newRow("future start, any range")
        << QList<UsableRange>{UsableRange{0, 10}} << now << now + 200 << true;
    QTest::newRow("past start in last range, future end") << two << now - 100 << now + 500 << true;
    QTest::newRow("past start and end in first range") << two << 1500 << 2900 << true;
    QTest::newRow("end past first range") << two << 1500 << 3100 << false;
    QTest::newRow("start between ranges") << two << 4000 << 6000 << false;
    QTest::newRow("first range, future end") << two << 1500 << now + 10 << false;
    QTest::newRow("unsorted: the latest range still counts as last")
        << QList<UsableRange>{UsableRange{5000, now - 5000}, UsableRange{1000, 2000}} << now - 100
        << now + 500 << true;
    QTest::newRow("range edges are inside") << two << 1000 << 3000 << true;
}

void tst_PortStatus::accepts()
{
    QFETCH(QList<UsableRange>, ranges);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(bool, accepted);
    QCOMPARE(rangesAccept(ranges, start, end, 10000), accepted);
}

void tst_PortStatus::line24h_data()
{
    QTest::addColumn<QDate>("created");
    QTest::addColumn<int>("rateCode");
    QTest::addColumn<std::optional<int>>("frame");
    const int ten = 10 * 3600;
    QTest::newRow("working date") << QDate(2026, 12, 8) << 25 << std::optional<int>(ten * 25 + Day25);
    QTest::newRow("day before: today at ten") << QDate(2026, 12, 7) << 25 << std::optional<int>(ten * 25);
    QTest::newRow("30 fps") << QDate(2026, 12, 8) << 30 << std::optional<int>(ten * 30 + 24 * 3600 * 30);
    QTest::newRow("no date counts as the working date")
        << QDate() << 25 << std::optional<int>(ten * 25 + Day25);
}

void tst_PortStatus::line24h()
{
    QFETCH(QDate, created);
    QFETCH(int, rateCode);
    QFETCH(std::optional<int>, frame);
    TrainStart start;
    start.rate = frameRateFor(rateCode, false);
    start.startFrame = 10 * 3600 * start.rate.mode->fps();
    start.date = created;
    QCOMPARE(line24hFrame(start, QDate(2026, 12, 8)), frame);
}

void tst_PortStatus::remainNotifications()
{
    RemainTimeTexts texts;
    const QString a = QStringLiteral("srv-a");
    const QString b = QStringLiteral("srv-b");
    QCOMPARE(texts.accept(a, 5, QStringLiteral("10|20")), std::optional<QString>(QStringLiteral("10|20")));
    QCOMPARE(texts.accept(a, 5, QStringLiteral("10|20")), std::optional<QString>());
    // Another server with the same minutes is shown all the same.
    QCOMPARE(texts.accept(b, 5, QStringLiteral("10|20")), std::optional<QString>(QStringLiteral("10|20")));
    // Kind 3 shows the server's stored minutes again with the new text.
    QCOMPARE(texts.accept(a, 3, QStringLiteral("Loop Off")), std::optional<QString>(QStringLiteral("10|20")));
    QCOMPARE(texts.kind3Text(a), QStringLiteral("Loop Off"));
    QCOMPARE(texts.kind3Text(b), QString());
    // Before a server's first minutes there is nothing to show: an empty list would read as 0.
    QCOMPARE(texts.accept(QStringLiteral("srv-c"), 3, QStringLiteral("Off")), std::optional<QString>());
    QCOMPARE(texts.accept(a, 4, QStringLiteral("1|2")), std::optional<QString>());
    QCOMPARE(texts.accept(a, 5, QStringLiteral("9|20")), std::optional<QString>(QStringLiteral("9|20")));
}

QTEST_GUILESS_MAIN(tst_PortStatus)
#include "tst_portstatus.moc"
