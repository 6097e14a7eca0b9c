#include "dialogs/createtaskdialog.h"

#include "cmn/timecode.h"
#include "settings/settings.h"
#include "trx/portstate.h"
#include "trx/scheduleinfo.h"
#include "widgets/serverportlistitem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using trx::ServerPort;
using PortMap = QMap<ServerPort, bool>;

Q_DECLARE_METATYPE(PortMap)

namespace {

template<typename T> T *child(const QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QLineEdit *edit(const QWidget *w, const char *name)
{
    return child<QLineEdit>(w, name);
}

trx::MgwFolderInfo folder(const QString &id, const QString &parent, const QString &name, const QString &path)
{
    trx::MgwFolderInfo f;
    f.id = id;
    f.parentId = parent;
    f.name = name;
    f.path = path;
    return f;
}

QList<trx::MgwInfo> gateways()
{
    trx::MgwInfo a;
    a.id = QStringLiteral("mgw-a");
    a.name = QStringLiteral("Archive A");
    a.drives = {{QStringLiteral("drv-1"), QStringLiteral("media1")},
                {QStringLiteral("drv-2"), QStringLiteral("media2")}};
    trx::MgwInfo b;
    b.id = QStringLiteral("mgw-b");
    b.name = QStringLiteral("Archive B");
    b.drives = {{QStringLiteral("drv-9"), QStringLiteral("store")}};
    return {a, b};
}

QList<CreateTaskDialog::ServerEntry> servers()
{
    CreateTaskDialog::ServerEntry s1;
    s1.serverId = QStringLiteral("srv-1");
    s1.name = QStringLiteral("Server1");
    s1.ports = {{0, QStringLiteral("Port A"), false, true}, {1, QStringLiteral("Port B"), false, false}};
    CreateTaskDialog::ServerEntry s2;
    s2.serverId = QStringLiteral("srv-2");
    s2.name = QStringLiteral("Server2");
    s2.ports = {{2, QStringLiteral("Wide"), false, false}};
    return {s1, s2};
}

ServerPortListItem *portEntry(const CreateTaskDialog &d, int row)
{
    return qobject_cast<ServerPortListItem *>(child<QTableWidget>(&d, "ports")->cellWidget(row, 1));
}

} // namespace

class tst_CreateTaskDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void form();
    void singleDigitPadded();
    void clampAndMoveOn_data();
    void clampAndMoveOn();
    void arrowKeysCrossFields();
    void coupling_data();
    void coupling();
    void packedTimes();
    void startFromCurrentTc_data();
    void startFromCurrentTc();
    void days();
    void gatewayAndDriveCombos();
    void folderFetchedOnce();
    void emptyFolderAnswer();
    void sameDriveInBothTrees();
    void foldersOfOtherDriveIgnored();
    void maintenanceDisablesDestination();
    void okOnceWhenAccepted();
    void okAgainAfterFailedValidation();
    void okNotReentered();
    void proxyCheckAsked();
    void withProxyFromPorts();
    void editMode_data();
    void editMode();
    void resizeKeepsMinimum();
    void sizesStoredOnClose();

private:
    void activate();
    // Types "hhmmss" starting at field, into whichever field has the focus, as an operator would.
    void typeTime(QLineEdit *field, const QString &hhmmss);

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<CreateTaskDialog> m_dlg;
};

void tst_CreateTaskDialog::initTestCase()
{
    qRegisterMetaType<PortMap>("QMap<trx::ServerPort,bool>");
    m_settings = std::make_unique<Settings>(nullptr, QStringLiteral("tst_createtaskdialog.xml"));
    m_settings->m_bMgwFolder = true;
    m_settings->m_date = QDate(2024, 3, 5);
}

void tst_CreateTaskDialog::init()
{
    m_settings->m_scheduleDialogSizes = {{820, 580, 365}};
    m_dlg = std::make_unique<CreateTaskDialog>();
}

void tst_CreateTaskDialog::cleanup()
{
    m_dlg.reset();
}

void tst_CreateTaskDialog::activate()
{
    m_dlg->show();
    QApplication::setActiveWindow(m_dlg.get());
    QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
}

void tst_CreateTaskDialog::typeTime(QLineEdit *field, const QString &hhmmss)
{
    field->setFocus();
    field->selectAll();
    for (int i = 0; i < hhmmss.size(); i += 2)
        QTest::keyClicks(QApplication::focusWidget(), hhmmss.mid(i, 2));
}

void tst_CreateTaskDialog::form()
{
    CreateTaskDialog &d = *m_dlg;
    QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(d.minimumSize(), QSize(820, 580));
    QCOMPARE(d.contentsMargins(), QMargins(5, 5, 5, 5));
    QCOMPARE(child<QLabel>(&d, "m_lblTitle")->text(), QStringLiteral("Schedule"));
    QVERIFY(child<QPushButton>(&d, "m_btnCreateTaskOK")->isDefault());
    QVERIFY(child<QGroupBox>(&d, "typeGroup")->isHidden());
    QVERIFY(edit(&d, "startF")->isHidden());
    QVERIFY(edit(&d, "endF")->isHidden());
    QVERIFY(child<QPushButton>(&d, "btnRefreshProxyMgws")->isHidden());
    QVERIFY(child<QPushButton>(&d, "m_btnPortsCollapse")->isHidden());
    QCOMPARE(child<QTableWidget>(&d, "ports")->columnCount(), 2);
    QCOMPARE(d.timeFields().size(), 9);
    for (QLineEdit *f : d.timeFields())
        QVERIFY(f->validator());
    activate();
    QCOMPARE(QApplication::focusWidget(), edit(&d, "startH"));
    // Non-digits cannot be typed.
    QTest::keyClicks(edit(&d, "startH"), QStringLiteral("a-"));
    QCOMPARE(edit(&d, "startH")->text(), QString());
}

void tst_CreateTaskDialog::singleDigitPadded()
{
    activate();
    QTest::keyClicks(edit(m_dlg.get(), "startH"), QStringLiteral("9"));
    edit(m_dlg.get(), "name")->setFocus();
    QCOMPARE(edit(m_dlg.get(), "startH")->text(), QStringLiteral("09"));
}

void tst_CreateTaskDialog::clampAndMoveOn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("next");
    QTest::newRow("minutes 75") << "startM"
                                << "75"
                                << "59"
                                << "startS";
    QTest::newRow("hours 24") << "endH"
                              << "24"
                              << "23"
                              << "endM";
    QTest::newRow("hours 23 kept") << "startH"
                                   << "23"
                                   << "23"
                                   << "startM";
    QTest::newRow("seconds 60") << "startS"
                                << "60"
                                << "59"
                                << "endH";
    QTest::newRow("duration seconds wrap to start") << "durS"
                                                    << "99"
                                                    << "59"
                                                    << "startH";
}

void tst_CreateTaskDialog::clampAndMoveOn()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, next);
    activate();
    QLineEdit *f = edit(m_dlg.get(), qPrintable(field));
    f->setFocus();
    QTest::keyClicks(f, typed);
    QCOMPARE(f->text(), shown);
    QCOMPARE(QApplication::focusWidget(), edit(m_dlg.get(), qPrintable(next)));
}

void tst_CreateTaskDialog::arrowKeysCrossFields()
{
    activate();
    QLineEdit *startM = edit(m_dlg.get(), "startM");
    startM->setFocus();
    QTest::keyClick(startM, Qt::Key_Right); // empty field: on to the next
    QCOMPARE(QApplication::focusWidget(), edit(m_dlg.get(), "startS"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), startM);
    QLineEdit *startH = edit(m_dlg.get(), "startH");
    startH->setFocus();
    QTest::keyClick(startH, Qt::Key_Left); // wraps to the last field
    QCOMPARE(QApplication::focusWidget(), edit(m_dlg.get(), "durS"));
}

void tst_CreateTaskDialog::coupling_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("dur");
    QTest::addColumn<QString>("typedField");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expStart");
    QTest::addColumn<QString>("expEnd");
    QTest::addColumn<QString>("expDur");

    QTest::newRow("start plus duration past midnight") << ""
                                                       << ""
                                                       << "010000"
                                                       << "startH"
                                                       << "233000"
                                                       << "233000"
                                                       << "003000"
                                                       << "010000";
    QTest::newRow("start with end empty recomputes end") << ""
                                                         << ""
                                                         << "001500"
                                                         << "startH"
                                                         << "100000"
                                                         << "100000"
                                                         << "101500"
                                                         << "001500";
    QTest::newRow("start with both filled recomputes duration") << ""
                                                                << "120000"
                                                                << "001500"
                                                                << "startH"
                                                                << "100000"
                                                                << "100000"
                                                                << "120000"
                                                                << "020000";
    QTest::newRow("end with start filled recomputes duration across midnight") << "230000"
                                                                               << ""
                                                                               << ""
                                                                               << "endH"
                                                                               << "010000"
                                                                               << "230000"
                                                                               << "010000"
                                                                               << "020000";
    QTest::newRow("end with start empty gives start") << ""
                                                      << ""
                                                      << "003000"
                                                      << "endH"
                                                      << "001000"
                                                      << "234000"
                                                      << "001000"
                                                      << "003000";
    QTest::newRow("duration with start filled gives end") << "100000"
                                                          << ""
                                                          << ""
                                                          << "durH"
                                                          << "013000"
                                                          << "100000"
                                                          << "113000"
                                                          << "013000";
    QTest::newRow("duration with only end gives start") << ""
                                                        << "120000"
                                                        << ""
                                                        << "durH"
                                                        << "020000"
                                                        << "100000"
                                                        << "120000"
                                                        << "020000";
    QTest::newRow("start alone changes nothing else") << ""
                                                      << ""
                                                      << ""
                                                      << "startH"
                                                      << "100000"
                                                      << "100000"
                                                      << ""
                                                      << "";
}

void tst_CreateTaskDialog::coupling()
{
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, dur);
    QFETCH(QString, typedField);
    QFETCH(QString, typed);
    QFETCH(QString, expStart);
    QFETCH(QString, expEnd);
    QFETCH(QString, expDur);

    m_dlg->setStartText(start);
    m_dlg->setEndText(end);
    m_dlg->setDurationText(dur);
    activate();
    typeTime(edit(m_dlg.get(), qPrintable(typedField)), typed);
    QCOMPARE(m_dlg->startText(), expStart);
    QCOMPARE(m_dlg->endText(), expEnd);
    QCOMPARE(m_dlg->durationText(), expDur);
}

void tst_CreateTaskDialog::packedTimes()
{
    m_dlg->setStartText(QStringLiteral("102030"));
    QCOMPARE(m_dlg->startTc(), 0x0A141E00);
    QCOMPARE(m_dlg->endTc(), -1);
    edit(m_dlg.get(), "endH")->setText(QStringLiteral("1"));
    edit(m_dlg.get(), "endM")->setText(QStringLiteral("00"));
    QCOMPARE(m_dlg->endTc(), -1); // seconds still empty
    m_dlg->setDurationText(QStringLiteral("000000"));
    QCOMPARE(m_dlg->durationTc(), 0);
}

void tst_CreateTaskDialog::startFromCurrentTc_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("tcText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("current TC") << 2 << "10:20:30:04"
                                << "102030";
    QTest::newRow("current TC drop-frame") << 2 << "00:01:00;02"
                                           << "000100";
    QTest::newRow("blank") << 1 << "10:20:30:04"
                           << "";
}

void tst_CreateTaskDialog::startFromCurrentTc()
{
    QFETCH(int, mode);
    QFETCH(QString, tcText);
    QFETCH(QString, expected);
    m_settings->m_strDefaultStartPointMode = mode;
    m_dlg->setStartFromTcText(tcText);
    m_settings->m_strDefaultStartPointMode = 1;
    QCOMPARE(m_dlg->startText(), expected);
}

void tst_CreateTaskDialog::days()
{
    auto *combo = child<QComboBox>(m_dlg.get(), "m_comboDay");
    m_dlg->setDays(QDate(2024, 3, 5));
    QCOMPARE(combo->count(), 15);
    QCOMPARE(combo->itemText(0), QStringLiteral("2024/02/27"));
    QCOMPARE(combo->itemText(14), QStringLiteral("2024/03/12"));
    QCOMPARE(m_dlg->dayText(), QStringLiteral("2024/03/05"));
    QCOMPARE(m_dlg->selectedDate(), QDate(2024, 3, 5));

    m_dlg->setDaysAroundToday(QDate(2024, 3, 7));
    QCOMPARE(combo->itemText(7), QStringLiteral("2024/03/05"));
    QCOMPARE(m_dlg->selectedDate(), QDate(2024, 3, 7));

    m_dlg->setDays(QDate());
    QCOMPARE(m_dlg->selectedDate(), QDate::currentDate());
}

void tst_CreateTaskDialog::gatewayAndDriveCombos()
{
    MgwDestination dst;
    dst.MasterMgwId = QStringLiteral("mgw-a");
    dst.MasterDriveId = QStringLiteral("drv-2");
    dst.ProxyMgwId = QStringLiteral("mgw-a");
    dst.ProxyDriveId = QStringLiteral("drv-1");
    m_dlg->setDestination(dst);
    m_dlg->mgwsReady(gateways());

    auto *mgws = child<QComboBox>(m_dlg.get(), "comboMgws1");
    auto *master = child<QComboBox>(m_dlg.get(), "comboMgws3");
    auto *proxy = child<QComboBox>(m_dlg.get(), "comboMgws2");
    QVERIFY(mgws->isEnabled());
    QCOMPARE(mgws->count(), 2);
    QCOMPARE(mgws->itemText(1), QStringLiteral("Archive B"));
    QCOMPARE(mgws->itemData(1, 259).toString(), QStringLiteral("mgw-b"));
    QCOMPARE(master->itemText(0), QStringLiteral("MEDIA1"));
    QCOMPARE(master->currentData(260).toString(), QStringLiteral("drv-2"));
    QCOMPARE(proxy->currentData(260).toString(), QStringLiteral("drv-1"));
    QVERIFY(!proxy->isEnabled()); // with proxy unchecked

    MgwDestination got = m_dlg->destination();
    QCOMPARE(got.MasterMgwId, QStringLiteral("mgw-a"));
    QCOMPARE(got.MasterDriveId, QStringLiteral("drv-2"));
    QCOMPARE(got.ProxyDriveId, QStringLiteral("drv-1"));

    // Another gateway: its drives replace the list; the remembered drive is not there.
    mgws->setCurrentIndex(1);
    QCOMPARE(master->count(), 1);
    QCOMPARE(master->currentData(260).toString(), QStringLiteral("drv-9"));
    got = m_dlg->destination();
    QCOMPARE(got.MasterMgwId, QStringLiteral("mgw-b"));
    // The proxy copy keeps its own gateway and drive.
    QCOMPARE(got.ProxyMgwId, QStringLiteral("mgw-a"));
    QCOMPARE(got.ProxyDriveId, QStringLiteral("drv-1"));

    QSignalSpy refresh(m_dlg.get(), &CreateTaskDialog::sigRefreshMgws);
    child<QPushButton>(m_dlg.get(), "btnRefreshMgws")->click();
    QCOMPARE(refresh.count(), 1);
    QVERIFY(!mgws->isEnabled());
    QVERIFY(!master->isEnabled());
    QVERIFY(m_dlg->isMgwLoading());
    m_dlg->mgwsReady(gateways());
    QVERIFY(mgws->isEnabled());
    QVERIFY(!m_dlg->isMgwLoading());
    QCOMPARE(m_dlg->destination().MasterMgwId, QStringLiteral("mgw-b")); // the operator's choice stays
}

void tst_CreateTaskDialog::folderFetchedOnce()
{
    QSignalSpy fetch(m_dlg.get(), &CreateTaskDialog::sigFetchMgwFolders);
    m_dlg->mgwsReady(gateways());
    // Master and proxy show the same drive: one request for its top level.
    QCOMPARE(fetch.count(), 1);
    QCOMPARE(fetch.takeFirst(), (QList<QVariant>{"mgw-a", "drv-1", QString()}));

    auto *tree = child<QTreeWidget>(m_dlg.get(), "masterFolderWidget");
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->child(0)->text(0), QStringLiteral("(Loading...)"));

    m_dlg->mgwFoldersReady(QStringLiteral("mgw-a"), QStringLiteral("drv-1"),
                           {folder("f1", "", "news", "/news"), folder("f2", "", "sport", "/sport")});
    QCOMPARE(root->childCount(), 2);
    QTreeWidgetItem *news = root->child(0);
    QCOMPARE(news->text(0), QStringLiteral("news"));
    QCOMPARE(news->data(0, CreateTaskDialog::FolderIdRole).toString(), QStringLiteral("f1"));
    QCOMPARE(news->childCount(), 1);
    QCOMPARE(news->child(0)->text(0), QStringLiteral("(Loading...)"));
    QCOMPARE(news->child(0)->data(0, CreateTaskDialog::FolderIdRole).toString(),
             QStringLiteral("VIRTUAL ITEM"));
    QVERIFY(root->isExpanded());

    news->setExpanded(true);
    QCOMPARE(fetch.count(), 1);
    QCOMPARE(fetch.takeFirst(), (QList<QVariant>{"mgw-a", "drv-1", "f1"}));
    news->setExpanded(false);
    news->setExpanded(true); // answer still outstanding
    QCOMPARE(fetch.count(), 0);

    m_dlg->mgwFoldersReady(QStringLiteral("mgw-a"), QStringLiteral("drv-1"),
                           {folder("f11", "f1", "2024", "/news/2024")});
    QCOMPARE(news->childCount(), 1);
    QCOMPARE(news->child(0)->text(0), QStringLiteral("2024"));
    news->setExpanded(false);
    news->setExpanded(true);
    QCOMPARE(fetch.count(), 0);

    // Choosing a folder shows its path; the drive's root shows "/".
    tree->setCurrentItem(news->child(0));
    child<QPushButton>(m_dlg.get(), "btnSetMasterFolder")->click();
    QCOMPARE(edit(m_dlg.get(), "txtMasterFolder")->text(), QStringLiteral("/news/2024"));
    QCOMPARE(m_dlg->destination().MasterFolderId, QStringLiteral("f11"));
    emit tree->itemDoubleClicked(root, 0);
    QCOMPARE(edit(m_dlg.get(), "txtMasterFolder")->text(), QStringLiteral("/"));
    QCOMPARE(m_dlg->destination().MasterFolderId, QString());

    // Refresh asks for the top level again.
    m_dlg->refreshMasterFoldersPressed();
    QCOMPARE(fetch.count(), 1);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
}

void tst_CreateTaskDialog::emptyFolderAnswer()
{
    QSignalSpy fetch(m_dlg.get(), &CreateTaskDialog::sigFetchMgwFolders);
    m_dlg->mgwsReady(gateways());
    m_dlg->mgwFoldersReady(QStringLiteral("mgw-a"), QStringLiteral("drv-1"),
                           {folder("f1", "", "news", "/news")});
    QTreeWidgetItem *news = child<QTreeWidget>(m_dlg.get(), "masterFolderWidget")->topLevelItem(0)->child(0);
    news->setExpanded(true);
    QCOMPARE(fetch.count(), 2);
    m_dlg->mgwFoldersReady(QStringLiteral("mgw-a"), QStringLiteral("drv-1"), {});
    QCOMPARE(news->childCount(), 0);
    news->setExpanded(false);
    news->setExpanded(true);
    QCOMPARE(fetch.count(), 2);
}

void tst_CreateTaskDialog::sameDriveInBothTrees()
{
    QSignalSpy fetch(m_dlg.get(), &CreateTaskDialog::sigFetchMgwFolders);
    MgwDestination dst;
    dst.MasterMgwId = dst.ProxyMgwId = QStringLiteral("mgw-a");
    dst.MasterDriveId = dst.ProxyDriveId = QStringLiteral("drv-1");
    m_dlg->setDestination(dst);
    m_dlg->mgwsReady(gateways()); // master and proxy both on drv-1
    const QString mgw = QStringLiteral("mgw-a");
    const QString drive = QStringLiteral("drv-1");
    m_dlg->mgwFoldersReady(mgw, drive, {folder("f1", "", "news", "/news")});
    QTreeWidgetItem *masterNews =
        child<QTreeWidget>(m_dlg.get(), "masterFolderWidget")->topLevelItem(0)->child(0);
    QTreeWidgetItem *proxyNews =
        child<QTreeWidget>(m_dlg.get(), "proxyFolderWidget")->topLevelItem(0)->child(0);
    QCOMPARE(proxyNews->text(0), QStringLiteral("news"));

    masterNews->setExpanded(true);
    m_dlg->mgwFoldersReady(mgw, drive, {folder("f11", "f1", "2024", "/news/2024")});
    masterNews->child(0)->setExpanded(true);
    m_dlg->mgwFoldersReady(mgw, drive, {folder("f111", "f11", "jan", "/news/2024/jan")});
    QCOMPARE(masterNews->child(0)->child(0)->text(0), QStringLiteral("jan"));
    // The proxy tree got the same answers for what it shows; the master keeps what was opened.
    QCOMPARE(proxyNews->child(0)->text(0), QStringLiteral("2024"));
    QCOMPARE(fetch.count(), 3);
    m_dlg->mgwFoldersReady(mgw, drive, {folder("f11", "f1", "2024", "/news/2024")});
    QCOMPARE(masterNews->child(0)->child(0)->text(0), QStringLiteral("jan"));
}

void tst_CreateTaskDialog::foldersOfOtherDriveIgnored()
{
    m_dlg->mgwsReady(gateways());
    auto *tree = child<QTreeWidget>(m_dlg.get(), "masterFolderWidget");
    m_dlg->mgwFoldersReady(QStringLiteral("mgw-a"), QStringLiteral("drv-2"),
                           {folder("x", "", "other", "/o")});
    m_dlg->mgwFoldersReady(QStringLiteral("mgw-b"), QStringLiteral("drv-1"),
                           {folder("y", "", "other", "/o")});
    QCOMPARE(tree->topLevelItem(0)->childCount(), 1);
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), QStringLiteral("(Loading...)"));
}

void tst_CreateTaskDialog::maintenanceDisablesDestination()
{
    auto *dst = child<QWidget>(m_dlg.get(), "dstGroup");
    QVERIFY(dst->isEnabled());
    QVERIFY(!m_dlg->isMaintenance());
    child<QRadioButton>(m_dlg.get(), "optMtn")->click();
    QVERIFY(!dst->isEnabled());
    QVERIFY(m_dlg->isMaintenance());
    child<QRadioButton>(m_dlg.get(), "optNormal")->click();
    QVERIFY(dst->isEnabled());
}

void tst_CreateTaskDialog::okOnceWhenAccepted()
{
    CreateTaskDialog *d = m_dlg.get();
    QSignalSpy ok(d, &CreateTaskDialog::sigCreateTaskOKClicked);
    QSignalSpy accepted(d, &QDialog::accepted);
    connect(d, &CreateTaskDialog::sigCreateTaskOKClicked, d, [d] { d->accept(); });
    activate();
    auto *button = child<QPushButton>(d, "m_btnCreateTaskOK");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(d, Qt::Key_Return, Qt::NoModifier);
    QMetaObject::invokeMethod(d, "slotCreateTaskOKClicked");
    QCOMPARE(ok.count(), 1);
    QCOMPARE(accepted.count(), 1);
}

void tst_CreateTaskDialog::okAgainAfterFailedValidation()
{
    CreateTaskDialog *d = m_dlg.get();
    QSignalSpy ok(d, &CreateTaskDialog::sigCreateTaskOKClicked);
    auto *button = child<QPushButton>(d, "m_btnCreateTaskOK");
    bool enabledDuring = true;
    connect(d, &CreateTaskDialog::sigCreateTaskOKClicked, d, [&] { enabledDuring = button->isEnabled(); });
    activate();
    QTest::keyClick(edit(d, "name"), Qt::Key_Return);
    QCOMPARE(ok.count(), 1);
    QVERIFY(!enabledDuring);
    QVERIFY(button->isEnabled());
    QVERIFY(d->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(ok.count(), 2);
}

void tst_CreateTaskDialog::okNotReentered()
{
    // A second press delivered while the first is still being handled (the handler's message box
    // runs its own event loop) is dropped.
    CreateTaskDialog *d = m_dlg.get();
    QSignalSpy ok(d, &CreateTaskDialog::sigCreateTaskOKClicked);
    connect(d, &CreateTaskDialog::sigCreateTaskOKClicked, d, [d] {
        QMetaObject::invokeMethod(d, "slotCreateTaskOKClicked", Qt::QueuedConnection);
        QCoreApplication::processEvents();
    });
    activate();
    child<QPushButton>(d, "m_btnCreateTaskOK")->click();
    QCoreApplication::processEvents();
    QCOMPARE(ok.count(), 1);
}

void tst_CreateTaskDialog::proxyCheckAsked()
{
    CreateTaskDialog *d = m_dlg.get();
    QSignalSpy ask(d, &CreateTaskDialog::sigProxyChkIsEnable);
    d->setDays(QDate(2024, 3, 5));
    d->fillPorts(servers()); // nothing checked, nothing new to ask
    const int afterFill = ask.count();

    QCheckBox *box = portEntry(*d, 0)->findChild<QCheckBox *>();
    QVERIFY(box);
    box->click();
    // Without a start there is no period to ask about.
    QCOMPARE(ask.count(), afterFill);

    activate();
    typeTime(edit(d, "startH"), QStringLiteral("100000"));
    QCOMPARE(qvariant_cast<PortMap>(ask.last().at(0)),
             (PortMap{{ServerPort(QStringLiteral("srv-1"), 0), true}}));
    QCOMPARE(ask.last().at(1).toInt(), 0x0A000000);
    QCOMPARE(ask.last().at(2).toInt(), -1);
    const int afterStart = ask.count();
    typeTime(edit(d, "endH"), QStringLiteral("110000"));
    QVERIFY(ask.count() > afterStart);
    QCOMPARE(ask.last().at(2).toInt(), 0x0B000000);

    const int beforeDay = ask.count();
    child<QComboBox>(d, "m_comboDay")->setCurrentIndex(8);
    QCOMPARE(ask.count(), beforeDay + 1);
    QCOMPARE(ask.last().at(3).toDate(), QDate(2024, 3, 6));

    // Nothing changed, nothing asked.
    d->setStartText(QStringLiteral("100000"));
    QCOMPARE(ask.count(), beforeDay + 1);

    // Refilling with a port checked asks again.
    QList<CreateTaskDialog::ServerEntry> list = servers();
    list[1].ports[0].checked = true;
    d->fillPorts(list);
    QCOMPARE(qvariant_cast<PortMap>(ask.last().at(0)),
             (PortMap{{ServerPort(QStringLiteral("srv-2"), 2), false}}));

    // The answers enable and disable the box; whether it is ticked stays the operator's choice
    // (here the port with a proxy port ticked it).
    auto *check = child<QCheckBox>(d, "checkProxy");
    d->slotSetProxyChkEnable(false);
    QVERIFY(!check->isEnabled());
    QVERIFY(!d->withProxy());
    QVERIFY(!child<QComboBox>(d, "comboMgws2")->isEnabled());
    d->slotSetProxyChkEnable(true);
    QVERIFY(check->isEnabled());
    QVERIFY(d->withProxy());
    QVERIFY(child<QComboBox>(d, "comboMgws2")->isEnabled());
    check->click();
    d->slotSetProxyChkEnable(true);
    QVERIFY(!d->withProxy());
}

void tst_CreateTaskDialog::withProxyFromPorts()
{
    CreateTaskDialog *d = m_dlg.get();
    auto *proxy = child<QCheckBox>(d, "checkProxy");
    d->fillPorts(servers());
    QVERIFY(!proxy->isEnabled());

    QCheckBox *noProxyPort = portEntry(*d, 1)->findChild<QCheckBox *>();
    noProxyPort->click();
    QVERIFY(!proxy->isEnabled());
    QVERIFY(!proxy->isChecked());

    QCheckBox *proxyPort = portEntry(*d, 0)->findChild<QCheckBox *>();
    proxyPort->click();
    QVERIFY(proxy->isEnabled());
    QVERIFY(proxy->isChecked());
    QVERIFY(child<QLineEdit>(d, "txtProxyFolder")->isEnabled());

    proxyPort->click(); // unchecked: no checked port with a proxy remains
    QVERIFY(!proxy->isChecked());
    QVERIFY(!proxy->isEnabled());
    QCOMPARE(d->selectedPorts(), (QList<ServerPort>{ServerPort(QStringLiteral("srv-1"), 1)}));

    auto *table = child<QTableWidget>(d, "ports");
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->rowSpan(0, 0), 2);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Server1"));
    QCOMPARE(table->item(2, 0)->toolTip(), QStringLiteral("Server2"));
}

void tst_CreateTaskDialog::editMode_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("dayEnabled");
    QTest::newRow("scheduled and editable") << true << 1 << true;
    QTest::newRow("waiting and editable") << true << 2 << false;
    QTest::newRow("started") << false << 1 << false;
}

void tst_CreateTaskDialog::editMode()
{
    QFETCH(bool, editable);
    QFETCH(int, status);
    QFETCH(bool, dayEnabled);

    CreateTaskDialog *d = m_dlg.get();
    QList<CreateTaskDialog::ServerEntry> list = servers();
    list[0].ports[0].checked = true;
    d->fillPorts(list);

    trx::ScheduleInfo s;
    s.name = QStringLiteral("Evening news");
    s.startDate = QDate(2024, 3, 6);
    s.endDate = QDate(2024, 3, 7);
    s.startTc = 0x17000000; // 23:00:00:00
    s.endTc = 0x011E0000;   // 01:30:00:00
    s.withProxy = true;
    s.master.status = status;
    trx::PortState state;
    state.systemFrequency = 25;
    d->fillFromSchedule(s, TimeCode(state, -1, 0), editable);

    QCOMPARE(d->name(), QStringLiteral("Evening news"));
    QCOMPARE(d->selectedDate(), QDate(2024, 3, 6));
    QCOMPARE(d->startText(), QStringLiteral("230000"));
    QCOMPARE(d->endText(), QStringLiteral("013000"));
    QCOMPARE(d->durationText(), QStringLiteral("023000"));
    for (QLineEdit *f : d->timeFields())
        QCOMPARE(f->isEnabled(), editable);
    QCOMPARE(child<QComboBox>(d, "m_comboDay")->isEnabled(), dayEnabled);
    QVERIFY(!child<QTableWidget>(d, "ports")->isEnabled());
    QVERIFY(d->withProxy());

    s.endTc = -1;
    s.withProxy = false;
    d->fillFromSchedule(s, TimeCode(state, -1, 0), editable);
    QCOMPARE(d->endText(), QString());
    QCOMPARE(d->durationText(), QString());
    QVERIFY(!d->withProxy());
}

void tst_CreateTaskDialog::resizeKeepsMinimum()
{
    CreateTaskDialog *d = m_dlg.get();
    d->move(100, 100);
    activate();
    const QRect start = d->geometry();
    auto send = [d](QEvent::Type type, const QPoint &global, Qt::MouseButtons buttons) {
        const QPointF local = d->mapFromGlobal(global);
        QMouseEvent e(type, local, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(d, &e);
    };
    const QPoint rightEdge = d->mapToGlobal(QPoint(d->width() - 1, d->height() / 2));
    send(QEvent::MouseMove, rightEdge, Qt::NoButton);
    QCOMPARE(d->cursor().shape(), Qt::SizeHorCursor);
    send(QEvent::MouseButtonPress, rightEdge, Qt::LeftButton);
    send(QEvent::MouseMove, rightEdge - QPoint(50, 0), Qt::LeftButton);
    QCOMPARE(d->geometry(), start); // below 820 wide: refused
    send(QEvent::MouseMove, rightEdge + QPoint(60, 0), Qt::LeftButton);
    QCOMPARE(d->width(), start.width() + 60);
    send(QEvent::MouseButtonRelease, rightEdge + QPoint(60, 0), Qt::NoButton);
    QCOMPARE(d->cursor().shape(), Qt::ArrowCursor);

    const QPoint corner = d->mapToGlobal(QPoint(d->width() - 1, d->height() - 1));
    send(QEvent::MouseMove, corner, Qt::NoButton);
    QCOMPARE(d->cursor().shape(), Qt::SizeFDiagCursor);
    const QPoint topRight = d->mapToGlobal(QPoint(d->width() - 1, 0));
    send(QEvent::MouseMove, topRight, Qt::NoButton);
    QCOMPARE(d->cursor().shape(), Qt::SizeBDiagCursor);
}

void tst_CreateTaskDialog::sizesStoredOnClose()
{
    m_settings->m_scheduleDialogSizes = {{900, 600, 380}};
    CreateTaskDialog d;
    QCOMPARE(d.size(), QSize(900, 600));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.resize(960, 640);
    child<QPushButton>(&d, "m_btnCreateTaskCancel")->click();
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(m_settings->m_scheduleDialogSizes[0], 960);
    QCOMPARE(m_settings->m_scheduleDialogSizes[1], 640);
    QVERIFY(m_settings->m_scheduleDialogSizes[2] > 0);

    m_settings->m_scheduleDialogSizes = {{100, 100, 365}};
    CreateTaskDialog small;
    QCOMPARE(small.size(), QSize(820, 580));
}

QTEST_MAIN(tst_CreateTaskDialog)

#include "tst_createtaskdialog.moc"
