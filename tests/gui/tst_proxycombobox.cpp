#include "widgets/proxycombobox.h"
#include "widgets/serverportlistitem.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

class tst_ProxyComboBox : public QObject
{
    Q_OBJECT

private slots:
    void popupPropertyAndPlace();
    void pickReportedBeforeTheIndexChanges();
    void closingWithTheMouseOutsideReportsNothing();
    void portListItem_data();
    void portListItem();
};

void tst_ProxyComboBox::popupPropertyAndPlace()
{
    ProxyComboBox combo;
    combo.addItems({QStringLiteral("None"), QStringLiteral("Port B"), QStringLiteral("Port C")});
    combo.setPopupOffset(8);
    combo.move(30, 40);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QCOMPARE(combo.property("ShowPopup").toString(), QStringLiteral("No"));
    combo.showPopup();
    QVERIFY(combo.isPopupShown());
    QCOMPARE(combo.property("ShowPopup").toString(), QStringLiteral("Yes"));
    const QWidget *frame = combo.view()->parentWidget();
    QCOMPARE(frame->y(), combo.mapToGlobal(QPoint(0, 0)).y() + combo.height() - 1 - 8 + 6);
    QCursor::setPos(QPoint(-500, -500));
    combo.hidePopup();
    QVERIFY(!combo.isPopupShown());
    QCOMPARE(combo.property("ShowPopup").toString(), QStringLiteral("No"));
}

void tst_ProxyComboBox::pickReportedBeforeTheIndexChanges()
{
    ProxyComboBox combo;
    combo.addItems({QStringLiteral("None"), QStringLiteral("Port B"), QStringLiteral("Port C")});
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    int indexWhenReported = -1;
    connect(&combo, &ProxyComboBox::sigProxyPortOnChanged, this,
            [&combo, &indexWhenReported] { indexWhenReported = combo.currentIndex(); });
    combo.showPopup();
    QAbstractItemView *view = combo.view();
    view->setCurrentIndex(combo.model()->index(2, 0));
    // The list closes on Enter as it does on a click; the mouse rests over it.
    QCursor::setPos(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()).center());
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(indexWhenReported, 0);
    QTRY_COMPARE(combo.currentIndex(), 2);
}

void tst_ProxyComboBox::closingWithTheMouseOutsideReportsNothing()
{
    ProxyComboBox combo;
    combo.addItems({QStringLiteral("None"), QStringLiteral("Port B")});
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    QSignalSpy spy(&combo, &ProxyComboBox::sigProxyPortOnChanged);
    combo.showPopup();
    QCursor::setPos(QPoint(-500, -500));
    combo.hidePopup();
    QCOMPARE(spy.size(), 0);
    // Closing a list that was never opened reports nothing either.
    combo.hidePopup();
    QCOMPARE(spy.size(), 0);
}

void tst_ProxyComboBox::portListItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("elided");
    QTest::newRow("short name") << QStringLiteral("Port A") << false;
    QTest::newRow("long name") << QStringLiteral(
                                      "Port A => a camera with a very long descriptive name indeed")
                               << true;
}

void tst_ProxyComboBox::portListItem()
{
    QFETCH(QString, name);
    QFETCH(bool, elided);
    ServerPortListItem item(trx::ServerPort(QStringLiteral("s1"), 3), name, false, true);
    const QLabel *label = item.findChild<QLabel *>(QStringLiteral("label"));
    QCOMPARE(label->toolTip(), name);
    QCOMPARE(label->text() != name, elided);
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= 170);
    QCOMPARE(item.key().portNo, 3);
    QSignalSpy spy(&item, &ServerPortListItem::sigWithProxy);
    item.findChild<QCheckBox *>(QStringLiteral("checkBox"))->click();
    QVERIFY(item.isChecked());
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(0).at(1).toBool(), true);
}

QTEST_MAIN(tst_ProxyComboBox)
#include "tst_proxycombobox.moc"
