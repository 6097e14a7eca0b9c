#include "widgets/splashwindow.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class tst_SplashWindow : public QObject
{
    Q_OBJECT

private slots:
    void pictureCarriesTheVersion();
    void statusAndClose();
};

void tst_SplashWindow::pictureCarriesTheVersion()
{
    const QPixmap plain(QStringLiteral(":/OXA/mrl_splash_parts.png"));
    QVERIFY(!plain.isNull());
    const QImage before = plain.toImage();
    const QImage after = SplashWindow::composePicture(plain).toImage();
    QCOMPARE(after.size(), before.size());

    // The version line sits on the baseline y = 150 from x = 16; the picture elsewhere is untouched.
    const auto changedIn = [&](const QRect &area) {
        int changed = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                changed += before.pixel(x, y) != after.pixel(x, y);
        return changed;
    };
    QVERIFY(changedIn(QRect(16, 138, 120, 14)) > 20);
    QVERIFY(changedIn(QRect(16, 182, 120, 14)) > 10);
    QVERIFY(changedIn(QRect(16, 200, 120, 14)) > 10);
    QCOMPARE(changedIn(QRect(300, 0, 200, 30)), 0);
}

void tst_SplashWindow::statusAndClose()
{
    SplashWindow splash;
    QCOMPARE(splash.size(), QSize(562, 334));
    auto *image = splash.findChild<QLabel *>(QStringLiteral("m_splashImg"));
    QVERIFY(image && !image->pixmap(Qt::ReturnByValue).isNull());

    QSignalSpy shown(&splash, &SplashWindow::sigSplashShow);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTRY_VERIFY(shown.count() > 0);

    splash.SetStatText(QStringLiteral("Init ports..."));
    QCOMPARE(splash.findChild<QLabel *>(QStringLiteral("m_lbStatBar"))->text(),
             QStringLiteral("Init ports..."));
    QCOMPARE(splash.statusText(), QStringLiteral("Init ports..."));

    splash.slotClose();
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(tst_SplashWindow)
#include "tst_splashwindow.moc"
