#include "widgets/aboutdialog.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_AboutDialog : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void closeButtonCloses();
};

void tst_AboutDialog::texts()
{
    AboutDialog dialog(nullptr);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("m_lblTitle"))->text(), QStringLiteral("About Tarsa"));
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("m_lblSystemVer"))->text(),
             QStringLiteral("Version 1.0.2.644"));
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("m_aboutIcon")));
}

void tst_AboutDialog::closeButtonCloses()
{
    AboutDialog dialog(nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("m_btnClose")), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(tst_AboutDialog)
#include "tst_aboutdialog.moc"
