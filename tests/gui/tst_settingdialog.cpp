#include "dialogs/settingdialog.h"

#include "settings/settings.h"
#include "trx/mgwinfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

class tst_SettingDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formContents();
    void portField_data();
    void portField();
    void emptyPortBecomesDefaultOnOk();
    void notifySwitchesReachSettingsOnOk();
    void addressField_data();
    void addressField();
    void incompleteAddressKeepsDialogOpen();
    void placeholderDoubleClick_data();
    void placeholderDoubleClick();
    void choicesReachSettingsAtOnce_data();
    void choicesReachSettingsAtOnce();
    void nameSetsWorkingCopy();
    void nameSetOnlyLookedAtAddsNoEntry();
    void dateList_data();
    void dateList();
    void destinations();
    void destinationsWithoutGateways();

private:
    template<typename T> T *child(const char *name) const
    {
        T *widget = m_dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no child %s", name);
        return widget;
    }
    // What the owner does after the dialog closes: apply only when accepted.
    void finish(const char *button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        if (m_dialog->result() == QDialog::Accepted)
            m_dialog->applyTo(*m_settings);
    }
    void showFilled()
    {
        m_dialog->fillFrom(*m_settings, m_mgws, QDate(2026, 12, 8));
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<SettingDialog> m_dialog;
    QList<trx::MgwInfo> m_mgws;
};

void tst_SettingDialog::initTestCase()
{
    // Settings creates its data folder; keep it out of the real one.
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("xdg")).toUtf8());
}

void tst_SettingDialog::init()
{
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("tst_settingdialog.xml"));
    m_settings->m_trxmIp = QStringLiteral("10.0.0.5");
    m_settings->m_trxmPort = 1234;
    m_settings->m_date = QDate(2026, 12, 8);
    m_dialog = std::make_unique<SettingDialog>(nullptr);

    trx::MgwInfo first;
    first.id = QStringLiteral("gw-1");
    first.name = QStringLiteral("Gateway One");
    first.drives = {{QStringLiteral("d-1"), QStringLiteral("Drive A")},
                    {QStringLiteral("d-2"), QStringLiteral("Drive B")}};
    trx::MgwInfo second;
    second.id = QStringLiteral("gw-2");
    second.name = QStringLiteral("Gateway Two");
    second.drives = {{QStringLiteral("e-1"), QStringLiteral("Array")}};
    m_mgws = {first, second};
}

void tst_SettingDialog::cleanup()
{
    m_dialog.reset();
    m_settings.reset();
}

void tst_SettingDialog::formContents()
{
    showFilled();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Settings"));
    QCOMPARE(child<QLabel>("m_lblTitle")->text(), QStringLiteral("Settings"));
    QVERIFY(m_dialog->findChild<QWidget *>(QStringLiteral("m_TrxmInfoArea"))
                ->isAncestorOf(child<QLineEdit>("trxmIp")));
    QVERIFY(m_dialog->findChild<QWidget *>(QStringLiteral("m_destination"))
                ->isAncestorOf(child<QComboBox>("m_comboMgws")));
    QVERIFY(m_dialog->findChild<QWidget *>(QStringLiteral("m_proxyDestination"))
                ->isAncestorOf(child<QComboBox>("m_comboProxyMgws")));

    auto *sets = child<QComboBox>("m_comboDefaultNameSet");
    QCOMPARE(sets->count(), 10);
    QCOMPARE(sets->itemText(0), QStringLiteral("Set1"));
    QCOMPARE(sets->itemData(9).toString(), QStringLiteral("Set10"));

    const QStringList expected{QStringLiteral("%CAMLBL%"), QStringLiteral("%CDATE%"),
                               QStringLiteral("%TCIN%")};
    for (const char *name : {"m_listDefaultTaskName", "m_listDefaultOpenEndClipName"}) {
        auto *list = child<QListWidget>(name);
        QStringList words;
        for (int i = 0; i < list->count(); ++i)
            words << list->item(i)->text();
        QCOMPARE(words, expected);
    }
    QCOMPARE(child<QLineEdit>("trxmIp")->text(), QStringLiteral("10.0.0.5"));
    QCOMPARE(child<QLineEdit>("trxmPort")->text(), QStringLiteral("1234"));
}

void tst_SettingDialog::portField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("port");

    QTest::newRow("70000 becomes the default") << "70000"
                                               << "51000" << 51000;
    QTest::newRow("-1 becomes the default") << "-1"
                                            << "51000" << 51000;
    QTest::newRow("65536 becomes the default") << "65536"
                                               << "51000" << 51000;
    QTest::newRow("65535 is kept") << "65535"
                                   << "65535" << 65535;
    QTest::newRow("8080 is kept") << "8080"
                                  << "8080" << 8080;
    QTest::newRow("a letter becomes the default") << "8a"
                                                  << "51000" << 51000;
    QTest::newRow("leading zero dropped") << "0123"
                                          << "123" << 123;
}

void tst_SettingDialog::portField()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, port);

    showFilled();
    auto *field = child<QLineEdit>("trxmPort");
    field->clear();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(m_dialog->trxmPort(), port);

    // Pasted or set as a whole, the text meets the rule in one go.
    field->setText(typed);
    QCOMPARE(field->text(), shown);

    finish("m_btnSettingOK");
    QCOMPARE(m_settings->m_trxmPort, port);
}

void tst_SettingDialog::emptyPortBecomesDefaultOnOk()
{
    showFilled();
    auto *field = child<QLineEdit>("trxmPort");
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QString());
    QCOMPARE(m_dialog->trxmPortText(), QString());

    finish("m_btnSettingOK");
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_settings->m_trxmPort, 51000);
}

void tst_SettingDialog::notifySwitchesReachSettingsOnOk()
{
    m_settings->m_bNotifyLinkLost = false;
    showFilled();
    auto *errors = child<QCheckBox>("m_chkNotifyScheduleError");
    auto *link = child<QCheckBox>("m_chkNotifyLinkLost");
    QVERIFY(errors->isChecked());
    QVERIFY(!link->isChecked());
    QTest::mouseClick(errors, Qt::LeftButton, {}, QPoint(5, errors->height() / 2));
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);

    finish("m_btnSettingOK");
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_settings->m_bNotifyScheduleError, false);
    QCOMPARE(m_settings->m_bNotifyLinkLost, true);
    QCOMPARE(m_settings->m_bNotifyRemainTime, true);
}

void tst_SettingDialog::addressField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("complete");

    QTest::newRow("256 refused in the first octet") << "256.1.1.1"
                                                    << "25.1.1.1" << true;
    QTest::newRow("256 refused in the last octet") << "10.0.0.256"
                                                   << "10.0.0.25" << true;
    QTest::newRow("a fifth octet refused") << "1.2.3.4.5"
                                           << "1.2.3.45" << true;
    QTest::newRow("letters refused") << "abc"
                                     << "" << false;
    QTest::newRow("highest address") << "255.255.255.255"
                                     << "255.255.255.255" << true;
    QTest::newRow("private address") << "192.168.0.10"
                                     << "192.168.0.10" << true;
    QTest::newRow("half typed") << "192.168"
                                << "192.168" << false;
}

void tst_SettingDialog::addressField()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, complete);

    showFilled();
    auto *field = child<QLineEdit>("trxmIp");
    field->clear();
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->hasAcceptableInput(), complete);
}

void tst_SettingDialog::incompleteAddressKeepsDialogOpen()
{
    showFilled();
    auto *field = child<QLineEdit>("trxmIp");
    field->clear();
    QTest::keyClicks(field, QStringLiteral("192.168"));

    QString title;
    QTimer::singleShot(0, this, [&title] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto *label = modal->findChild<QLabel *>(QStringLiteral("m_lblTitle")))
            title = label->text();
        if (auto *ok = modal->findChild<QPushButton *>(QStringLiteral("m_btnOK")))
            ok->click();
    });
    finish("m_btnSettingOK");
    QCOMPARE(title, QStringLiteral("Settings Error"));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_settings->m_trxmIp, QStringLiteral("10.0.0.5"));

    // An empty address is a valid choice: no connection until one is entered.
    field->clear();
    finish("m_btnSettingOK");
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_settings->m_trxmIp, QString());
}

void tst_SettingDialog::placeholderDoubleClick_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("keyLefts");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QString>("result");

    QTest::newRow("TCIN after CAM_") << "m_listDefaultTaskName"
                                     << "m_txtDefaultTaskName"
                                     << "CAM_" << 0 << false << "%TCIN%"
                                     << "CAM_%TCIN%";
    QTest::newRow("start-now rule gets its own") << "m_listDefaultOpenEndClipName"
                                                 << "m_txtDefaultOpenEndClipName"
                                                 << "LIVE_" << 0 << false << "%CAMLBL%"
                                                 << "LIVE_%CAMLBL%";
    QTest::newRow("appended wherever the cursor is") << "m_listDefaultTaskName"
                                                     << "m_txtDefaultTaskName"
                                                     << "AB" << 1 << false << "%CDATE%"
                                                     << "AB%CDATE%";
    QTest::newRow("a selected rule is not replaced") << "m_listDefaultTaskName"
                                                     << "m_txtDefaultTaskName"
                                                     << "CAM_" << 0 << true << "%TCIN%"
                                                     << "CAM_%TCIN%";
    QTest::newRow("empty rule") << "m_listDefaultOpenEndClipName"
                                << "m_txtDefaultOpenEndClipName"
                                << "" << 0 << false << "%CDATE%"
                                << "%CDATE%";
}

void tst_SettingDialog::placeholderDoubleClick()
{
    QFETCH(QString, list);
    QFETCH(QString, edit);
    QFETCH(QString, typed);
    QFETCH(int, keyLefts);
    QFETCH(bool, selectAll);
    QFETCH(QString, placeholder);
    QFETCH(QString, result);

    showFilled();
    auto *field = child<QLineEdit>(edit.toLatin1().constData());
    auto *words = child<QListWidget>(list.toLatin1().constData());
    field->clear();
    field->setFocus();
    QTest::keyClicks(field, typed);
    for (int i = 0; i < keyLefts; ++i)
        QTest::keyClick(field, Qt::Key_Left);
    if (selectAll)
        field->selectAll();

    const QList<QListWidgetItem *> hits = words->findItems(placeholder, Qt::MatchExactly);
    QCOMPARE(hits.size(), 1);
    const QPoint centre = words->visualItemRect(hits.first()).center();
    // A real double click: press and release, then the double-click event.
    QTest::mouseClick(words->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(field->text(), typed);
    QTest::mouseDClick(words->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QCOMPARE(field->text(), result);

    finish("m_btnSettingOK");
    const bool taskRule = edit == QLatin1String("m_txtDefaultTaskName");
    QCOMPARE(taskRule ? m_settings->m_strDefaultTaskName : m_settings->m_strDefaultOpenEndClipName, result);
}

void tst_SettingDialog::choicesReachSettingsAtOnce_data()
{
    QTest::addColumn<int>("initialMode");
    QTest::addColumn<bool>("initialFolder");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("folder");

    const QString blank = QStringLiteral("m_optStartPointDefaultBlank");
    const QString curTc = QStringLiteral("m_optStartPointDefaultCurTc");
    const QString folder = QStringLiteral("m_chkMgwFolder");
    QTest::newRow("Current TC then Cancel keeps mode 2")
        << 1 << false << QStringList{curTc} << "m_btnSettingCancel" << 2 << false;
    QTest::newRow("Blank, Current TC, then Cancel keeps mode 2")
        << 2 << false << QStringList{blank, curTc} << "m_btnSettingCancel" << 2 << false;
    QTest::newRow("Current TC then close button keeps mode 2")
        << 1 << false << QStringList{curTc} << "m_btnTitleClose" << 2 << false;
    QTest::newRow("Current TC then OK gives mode 2")
        << 1 << false << QStringList{curTc} << "m_btnSettingOK" << 2 << false;
    QTest::newRow("Blank then OK gives mode 1")
        << 2 << false << QStringList{blank} << "m_btnSettingOK" << 1 << false;
    QTest::newRow("folder ticked then Cancel keeps it")
        << 1 << false << QStringList{folder} << "m_btnSettingCancel" << 1 << true;
    QTest::newRow("folder ticked then OK")
        << 1 << false << QStringList{folder} << "m_btnSettingOK" << 1 << true;
    QTest::newRow("folder cleared then OK")
        << 1 << true << QStringList{folder} << "m_btnSettingOK" << 1 << false;
}

void tst_SettingDialog::choicesReachSettingsAtOnce()
{
    QFETCH(int, initialMode);
    QFETCH(bool, initialFolder);
    QFETCH(QStringList, clicks);
    QFETCH(QString, button);
    QFETCH(int, mode);
    QFETCH(bool, folder);

    m_settings->m_strDefaultStartPointMode = initialMode;
    m_settings->m_bMgwFolder = initialFolder;
    showFilled();
    QCOMPARE(child<QRadioButton>("m_optStartPointDefaultCurTc")->isChecked(), initialMode == 2);
    QCOMPARE(child<QCheckBox>("m_chkMgwFolder")->isChecked(), initialFolder);

    for (const QString &name : qAsConst(clicks)) {
        auto *target = child<QAbstractButton>(name.toLatin1().constData());
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(8, target->height() / 2));
    }
    // Written the moment they are chosen, before the dialog closes.
    QCOMPARE(m_settings->m_strDefaultStartPointMode, mode);
    QCOMPARE(m_settings->m_bMgwFolder, folder);
    finish(button.toLatin1().constData());
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_settings->m_strDefaultStartPointMode, mode);
    QCOMPARE(m_settings->m_bMgwFolder, folder);
}

void tst_SettingDialog::nameSetsWorkingCopy()
{
    const Settings::DefaultNameMap stored{
        {QStringLiteral("Set1"), {QStringLiteral("A_%CDATE%"), QStringLiteral("B")}},
        {QStringLiteral("Set2"), {QStringLiteral("C"), QStringLiteral("D")}},
    };
    m_settings->m_defaultNames = stored;
    m_settings->m_strCurDefaultNameSet = QStringLiteral("Set2");
    m_settings->m_strDefaultTaskName = QStringLiteral("C");
    m_settings->m_strDefaultOpenEndClipName = QStringLiteral("D");
    showFilled();

    auto *sets = child<QComboBox>("m_comboDefaultNameSet");
    auto *task = child<QLineEdit>("m_txtDefaultTaskName");
    auto *openEnd = child<QLineEdit>("m_txtDefaultOpenEndClipName");
    QCOMPARE(sets->currentText(), QStringLiteral("Set2"));
    QCOMPARE(task->text(), QStringLiteral("C"));
    QCOMPARE(openEnd->text(), QStringLiteral("D"));

    // Edit Set2, look at Set1 and come back: the edit lives in the working copy.
    task->setFocus();
    task->selectAll();
    QTest::keyClicks(task, QStringLiteral("X"));
    sets->setCurrentIndex(0);
    QCOMPARE(task->text(), QStringLiteral("A_%CDATE%"));
    QCOMPARE(openEnd->text(), QStringLiteral("B"));
    openEnd->setText(QStringLiteral("Y"));
    sets->setCurrentIndex(1);
    QCOMPARE(task->text(), QStringLiteral("X"));
    QCOMPARE(m_settings->m_defaultNames, stored);

    const Settings::DefaultNameMap edited{
        {QStringLiteral("Set1"), {QStringLiteral("A_%CDATE%"), QStringLiteral("Y")}},
        {QStringLiteral("Set2"), {QStringLiteral("X"), QStringLiteral("D")}},
    };
    QCOMPARE(m_dialog->defaultNames(), edited);

    // Finishing an edit writes the working copy at once; Cancel does not take it back.
    openEnd->setFocus();
    QTest::keyClick(openEnd, Qt::Key_Return);
    QCOMPARE(m_settings->m_defaultNames, edited);
    finish("m_btnSettingCancel");
    QCOMPARE(m_settings->m_defaultNames, edited);
    QCOMPARE(m_settings->m_strCurDefaultNameSet, QStringLiteral("Set2"));
    QCOMPARE(m_settings->m_strDefaultTaskName, QStringLiteral("C"));
    m_settings->m_defaultNames = stored;

    // A new run starts again from the stored sets.
    showFilled();
    QCOMPARE(task->text(), QStringLiteral("C"));
    sets->setCurrentIndex(0);
    QCOMPARE(openEnd->text(), QStringLiteral("B"));
    openEnd->setText(QStringLiteral("Z"));
    finish("m_btnSettingOK");
    QCOMPARE(m_settings->m_defaultNames.value(QStringLiteral("Set1")),
             Settings::NameRules(QStringLiteral("A_%CDATE%"), QStringLiteral("Z")));
    QCOMPARE(m_settings->m_defaultNames.value(QStringLiteral("Set2")), stored.value(QStringLiteral("Set2")));
    QCOMPARE(m_settings->m_strCurDefaultNameSet, QStringLiteral("Set1"));
    QCOMPARE(m_settings->m_strDefaultTaskName, QStringLiteral("A_%CDATE%"));
    QCOMPARE(m_settings->m_strDefaultOpenEndClipName, QStringLiteral("Z"));
}

void tst_SettingDialog::nameSetOnlyLookedAtAddsNoEntry()
{
    m_settings->m_defaultNames = {{QStringLiteral("Set1"), {QStringLiteral("N"), QStringLiteral("O")}}};
    m_settings->m_strCurDefaultNameSet = QStringLiteral("Set1");
    showFilled();
    auto *sets = child<QComboBox>("m_comboDefaultNameSet");
    sets->setCurrentIndex(4);
    QCOMPARE(child<QLineEdit>("m_txtDefaultTaskName")->text(), QString());
    sets->setCurrentIndex(0);
    finish("m_btnSettingOK");
    QCOMPARE(m_settings->m_defaultNames.keys(), QStringList{QStringLiteral("Set1")});
}

void tst_SettingDialog::dateList_data()
{
    QTest::addColumn<QDate>("working");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("pick");
    QTest::addColumn<bool>("changed");

    const QStringList three{QStringLiteral("2026/12/07"), QStringLiteral("2026/12/08"),
                            QStringLiteral("2026/12/09")};
    QTest::newRow("today kept") << QDate(2026, 12, 8) << three << "2026/12/08" << -1 << false;
    QTest::newRow("tomorrow chosen") << QDate(2026, 12, 8) << three << "2026/12/08" << 2 << true;
    QTest::newRow("working date yesterday") << QDate(2026, 12, 7) << three << "2026/12/07" << -1 << false;
    QTest::newRow("today chosen while on yesterday")
        << QDate(2026, 12, 7) << three << "2026/12/07" << 1 << true;
    QTest::newRow("no working date selects today") << QDate() << three << "2026/12/08" << -1 << true;
    QTest::newRow("far working date listed, not moved")
        << QDate(2026, 12, 13) << (QStringList(three) << QStringLiteral("2026/12/13")) << "2026/12/13" << -1
        << false;
    QTest::newRow("across the year end")
        << QDate(2027, 1, 1)
        << QStringList{QStringLiteral("2026/12/07"), QStringLiteral("2026/12/08"),
                       QStringLiteral("2026/12/09"), QStringLiteral("2027/01/01")}
        << "2027/01/01" << 0 << true;
}

void tst_SettingDialog::dateList()
{
    QFETCH(QDate, working);
    QFETCH(QStringList, entries);
    QFETCH(QString, selected);
    QFETCH(int, pick);
    QFETCH(bool, changed);

    m_dialog->setDates(QDate(2026, 12, 8), working);
    auto *combo = child<QComboBox>("m_comboDate");
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(combo->currentText(), selected);
    if (pick >= 0)
        combo->setCurrentIndex(pick);
    QCOMPARE(m_dialog->selectedDate(), QDate::fromString(combo->currentText(), QStringLiteral("yyyy/MM/dd")));
    QCOMPARE(m_dialog->isDateChanged(), changed);
}

void tst_SettingDialog::destinations()
{
    m_settings->m_strDefaultMasterMgwId = QStringLiteral("gw-2");
    m_settings->m_strDefaultMasterDriveId = QStringLiteral("e-1");
    m_settings->m_strDefaultProxyMgwId = QStringLiteral("gw-1");
    m_settings->m_strDefaultProxyDriveId = QStringLiteral("d-2");
    showFilled();

    auto *master = child<QComboBox>("m_comboMgws");
    auto *proxy = child<QComboBox>("m_comboProxyMgws");
    auto *withProxy = child<QCheckBox>("checkDefaultProxy");
    QCOMPARE(master->count(), 3);
    QCOMPARE(master->itemText(0), QStringLiteral("Gateway One - Drive A"));
    QCOMPARE(master->itemText(2), QStringLiteral("Gateway Two - Array"));
    QCOMPARE(master->itemData(1, SettingDialog::MgwIdRole).toString(), QStringLiteral("gw-1"));
    QCOMPARE(master->itemData(1, SettingDialog::DriveIdRole).toString(), QStringLiteral("d-2"));
    QCOMPARE(master->currentIndex(), 2);
    QCOMPARE(proxy->currentIndex(), 1);
    QVERIFY(!proxy->isEnabled());

    QTest::mouseClick(withProxy, Qt::LeftButton, Qt::NoModifier, QPoint(8, withProxy->height() / 2));
    QVERIFY(proxy->isEnabled());
    proxy->setCurrentIndex(0);

    // A gateway list arriving while the dialog is open keeps the picks.
    m_dialog->setMgwList(m_mgws);
    QCOMPARE(master->currentIndex(), 2);
    QCOMPARE(proxy->currentIndex(), 0);

    finish("m_btnSettingOK");
    QCOMPARE(m_settings->m_strDefaultMasterMgwId, QStringLiteral("gw-2"));
    QCOMPARE(m_settings->m_strDefaultMasterDriveId, QStringLiteral("e-1"));
    QCOMPARE(m_settings->m_strDefaultProxyMgwId, QStringLiteral("gw-1"));
    QCOMPARE(m_settings->m_strDefaultProxyDriveId, QStringLiteral("d-1"));
    QVERIFY(m_settings->m_bDefaultWithProxy);
}

void tst_SettingDialog::destinationsWithoutGateways()
{
    m_settings->m_strDefaultMasterMgwId = QStringLiteral("gw-9");
    m_settings->m_strDefaultMasterDriveId = QStringLiteral("z-9");
    m_settings->m_bDefaultWithProxy = true;
    m_mgws.clear();
    showFilled();
    QVERIFY(child<QComboBox>("m_comboProxyMgws")->isEnabled());
    QString mgw;
    QString drive;
    QVERIFY(!m_dialog->masterDestination(&mgw, &drive));

    finish("m_btnSettingOK");
    QCOMPARE(m_settings->m_strDefaultMasterMgwId, QStringLiteral("gw-9"));
    QCOMPARE(m_settings->m_strDefaultMasterDriveId, QStringLiteral("z-9"));
    QVERIFY(m_settings->m_bDefaultWithProxy);
}

QTEST_MAIN(tst_SettingDialog)
#include "tst_settingdialog.moc"
