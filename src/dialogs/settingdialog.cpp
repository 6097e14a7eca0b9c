#include "settingdialog.h"
#include "ui_settingdialog.h"

#include "trx/mgwinfo.h"
#include "widgets/confirmdialog.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const char kIpv4Pattern[] = "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)";
const char kDateFormat[] = "yyyy/MM/dd";

} // namespace

SettingDialog::SettingDialog(QWidget *parent) : FramelessDialog(parent), ui(new Ui::SettingDialog)
{
    ui->setupUi(this);
    letEnterPressFocusedButton();

    ui->trxmIp->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QLatin1String(kIpv4Pattern)), ui->trxmIp));

    for (const QString &set : nameSetNames())
        ui->m_comboDefaultNameSet->addItem(set, set);
    ui->m_listDefaultTaskName->addItems(placeholders());
    ui->m_listDefaultOpenEndClipName->addItems(placeholders());
    m_strShownSet = ui->m_comboDefaultNameSet->currentText();

    connect(ui->trxmPort, &QLineEdit::textChanged, this, &SettingDialog::slotTrxmPortChanged);
    connect(ui->checkDefaultProxy, &QCheckBox::clicked, this, &SettingDialog::slotWithDefaultProxyClicked);
    connect(ui->m_listDefaultTaskName, &QListWidget::itemDoubleClicked, this,
            [this] { slotListDefaultTaskNameClicked(true); });
    connect(ui->m_listDefaultOpenEndClipName, &QListWidget::itemDoubleClicked, this,
            [this] { slotListDefaultOpenEndClipNameClicked(true); });
    connect(ui->m_comboDefaultNameSet, &QComboBox::currentTextChanged, this,
            &SettingDialog::slotDefaultNameSetChanged);
    connect(ui->m_comboDefaultNameSet->view(), &QAbstractItemView::pressed, this,
            [this](const QModelIndex &index) { slotDefaultNameSetOnChanged(index.row()); });
    connect(ui->m_txtDefaultTaskName, &QLineEdit::editingFinished, this,
            &SettingDialog::slotDefaultTaskNameEidtFinished);
    connect(ui->m_txtDefaultOpenEndClipName, &QLineEdit::editingFinished, this,
            &SettingDialog::slotDefaultOpenEndClipNameEidtFinished);
    connect(ui->m_chkMgwFolder, &QCheckBox::clicked, this, &SettingDialog::slotChkMgwFolderClicked);
    // toggled rather than clicked, so that choosing with the arrow keys counts as well.
    connect(ui->m_optStartPointDefaultBlank, &QRadioButton::toggled, this,
            &SettingDialog::slotStartPointDefaultBlank);
    connect(ui->m_optStartPointDefaultCurTc, &QRadioButton::toggled, this,
            &SettingDialog::slotStartPointDefaultCurTc);
    connect(ui->m_btnTitleClose, &QPushButton::clicked, this, &SettingDialog::slotClose);
    connect(ui->m_btnSettingOK, &QPushButton::clicked, this, &SettingDialog::slotBtnSettingOK);
    connect(ui->m_btnSettingCancel, &QPushButton::clicked, this, &SettingDialog::slotBtnSettingCancel);

    slotWithDefaultProxyClicked(ui->checkDefaultProxy->isChecked());
    addNotifyChecks();
}

void SettingDialog::addNotifyChecks()
{
    auto *group = new QGroupBox(QStringLiteral("Notifications"), this);
    group->setObjectName(QStringLiteral("m_groupNotify"));
    auto *row = new QHBoxLayout(group);
    auto check = [group, row](const char *name, const QString &text) {
        auto *box = new QCheckBox(text, group);
        box->setObjectName(QLatin1String(name));
        box->setChecked(true);
        row->addWidget(box);
        return box;
    };
    m_pNotifyScheduleError = check("m_chkNotifyScheduleError", QStringLiteral("Schedule errors"));
    m_pNotifyLinkLost = check("m_chkNotifyLinkLost", QStringLiteral("TRXM link lost"));
    m_pNotifyRemainTime = check("m_chkNotifyRemainTime", QStringLiteral("Remaining time low"));
    row->addStretch();
    // Above the spacer and the OK / Cancel row; Tab reaches the boxes before OK.
    ui->verticalLayout->insertWidget(ui->verticalLayout->count() - 2, group);
    setTabOrder(m_pNotifyRemainTime, ui->m_btnSettingOK);
}

SettingDialog::~SettingDialog()
{
    delete ui;
}

QStringList SettingDialog::nameSetNames()
{
    QStringList names;
    for (int i = 1; i <= kNameSetCount; ++i)
        names << QStringLiteral("Set%1").arg(i);
    return names;
}

QStringList SettingDialog::placeholders()
{
    QStringList words;
    for (const char *word : {"CAMLBL", "CDATE", "TCIN"})
        words << QStringLiteral("%%1%").arg(QLatin1String(word));
    return words;
}

void SettingDialog::fillFrom(const Settings &settings, const QList<trx::MgwInfo> &mgws, const QDate &pcToday)
{
    setMgwFolder(settings.m_bMgwFolder);
    setDefaultWithProxy(settings.m_bDefaultWithProxy);
    setStartPointMode(settings.m_strDefaultStartPointMode);
    setDefaultNames(settings.m_defaultNames);

    setTrxmIp(settings.m_trxmIp);
    setTrxmPort(settings.m_trxmPort);
    setDates(pcToday, settings.m_date);
    setMgwList(mgws);
    setDefaultDestination(settings.m_strDefaultMasterMgwId, settings.m_strDefaultMasterDriveId);
    setDefaultProxyDestination(settings.m_strDefaultProxyMgwId, settings.m_strDefaultProxyDriveId);
    setCurrentNameSet(settings.m_strCurDefaultNameSet);
    m_pNotifyScheduleError->setChecked(settings.m_bNotifyScheduleError);
    m_pNotifyLinkLost->setChecked(settings.m_bNotifyLinkLost);
    m_pNotifyRemainTime->setChecked(settings.m_bNotifyRemainTime);
}

void SettingDialog::applyTo(Settings &settings) const
{
    settings.m_trxmIp = trxmIp();
    settings.m_trxmPort = trxmPort();

    QString mgwId;
    QString driveId;
    if (masterDestination(&mgwId, &driveId)) {
        settings.m_strDefaultMasterMgwId = mgwId;
        settings.m_strDefaultMasterDriveId = driveId;
    }
    if (proxyDestination(&mgwId, &driveId)) {
        settings.m_strDefaultProxyMgwId = mgwId;
        settings.m_strDefaultProxyDriveId = driveId;
    }
    settings.m_bDefaultWithProxy = defaultWithProxy();

    settings.setDefaultNames(defaultNames());
    settings.m_strCurDefaultNameSet = currentNameSet();
    settings.m_strDefaultTaskName = defaultTaskName();
    settings.m_strDefaultOpenEndClipName = defaultOpenEndClipName();

    settings.m_strDefaultStartPointMode = startPointMode();
    settings.m_bMgwFolder = mgwFolder();
    settings.m_bNotifyScheduleError = m_pNotifyScheduleError->isChecked();
    settings.m_bNotifyLinkLost = m_pNotifyLinkLost->isChecked();
    settings.m_bNotifyRemainTime = m_pNotifyRemainTime->isChecked();
}

void SettingDialog::setTrxmIp(const QString &ip)
{
    ui->trxmIp->setText(ip);
}

QString SettingDialog::trxmIp() const
{
    return ui->trxmIp->text();
}

void SettingDialog::setTrxmPort(int port)
{
    ui->trxmPort->setText(QString::number(port));
}

QString SettingDialog::trxmPortText() const
{
    return ui->trxmPort->text();
}

int SettingDialog::trxmPort() const
{
    bool ok = false;
    const int port = ui->trxmPort->text().toInt(&ok);
    return ok ? port : kDefaultTrxmPort;
}

void SettingDialog::setMgwFolder(bool bShow)
{
    ui->m_chkMgwFolder->setChecked(bShow);
    m_bMgwFolder = bShow;
}

bool SettingDialog::mgwFolder() const
{
    return m_bMgwFolder;
}

void SettingDialog::setStartPointMode(int mode)
{
    if (mode == 2)
        ui->m_optStartPointDefaultCurTc->setChecked(true);
    else if (mode == 1)
        ui->m_optStartPointDefaultBlank->setChecked(true);
}

int SettingDialog::startPointMode() const
{
    return m_iStartPointMode;
}

void SettingDialog::setDates(const QDate &pcToday, const QDate &workingDate)
{
    QList<QDate> dates{pcToday.addDays(-1), pcToday, pcToday.addDays(1)};
    if (workingDate.isValid() && !dates.contains(workingDate)) {
        dates << workingDate;
        std::sort(dates.begin(), dates.end());
    }
    const QSignalBlocker blocker(ui->m_comboDate);
    ui->m_comboDate->clear();
    for (const QDate &date : qAsConst(dates))
        ui->m_comboDate->addItem(date.toString(QLatin1String(kDateFormat)), date);
    ui->m_comboDate->setCurrentIndex(dates.indexOf(workingDate.isValid() ? workingDate : pcToday));
    m_initialDate = workingDate;
}

QDate SettingDialog::selectedDate() const
{
    return ui->m_comboDate->currentData().toDate();
}

bool SettingDialog::isDateChanged() const
{
    return selectedDate() != m_initialDate;
}

void SettingDialog::setMgwList(const QList<trx::MgwInfo> &mgws)
{
    // A list that arrives while the dialog is open keeps what the operator picked.
    QString masterMgw, masterDrive, proxyMgw, proxyDrive;
    const bool hadMaster = masterDestination(&masterMgw, &masterDrive);
    const bool hadProxy = proxyDestination(&proxyMgw, &proxyDrive);
    fillDestinations(ui->m_comboMgws, mgws);
    fillDestinations(ui->m_comboProxyMgws, mgws);
    if (hadMaster)
        selectDestination(ui->m_comboMgws, masterMgw, masterDrive);
    if (hadProxy)
        selectDestination(ui->m_comboProxyMgws, proxyMgw, proxyDrive);
}

void SettingDialog::fillDestinations(QComboBox *combo, const QList<trx::MgwInfo> &mgws)
{
    combo->clear();
    for (const trx::MgwInfo &mgw : mgws) {
        for (const trx::MgwDrive &drive : mgw.drives) {
            combo->addItem(QStringLiteral("%1 - %2").arg(mgw.name, drive.name));
            const int index = combo->count() - 1;
            combo->setItemData(index, mgw.id, MgwIdRole);
            combo->setItemData(index, drive.id, DriveIdRole);
        }
    }
}

void SettingDialog::selectDestination(QComboBox *combo, const QString &mgwId, const QString &driveId)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemData(i, MgwIdRole).toString() == mgwId &&
            combo->itemData(i, DriveIdRole).toString() == driveId) {
            combo->setCurrentIndex(i);
            return;
        }
    }
}

bool SettingDialog::destinationOf(const QComboBox *combo, QString *mgwId, QString *driveId)
{
    const int index = combo->currentIndex();
    if (index < 0)
        return false;
    *mgwId = combo->itemData(index, MgwIdRole).toString();
    *driveId = combo->itemData(index, DriveIdRole).toString();
    return true;
}

void SettingDialog::setDefaultDestination(const QString &mgwId, const QString &driveId)
{
    selectDestination(ui->m_comboMgws, mgwId, driveId);
}

void SettingDialog::setDefaultProxyDestination(const QString &mgwId, const QString &driveId)
{
    selectDestination(ui->m_comboProxyMgws, mgwId, driveId);
}

void SettingDialog::setDefaultWithProxy(bool bWithProxy)
{
    ui->checkDefaultProxy->setChecked(bWithProxy);
    slotWithDefaultProxyClicked(bWithProxy);
}

bool SettingDialog::defaultWithProxy() const
{
    return ui->checkDefaultProxy->isChecked();
}

bool SettingDialog::masterDestination(QString *mgwId, QString *driveId) const
{
    return destinationOf(ui->m_comboMgws, mgwId, driveId);
}

bool SettingDialog::proxyDestination(QString *mgwId, QString *driveId) const
{
    return destinationOf(ui->m_comboProxyMgws, mgwId, driveId);
}

QComboBox *SettingDialog::masterMgwCombo() const
{
    return ui->m_comboMgws;
}

QComboBox *SettingDialog::proxyMgwCombo() const
{
    return ui->m_comboProxyMgws;
}

QCheckBox *SettingDialog::defaultProxyCheck() const
{
    return ui->checkDefaultProxy;
}

void SettingDialog::setDefaultNames(const Settings::DefaultNameMap &names)
{
    m_nameSets = names;
    showRules(m_strShownSet);
}

Settings::DefaultNameMap SettingDialog::defaultNames() const
{
    Settings::DefaultNameMap names = m_nameSets;
    const QString task = ui->m_txtDefaultTaskName->text();
    const QString openEnd = ui->m_txtDefaultOpenEndClipName->text();
    if (names.contains(m_strShownSet) || !task.isEmpty() || !openEnd.isEmpty())
        names.insert(m_strShownSet, Settings::NameRules(task, openEnd));
    return names;
}

void SettingDialog::setCurrentNameSet(const QString &set)
{
    const int index = ui->m_comboDefaultNameSet->findData(set);
    if (index < 0 || index == ui->m_comboDefaultNameSet->currentIndex())
        showRules(m_strShownSet);
    else
        ui->m_comboDefaultNameSet->setCurrentIndex(index);
}

QString SettingDialog::currentNameSet() const
{
    return m_strShownSet;
}

QString SettingDialog::defaultTaskName() const
{
    return ui->m_txtDefaultTaskName->text();
}

QString SettingDialog::defaultOpenEndClipName() const
{
    return ui->m_txtDefaultOpenEndClipName->text();
}

void SettingDialog::storeShownRules()
{
    // Sets the operator only looked at stay out of the copy, so OK adds no empty entries.
    m_nameSets = defaultNames();
}

void SettingDialog::showRules(const QString &set)
{
    m_strShownSet = set;
    const Settings::NameRules rules = m_nameSets.value(set);
    ui->m_txtDefaultTaskName->setText(rules.first);
    ui->m_txtDefaultOpenEndClipName->setText(rules.second);
}

void SettingDialog::insertPlaceholder(QListWidget *list, QLineEdit *edit)
{
    const QListWidgetItem *item = list->currentItem();
    if (!item)
        return;
    edit->setText(edit->text() + item->text());
    edit->setFocus(Qt::OtherFocusReason);
    storeShownRules();
}

void SettingDialog::slotTrxmPortChanged(const QString &strTrxmPort)
{
    if (strTrxmPort.isEmpty())
        return;
    bool ok = false;
    int port = strTrxmPort.toInt(&ok);
    if (!ok || port < 0 || port >= 65536)
        port = kDefaultTrxmPort;
    const QString text = QString::number(port);
    if (text != strTrxmPort) {
        const QSignalBlocker blocker(ui->trxmPort);
        ui->trxmPort->setText(text);
    }
}

void SettingDialog::slotWithDefaultProxyClicked(bool bChecked)
{
    ui->m_comboProxyMgws->setEnabled(bChecked);
}

void SettingDialog::slotListDefaultTaskNameClicked(bool bDoubleClicked)
{
    if (bDoubleClicked)
        insertPlaceholder(ui->m_listDefaultTaskName, ui->m_txtDefaultTaskName);
}

void SettingDialog::slotListDefaultOpenEndClipNameClicked(bool bDoubleClicked)
{
    if (bDoubleClicked)
        insertPlaceholder(ui->m_listDefaultOpenEndClipName, ui->m_txtDefaultOpenEndClipName);
}

void SettingDialog::slotDefaultNameSetChanged(const QString &strDefaultNameSet)
{
    // Whatever way the set was changed (list, keys, wheel), the rules shown so far are kept.
    storeShownRules();
    showRules(strDefaultNameSet);
}

// A finished rule edit, the folder flag and the start point reach the settings at once:
// Cancel does not take them back.
void SettingDialog::storeRulesIntoSettings()
{
    storeShownRules();
    if (Settings *settings = Settings::instance())
        settings->setDefaultNames(m_nameSets);
}

void SettingDialog::slotDefaultTaskNameEidtFinished()
{
    storeRulesIntoSettings();
}

void SettingDialog::slotDefaultOpenEndClipNameEidtFinished()
{
    storeRulesIntoSettings();
}

void SettingDialog::slotChkMgwFolderClicked(bool bShow)
{
    m_bMgwFolder = bShow;
    if (Settings *settings = Settings::instance())
        settings->m_bMgwFolder = bShow;
}

void SettingDialog::slotStartPointDefaultBlank(bool bClicked)
{
    if (!bClicked)
        return;
    m_iStartPointMode = 1;
    if (Settings *settings = Settings::instance())
        settings->m_strDefaultStartPointMode = 1;
}

void SettingDialog::slotStartPointDefaultCurTc(bool bClicked)
{
    if (!bClicked)
        return;
    m_iStartPointMode = 2;
    if (Settings *settings = Settings::instance())
        settings->m_strDefaultStartPointMode = 2;
}

void SettingDialog::slotDefaultNameSetOnChanged(int index)
{
    if (ui->m_comboDefaultNameSet->itemData(index).toString() != m_strShownSet)
        storeShownRules();
}

void SettingDialog::slotClose()
{
    close();
}

void SettingDialog::slotBtnSettingOK()
{
    // An empty address is allowed (no connection is tried); a half-typed one is not.
    if (!ui->trxmIp->text().isEmpty() && !ui->trxmIp->hasAcceptableInput()) {
        ConfirmDialog message(this);
        message.run(QStringLiteral("The TRXM IP address is not complete."), QStringLiteral("Settings Error"),
                    ConfirmDialog::OkOnly, ConfirmDialog::Warning);
        ui->trxmIp->setFocus(Qt::OtherFocusReason);
        ui->trxmIp->selectAll();
        return;
    }
    accept();
}

void SettingDialog::slotBtnSettingCancel()
{
    reject();
}
