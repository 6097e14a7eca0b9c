#include "dialogs/maintenancedialog.h"

#include "widgets/inputtcwidget.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

class tst_MaintenanceDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void form();
    void setMaintenanceTime_data();
    void setMaintenanceTime();
    void setFollowsInput_data();
    void setFollowsInput();
    void buttonsSignal_data();
    void buttonsSignal();
    void liveExecState_data();
    void liveExecState();
    void conflictKeepsDialogOpen();
    void sentRequestClosesDialog();
    void closeButtons_data();
    void closeButtons();

private:
    template<typename T> T *child(const char *name) const
    {
        T *widget = m_dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    InputTcWidget *input() const { return child<InputTcWidget>("m_maintenanceEveryTc"); }
    QStringList fields() const
    {
        return {input()->hourEdit()->text(), input()->minuteEdit()->text(), input()->secondEdit()->text()};
    }

    std::unique_ptr<MaintenanceDialog> m_dialog;
};

void tst_MaintenanceDialog::init()
{
    m_dialog = std::make_unique<MaintenanceDialog>(nullptr);
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
}

void tst_MaintenanceDialog::cleanup()
{
    m_dialog.reset();
}

void tst_MaintenanceDialog::form()
{
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Maintenance"));
    QCOMPARE(child<QLabel>("m_lblTitle")->text(), QStringLiteral("Maintenance"));
    QCOMPARE(child<QPushButton>("m_btnMaintenanceSet")->text(), QStringLiteral("Set"));
    QCOMPARE(child<QPushButton>("btnExec")->text(), QStringLiteral("Maintenance Now"));
    QCOMPARE(child<QPushButton>("m_btnClose")->text(), QStringLiteral("Close"));
    // The row of label, time and Set must fit the fixed form.
    QCOMPARE(m_dialog->size(), QSize(364, 190));
    auto *label = child<QLabel>("m_lblMaintenanceTime");
    QVERIFY(label->width() >= label->sizeHint().width());
}

void tst_MaintenanceDialog::setMaintenanceTime_data()
{
    QTest::addColumn<int>("tc");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("value");

    QTest::newRow("none shows 02:00:00") << -1 << QStringList{"02", "00", "00"} << 0x02000000;
    QTest::newRow("stored default") << 33554432 << QStringList{"02", "00", "00"} << 0x02000000;
    QTest::newRow("frames dropped") << 0x0C1E2D17 << QStringList{"12", "30", "45"} << 0x0C1E2D00;
    QTest::newRow("last second of the day") << 0x173B3B1D << QStringList{"23", "59", "59"} << 0x173B3B00;
    QTest::newRow("midnight") << 0 << QStringList{"00", "00", "00"} << 0;
    QTest::newRow("hour out of range shows 02:00:00")
        << 0x30000000 << QStringList{"02", "00", "00"} << 0x02000000;
}

void tst_MaintenanceDialog::setMaintenanceTime()
{
    QFETCH(int, tc);
    QFETCH(QStringList, shown);
    QFETCH(int, value);

    input()->hourEdit()->clear();
    QVERIFY(!m_dialog->isSetEnabled());
    QSignalSpy spy(m_dialog.get(), &MaintenanceDialog::sigMaintenance);
    m_dialog->setMaintenanceTime(tc);
    QCOMPARE(fields(), shown);
    QCOMPARE(m_dialog->maintenanceTime(), value);
    QVERIFY(m_dialog->isSetEnabled());
    QCOMPARE(spy.count(), 0);
}

void tst_MaintenanceDialog::setFollowsInput_data()
{
    QTest::addColumn<int>("emptied");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("all fields filled") << -1 << true;
    QTest::newRow("hour emptied") << 0 << false;
    QTest::newRow("minute emptied") << 1 << false;
    QTest::newRow("second emptied") << 2 << false;
}

void tst_MaintenanceDialog::setFollowsInput()
{
    QFETCH(int, emptied);
    QFETCH(bool, enabled);

    m_dialog->setMaintenanceTime(0x03040500);
    const QList<QLineEdit *> edits{input()->hourEdit(), input()->minuteEdit(), input()->secondEdit()};
    if (emptied >= 0) {
        QLineEdit *field = edits.at(emptied);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QCOMPARE(field->text(), QString());
    }
    QCOMPARE(m_dialog->isSetEnabled(), enabled);
    QCOMPARE(m_dialog->maintenanceTime(), enabled ? 0x03040500 : -1);

    if (emptied >= 0) {
        QTest::keyClicks(edits.at(emptied), QStringLiteral("07"));
        QVERIFY(m_dialog->isSetEnabled());
    }
}

void tst_MaintenanceDialog::buttonsSignal_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("tc");
    QTest::addColumn<QString>("typedHour");
    QTest::addColumn<bool>("now");
    QTest::addColumn<int>("sent");

    QTest::newRow("Set sends the daily time")
        << "m_btnMaintenanceSet" << 0x03040500 << "" << false << 0x03040500;
    QTest::newRow("Set after typing an hour")
        << "m_btnMaintenanceSet" << 0x03040500 << "22" << false << 0x16040500;
    QTest::newRow("Maintenance Now") << "btnExec" << 0x0A000000 << "" << true << 0x0A000000;
    QTest::newRow("Maintenance Now with an empty field") << "btnExec" << 0x0A000000 << "-" << true << -1;
}

void tst_MaintenanceDialog::buttonsSignal()
{
    QFETCH(QString, button);
    QFETCH(int, tc);
    QFETCH(QString, typedHour);
    QFETCH(bool, now);
    QFETCH(int, sent);

    m_dialog->setMaintenanceTime(tc);
    if (!typedHour.isEmpty()) {
        QLineEdit *hour = input()->hourEdit();
        hour->setFocus();
        hour->selectAll();
        QTest::keyClick(hour, Qt::Key_Delete);
        if (typedHour != QLatin1String("-"))
            QTest::keyClicks(hour, typedHour);
    }
    QSignalSpy spy(m_dialog.get(), &MaintenanceDialog::sigMaintenance);
    QTest::mouseClick(child<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), now);
    QCOMPARE(spy.at(0).at(1).toInt(), sent);
    // Asking is not deciding: the dialog waits for its owner.
    QVERIFY(m_dialog->isVisible());
}

void tst_MaintenanceDialog::liveExecState_data()
{
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("execEnabled");

    QTest::newRow("conflict disables") << QStringList{"slotMtnNoDone"} << false;
    QTest::newRow("free again enables") << QStringList{"slotMtnNoDone", "slotMtnDone"} << true;
    QTest::newRow("conflict after free") << QStringList{"slotMtnDone", "slotMtnNoDone"} << false;
    QTest::newRow("reset enables") << QStringList{"slotMtnNoDone", "slotResetBtnExec"} << true;
    QTest::newRow("cannot") << QStringList{"cannot"} << false;
    QTest::newRow("cannot then can") << QStringList{"cannot", "can"} << true;
}

void tst_MaintenanceDialog::liveExecState()
{
    QFETCH(QStringList, calls);
    QFETCH(bool, execEnabled);

    auto *exec = child<QPushButton>("btnExec");
    for (const QString &call : qAsConst(calls)) {
        if (call == QLatin1String("can") || call == QLatin1String("cannot"))
            m_dialog->slotCanMaintenanceNow(call == QLatin1String("can"));
        else
            QVERIFY(QMetaObject::invokeMethod(m_dialog.get(), call.toLatin1().constData()));
    }
    QCOMPARE(exec->isEnabled(), execEnabled);
    QCOMPARE(m_dialog->isExecEnabled(), execEnabled);
    QCOMPARE(exec->text(), QStringLiteral("Maintenance Now"));
    QVERIFY(m_dialog->isVisible());

    QSignalSpy spy(m_dialog.get(), &MaintenanceDialog::sigMaintenance);
    QTest::mouseClick(exec, Qt::LeftButton);
    QCOMPARE(spy.count(), execEnabled ? 1 : 0);
}

void tst_MaintenanceDialog::conflictKeepsDialogOpen()
{
    const QString text = QStringLiteral("Studio 1 Port C: Next Schedule\nStudio 1 [Port D]: Next Schedule\n");
    connect(m_dialog.get(), &MaintenanceDialog::sigMaintenance, m_dialog.get(),
            [this, text] { m_dialog->showConflict(text); });

    QString title;
    QString message;
    QTimer::singleShot(0, this, [&title, &message] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        title = modal->findChild<QLabel *>(QStringLiteral("m_lblTitle"))->text();
        message = modal->findChild<QLabel *>(QStringLiteral("m_labelText"))->text();
        modal->findChild<QPushButton *>(QStringLiteral("m_btnOK"))->click();
    });
    m_dialog->setMaintenanceTime(0x05060700);
    QTest::mouseClick(child<QPushButton>("m_btnMaintenanceSet"), Qt::LeftButton);

    QCOMPARE(title, QStringLiteral("Maintenance Error"));
    QCOMPARE(message, text);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->maintenanceTime(), 0x05060700);
}

void tst_MaintenanceDialog::sentRequestClosesDialog()
{
    connect(m_dialog.get(), &MaintenanceDialog::sigMaintenance, m_dialog.get(),
            &MaintenanceDialog::slotCloseMtnDialog);
    QTest::mouseClick(child<QPushButton>("btnExec"), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
}

void tst_MaintenanceDialog::closeButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Close") << "m_btnClose";
    QTest::newRow("frame close") << "m_btnTitleClose";
}

void tst_MaintenanceDialog::closeButtons()
{
    QFETCH(QString, button);
    QSignalSpy spy(m_dialog.get(), &MaintenanceDialog::sigMaintenance);
    QTest::mouseClick(child<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(tst_MaintenanceDialog)
#include "tst_maintenancedialog.moc"
