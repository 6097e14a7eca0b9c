#include "widgets/inputtcwidget.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class tst_InputTcWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsAtZero();
    void value_data();
    void value();
    void setTextEmitsNothing();
    void typing_data();
    void typing();
    void typingWrapsAndSkipsDisabled();
    void keys_data();
    void keys();
    void digitsOnly();

private:
    QLineEdit *field(int index) const
    {
        QLineEdit *fields[3] = {m_widget->hourEdit(), m_widget->minuteEdit(), m_widget->secondEdit()};
        return fields[index];
    }
    void focus(QLineEdit *edit)
    {
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
    }

    InputTcWidget *m_widget = nullptr;
};

void tst_InputTcWidget::init()
{
    m_widget = new InputTcWidget;
    m_widget->show();
    QApplication::setActiveWindow(m_widget);
    QVERIFY(QTest::qWaitForWindowActive(m_widget));
}

void tst_InputTcWidget::cleanup()
{
    delete m_widget;
    m_widget = nullptr;
}

void tst_InputTcWidget::startsAtZero()
{
    QCOMPARE(field(0)->text(), QStringLiteral("00"));
    QCOMPARE(field(1)->text(), QStringLiteral("00"));
    QCOMPARE(field(2)->text(), QStringLiteral("00"));
    QCOMPARE(m_widget->value(), 0u);
}

void tst_InputTcWidget::value_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("plain bytes, frames zero") << "12"
                                              << "34"
                                              << "56" << 0x0C223800u;
    QTest::newRow("not BCD") << "23"
                             << "59"
                             << "59" << 0x173B3B00u;
    QTest::newRow("single digits") << "1"
                                   << "2"
                                   << "3" << 0x01020300u;
    QTest::newRow("hours taken modulo 24") << "24"
                                           << "00"
                                           << "00" << 0x00000000u;
    QTest::newRow("minutes and seconds modulo 60") << "01"
                                                   << "61"
                                                   << "99" << 0x01012700u;
    QTest::newRow("empty hours") << ""
                                 << "10"
                                 << "10" << 0xFFFFFFFFu;
    QTest::newRow("empty minutes") << "10"
                                   << ""
                                   << "10" << 0xFFFFFFFFu;
    QTest::newRow("empty seconds") << "10"
                                   << "10"
                                   << "" << 0xFFFFFFFFu;
}

void tst_InputTcWidget::value()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, seconds);
    QFETCH(quint32, expected);

    // setText bypasses the on-typing clamp, so the packing's own modulo is exercised.
    m_widget->setText(QStringLiteral("000000"));
    const QString values[3] = {hours, minutes, seconds};
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(field(i));
        field(i)->setText(values[i]);
    }
    QCOMPARE(m_widget->value(), expected);
}

void tst_InputTcWidget::setTextEmitsNothing()
{
    QSignalSpy spy(m_widget, &InputTcWidget::sigTcChanged);
    focus(field(0));
    m_widget->setText(QStringLiteral("125930"));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(m_widget->value(), 0x0C3B1E00u);
    QVERIFY(field(0)->hasFocus());
}

void tst_InputTcWidget::typing_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("focusAfter");

    QTest::newRow("hour 25 becomes 23") << 0 << "25"
                                        << "23" << 1;
    QTest::newRow("hour 24 becomes 23") << 0 << "24"
                                        << "23" << 1;
    QTest::newRow("hour 23 stays") << 0 << "23"
                                   << "23" << 1;
    QTest::newRow("minute 60 becomes 59") << 1 << "60"
                                          << "59" << 2;
    QTest::newRow("second 75 becomes 59") << 2 << "75"
                                          << "59" << 0;
    QTest::newRow("one digit stays in the field") << 1 << "7"
                                                  << "7" << 1;
}

void tst_InputTcWidget::typing()
{
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, focusAfter);

    QLineEdit *edit = field(index);
    focus(edit);
    edit->selectAll();
    QSignalSpy spy(m_widget, &InputTcWidget::sigTcChanged);
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(spy.count(), typed.size());
    QVERIFY(field(focusAfter)->hasFocus());
    if (focusAfter != index)
        QCOMPARE(field(focusAfter)->selectedText(), field(focusAfter)->text());
}

void tst_InputTcWidget::typingWrapsAndSkipsDisabled()
{
    field(1)->setEnabled(false);
    focus(field(0));
    field(0)->selectAll();
    QTest::keyClicks(field(0), QStringLiteral("12"));
    QVERIFY(field(2)->hasFocus());
    field(2)->selectAll();
    QTest::keyClicks(field(2), QStringLiteral("34"));
    QVERIFY(field(0)->hasFocus());
}

void tst_InputTcWidget::keys_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focusAfter");
    QTest::addColumn<QString>("textAfter");

    QTest::newRow("Right at the end moves on") << 0 << "12" << 2 << int(Qt::Key_Right) << 1 << "12";
    QTest::newRow("Right inside stays") << 0 << "12" << 1 << int(Qt::Key_Right) << 0 << "12";
    QTest::newRow("Right in an empty field moves on") << 1 << "" << 0 << int(Qt::Key_Right) << 2 << "";
    QTest::newRow("Right wraps from seconds") << 2 << "12" << 2 << int(Qt::Key_Right) << 0 << "12";
    QTest::newRow("Left at the start goes back") << 1 << "12" << 0 << int(Qt::Key_Left) << 0 << "12";
    QTest::newRow("Left wraps from hours") << 0 << "12" << 0 << int(Qt::Key_Left) << 2 << "12";
    QTest::newRow("Left inside stays") << 1 << "12" << 1 << int(Qt::Key_Left) << 1 << "12";
    QTest::newRow("Backspace at the start goes back, deletes nothing")
        << 2 << "12" << 0 << int(Qt::Key_Backspace) << 1 << "12";
    QTest::newRow("Backspace inside deletes") << 2 << "12" << 2 << int(Qt::Key_Backspace) << 2 << "1";
}

void tst_InputTcWidget::keys()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(int, key);
    QFETCH(int, focusAfter);
    QFETCH(QString, textAfter);

    QLineEdit *edit = field(index);
    {
        const QSignalBlocker blocker(edit);
        edit->setText(text);
    }
    focus(edit);
    edit->deselect();
    edit->setCursorPosition(cursor);
    QTest::keyClick(edit, Qt::Key(key));
    QVERIFY(field(focusAfter)->hasFocus());
    QCOMPARE(edit->text(), textAfter);
}

void tst_InputTcWidget::digitsOnly()
{
    QLineEdit *edit = field(0);
    focus(edit);
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("a-1"));
    QCOMPARE(edit->text(), QStringLiteral("1"));
}

QTEST_MAIN(tst_InputTcWidget)
#include "tst_inputtcwidget.moc"
