#include "widgets/framelessdialog.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

class tst_FramelessDialog : public QObject
{
    Q_OBJECT

private slots:
    void frame();
    void marginStaysClear();
    void dragClampedToScreen_data();
    void dragClampedToScreen();
    void noDragWithoutPressOrButton();
    void clampToScreen_data();
    void clampToScreen();

private:
    static void send(QWidget *w, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
                     Qt::MouseButtons buttons)
    {
        const QPointF local = w->mapFromGlobal(global);
        QMouseEvent event(type, local, local, global, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

void tst_FramelessDialog::frame()
{
    FramelessDialog dialog(nullptr);
    QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(dialog.contentsMargins(), QMargins(5, 5, 5, 5));
    auto *shadow = qobject_cast<QGraphicsDropShadowEffect *>(dialog.graphicsEffect());
    QVERIFY(shadow);
    QCOMPARE(shadow->blurRadius(), 15.0);
    QCOMPARE(shadow->offset(), QPointF(0, 0));
    QCOMPARE(shadow->color(), QColor(Qt::black));

    FramelessDialog keep(nullptr, true);
    QCOMPARE(keep.contentsMargins(), QMargins(0, 0, 0, 0));
}

void tst_FramelessDialog::marginStaysClear()
{
    FramelessDialog dialog(nullptr);
    dialog.setGraphicsEffect(nullptr); // look at the body and margin themselves
    dialog.resize(100, 60);
    const QImage image = dialog.grab().toImage();
    QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
    QCOMPARE(qAlpha(image.pixel(97, 57)), 0);
    QCOMPARE(qAlpha(image.pixel(6, 6)), 255);
    QCOMPARE(image.pixelColor(50, 30), dialog.palette().window().color());
}

void tst_FramelessDialog::dragClampedToScreen_data()
{
    QTest::addColumn<QPoint>("moveTo");
    QTest::addColumn<QPoint>("expected"); // relative to the screen's top-left

    // The dialog starts at (100, 100) and is grabbed 50 pixels inside its corner.
    QTest::newRow("free move") << QPoint(250, 200) << QPoint(200, 150);
    QTest::newRow("past the left edge") << QPoint(-300, 200) << QPoint(0, 150);
    QTest::newRow("past the top edge") << QPoint(250, -40) << QPoint(200, 0);
    QTest::newRow("past the bottom-right corner") << QPoint(5000, 5000) << QPoint(-1, -1);
}

void tst_FramelessDialog::dragClampedToScreen()
{
    QFETCH(QPoint, moveTo);
    QFETCH(QPoint, expected);

    FramelessDialog dialog(nullptr);
    dialog.resize(200, 120);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    if (expected == QPoint(-1, -1))
        expected = QPoint(screen.width() - 200, screen.height() - 120);
    dialog.move(screen.topLeft() + QPoint(100, 100));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.frameGeometry().topLeft(), screen.topLeft() + QPoint(100, 100));

    const QPoint grab = screen.topLeft() + QPoint(150, 150);
    send(&dialog, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(dialog.isDragging());
    send(&dialog, QEvent::MouseMove, screen.topLeft() + moveTo, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.frameGeometry().topLeft(), screen.topLeft() + expected);
    send(&dialog, QEvent::MouseButtonRelease, screen.topLeft() + moveTo, Qt::LeftButton, Qt::NoButton);
    QVERIFY(!dialog.isDragging());
}

void tst_FramelessDialog::noDragWithoutPressOrButton()
{
    FramelessDialog dialog(nullptr);
    dialog.resize(200, 120);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint start = screen.topLeft() + QPoint(100, 100);
    dialog.move(start);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    send(&dialog, QEvent::MouseMove, screen.topLeft() + QPoint(300, 300), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.frameGeometry().topLeft(), start);

    send(&dialog, QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    send(&dialog, QEvent::MouseMove, start + QPoint(200, 10), Qt::NoButton, Qt::NoButton);
    QCOMPARE(dialog.frameGeometry().topLeft(), start);

    send(&dialog, QEvent::MouseButtonRelease, start + QPoint(10, 10), Qt::LeftButton, Qt::NoButton);
    send(&dialog, QEvent::MouseMove, start + QPoint(200, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(dialog.frameGeometry().topLeft(), start);
}

void tst_FramelessDialog::clampToScreen_data()
{
    QTest::addColumn<QPoint>("wanted");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");

    const QRect primary(0, 0, 1920, 1080);
    QTest::newRow("inside") << QPoint(10, 20) << QSize(300, 200) << primary << QPoint(10, 20);
    QTest::newRow("right and bottom edges")
        << QPoint(1800, 1000) << QSize(300, 200) << primary << QPoint(1620, 880);
    QTest::newRow("second screen to the right")
        << QPoint(1900, -5) << QSize(300, 200) << QRect(1920, 0, 1280, 1024) << QPoint(1920, 0);
    QTest::newRow("window larger than the screen")
        << QPoint(50, 50) << QSize(2500, 1200) << primary << QPoint(0, 0);
}

void tst_FramelessDialog::clampToScreen()
{
    QFETCH(QPoint, wanted);
    QFETCH(QSize, size);
    QFETCH(QRect, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(::clampToScreen(wanted, size, screen), expected);
}

QTEST_MAIN(tst_FramelessDialog)
#include "tst_framelessdialog.moc"
