#include "views/painttcscale.h"
#include "views/scalelabels.h"

#include <QtTest>

namespace {
const QColor kTick(201, 201, 201);
}

class tst_PaintTcScale : public QObject
{
    Q_OBJECT

private slots:
    void ticks_data();
    void ticks();
    void emptyMapDrawsNothing();

private:
    static bool hasTick(const QImage &image, int column)
    {
        const int h = image.height();
        for (int y = h - 8; y < h; ++y) {
            if (image.pixelColor(column, y) != kTick)
                return false;
        }
        return true;
    }
};

void tst_PaintTcScale::ticks_data()
{
    QTest::addColumn<int>("widgetWidth");
    QTest::addColumn<QList<int>>("columns");
    QTest::addColumn<QList<int>>("drawn");

    // Short labels ("[08]") are about 30 pixels wide with the default font.
    QTest::newRow("all fit") << 1500 << QList<int>{100, 300, 500} << QList<int>{100, 300, 500};
    QTest::newRow("too close to the left for half the text") << 1500 << QList<int>{2, 300} << QList<int>{300};
    QTest::newRow("beyond the timeline column")
        << 1500 << QList<int>{300, 1002, 1003} << QList<int>{300, 1002};
    QList<int> dense;
    QList<int> everySecond;
    for (int i = 0; i < 30; ++i) {
        dense << 40 + 10 * i;
        if (i % 2 == 0)
            everySecond << 40 + 10 * i;
    }
    QTest::newRow("crowded labels are thinned") << 1500 << dense << everySecond;
}

void tst_PaintTcScale::ticks()
{
    QFETCH(int, widgetWidth);
    QFETCH(QList<int>, columns);
    QFETCH(QList<int>, drawn);

    PaintTcScale scale;
    scale.resize(widgetWidth, 30);
    QMap<int, QString> labels;
    for (int column : qAsConst(columns))
        labels.insert(column, QStringLiteral("[08]"));
    scale.setLabels(labels);
    QCOMPARE(scale.labels(), labels);

    const QImage image = scale.grab().toImage();
    if (columns.size() > 20) {
        const QRect first = scale.fontMetrics().boundingRect(QStringLiteral("[08]"));
        QCOMPARE(scaleLabelStride(columns.size(), first.right() - first.left(), widgetWidth), 2);
    }
    for (int column : qAsConst(columns)) {
        const bool expected = drawn.contains(column);
        QVERIFY2(hasTick(image, column + kScaleTimelineLeft) == expected,
                 qPrintable(QStringLiteral("column %1").arg(column)));
    }
}

void tst_PaintTcScale::emptyMapDrawsNothing()
{
    PaintTcScale scale;
    scale.resize(1200, 30);
    const QImage image = scale.grab().toImage();
    for (int x = 0; x < image.width(); ++x)
        QVERIFY(image.pixelColor(x, 29) != kTick);
}

QTEST_MAIN(tst_PaintTcScale)
#include "tst_painttcscale.moc"
