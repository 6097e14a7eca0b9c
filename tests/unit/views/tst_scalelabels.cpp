#include "views/scalelabels.h"

#include "cmn/timecodemode.h"

#include <QtTest>

using Labels = QMap<int, QString>;
Q_DECLARE_METATYPE(ScaleLabelInput)

namespace {

const int kDay30 = 2592000;

ScaleLabelInput input30(int viewFrames, int anchor, int width, int originX,
                        const QDate &date = QDate(2026, 12, 8))
{
    ScaleLabelInput in;
    in.viewFrames = viewFrames;
    in.zoomLevels = {300, 1800, 18000, 108000, kDay30, 15 * kDay30};
    in.anchorFrame = anchor;
    in.originX = originX;
    in.width = width;
    in.rate = FrameRate{cmn::get_timecode_mode(30, false), 1000};
    in.date = date;
    return in;
}

int frames30(int h, int m, int s, int f)
{
    return ((h * 60 + m) * 60 + s) * 30 + f;
}

} // namespace

class tst_ScaleLabels : public QObject
{
    Q_OBJECT

private slots:
    void labels_data();
    void labels();
    void granularityFollowsZoom_data();
    void granularityFollowsZoom();
    void dropFrameText();
    void stride_data();
    void stride();
};

void tst_ScaleLabels::labels_data()
{
    QTest::addColumn<ScaleLabelInput>("input");
    QTest::addColumn<Labels>("expected");

    QTest::newRow("15 days: one day label per midnight")
        << input30(15 * kDay30, 0, 1000, 500)
        << Labels{{33, "[01]"},  {100, "[02]"}, {166, "[03]"}, {233, "[04]"}, {300, "[05]"},
                  {366, "[06]"}, {433, "[07]"}, {500, "[08]"}, {566, "[09]"}, {633, "[10]"},
                  {700, "[11]"}, {766, "[12]"}, {833, "[13]"}, {900, "[14]"}, {966, "[15]"}};
    QTest::newRow("exactly two days: day labels, both ends inclusive")
        << input30(2 * kDay30, 0, 1000, 500) << Labels{{0, "[07]"}, {500, "[08]"}, {1000, "[09]"}};
    QTest::newRow("day labels across a month end") << input30(2 * kDay30, 0, 1000, 500, QDate(2026, 3, 1))
                                                   << Labels{{0, "[28]"}, {500, "[01]"}, {1000, "[02]"}};
    QTest::newRow("more than 15 days: nothing") << input30(15 * kDay30 + 1, 0, 1000, 500) << Labels{};
    QTest::newRow("less than 10 s: nothing") << input30(299, frames30(10, 0, 7, 12), 1200, 600) << Labels{};

    // 10 s shown, anchor 10:00:07:12 in the middle: ticks every 5 s, 4 pixels per frame.
    QTest::newRow("10 s shown: ticks every 5 s") << input30(300, frames30(10, 0, 7, 12), 1200, 600)
                                                 << Labels{{312, "[08] 10:00:05"}, {912, "[08] 10:00:10"}};
    // 30 s shown over 900 pixels: one pixel per frame, ticks every 10 s.
    QTest::newRow("30 s shown: ticks every 10 s")
        << input30(900, frames30(10, 0, 7, 12), 900, 450)
        << Labels{{228, "[08] 10:00:00"}, {528, "[08] 10:00:10"}, {828, "[08] 10:00:20"}};
    QTest::newRow("ticks before midnight carry the previous day") << input30(600, 60, 1200, 600)
                                                                  << Labels{{180, "[07] 23:59:55"},
                                                                            {480, "[08] 00:00:00"},
                                                                            {780, "[08] 00:00:05"},
                                                                            {1080, "[08] 00:00:10"}};
    QTest::newRow("previous day across a month end") << input30(600, 60, 1200, 600, QDate(2026, 12, 1))
                                                     << Labels{{180, "[30] 23:59:55"},
                                                               {480, "[01] 00:00:00"},
                                                               {780, "[01] 00:00:05"},
                                                               {1080, "[01] 00:00:10"}};

    ScaleLabelInput shifted = input30(300, frames30(0, 0, 7, 12), 1200, 600);
    shifted.midnightFrames = frames30(1, 0, 0, 0);
    QTest::newRow("clock offset at midnight moves the text, not the day")
        << shifted << Labels{{312, "[08] 01:00:05"}, {912, "[08] 01:00:10"}};

    ScaleLabelInput noMode = input30(300, 0, 1200, 600);
    noMode.rate = FrameRate{};
    QTest::newRow("no timecode mode: nothing") << noMode << Labels{};
    QTest::newRow("no width: nothing") << input30(300, 0, 0, 0) << Labels{};
}

void tst_ScaleLabels::labels()
{
    QFETCH(ScaleLabelInput, input);
    QFETCH(Labels, expected);
    QCOMPARE(computeScaleLabels(input), expected);
}

void tst_ScaleLabels::granularityFollowsZoom_data()
{
    QTest::addColumn<int>("viewFrames");
    QTest::addColumn<int>("periodSeconds");

    QTest::newRow("10 s: 5 s") << 300 << 5;
    QTest::newRow("just under 30 s: 5 s") << 899 << 5;
    QTest::newRow("30 s: 10 s") << 900 << 10;
    QTest::newRow("2 min: 1 min") << 3600 << 60;
    QTest::newRow("just under 20 min: 1 min") << 35999 << 60;
    QTest::newRow("20 min: 10 min") << 36000 << 600;
    QTest::newRow("2 h: 1 h") << 216000 << 3600;
    QTest::newRow("just under 2 days: 1 h") << 2 * kDay30 - 1 << 3600;
}

void tst_ScaleLabels::granularityFollowsZoom()
{
    QFETCH(int, viewFrames);
    QFETCH(int, periodSeconds);

    // A wide column so that several ticks land in view; all ticks sit on period boundaries.
    const Labels labels = computeScaleLabels(input30(viewFrames, frames30(12, 34, 56, 7), 100000, 50000));
    QVERIFY(labels.size() >= 2);
    const QRegularExpression form(QStringLiteral("^\\[(0[789])\\] (\\d\\d):(\\d\\d):(\\d\\d)$"));
    QList<int> seconds;
    for (const QString &text : labels) {
        const QRegularExpressionMatch m = form.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        const int s = (m.captured(1).toInt() - 8) * 86400 + m.captured(2).toInt() * 3600 +
                      m.captured(3).toInt() * 60 + m.captured(4).toInt();
        QCOMPARE((s + 86400) % periodSeconds, 0);
        seconds << s;
    }
    for (int i = 1; i < seconds.size(); ++i)
        QCOMPARE(seconds.at(i) - seconds.at(i - 1), periodSeconds);
}

void tst_ScaleLabels::dropFrameText()
{
    ScaleLabelInput in;
    const cmn::timecode_mode *mode = cmn::get_timecode_mode(30, true);
    in.rate = FrameRate{mode, 1001};
    in.zoomLevels = {300, 1798, 17982, 107892, mode->frames_per_day(), 15 * mode->frames_per_day()};
    in.viewFrames = 300;
    in.anchorFrame = 17982; // 00:10:00;00
    in.width = 1200;
    in.originX = 600;
    in.date = QDate(2026, 12, 8);
    const Labels expected{{0, "[08] 00:09:55"}, {600, "[08] 00:10:00"}, {1200, "[08] 00:10:05"}};
    QCOMPARE(computeScaleLabels(in), expected);
}

void tst_ScaleLabels::stride_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("firstWidth");
    QTest::addColumn<int>("widgetWidth");
    QTest::addColumn<int>("expected");

    // First label 79 wide: 100 pixels per label, and a 1418-wide widget leaves 1000.
    QTest::newRow("all fit exactly") << 10 << 79 << 1418 << 1;
    QTest::newRow("one too many: every second") << 11 << 79 << 1418 << 2;
    QTest::newRow("every third") << 25 << 79 << 1418 << 3;
    QTest::newRow("every fourth") << 40 << 79 << 1418 << 4;
    QTest::newRow("every fifth") << 45 << 79 << 1418 << 5;
    QTest::newRow("not even every fifth fits: every second") << 60 << 79 << 1418 << 2;
    QTest::newRow("no labels") << 0 << 79 << 1418 << 1;
    QTest::newRow("narrow window") << 3 << 79 << 400 << 2;
}

void tst_ScaleLabels::stride()
{
    QFETCH(int, count);
    QFETCH(int, firstWidth);
    QFETCH(int, widgetWidth);
    QFETCH(int, expected);
    QCOMPARE(scaleLabelStride(count, firstWidth, widgetWidth), expected);
}

QTEST_GUILESS_MAIN(tst_ScaleLabels)
#include "tst_scalelabels.moc"
