#include "dialogs/createtaskdialog.h"

#include "ui_createtaskdialog.h"

#include "cmn/timecode.h"
#include "cmn/timecodetext.h"
#include "settings/settings.h"
#include "trx/scheduleinfo.h"
#include "widgets/serverportlistitem.h"
#include "widgets/eventpos.h"
#include "widgets/tcfieldnavigation.h"

#include <QDateEdit>
#include <QDebug>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace {

constexpr int kMinWidth = 820;
constexpr int kMinHeight = 580;
constexpr int kEdge = 3;
constexpr int kSecondsPerDay = 24 * 3600;
const char kDayFormat[] = "yyyy/MM/dd";
const char kVirtualItem[] = "VIRTUAL ITEM";
const char kLoadingText[] = "(Loading...)";

bool isPlaceholder(const QTreeWidgetItem *item)
{
    return item && item->data(0, CreateTaskDialog::FolderIdRole).toString() == QLatin1String(kVirtualItem);
}

void addPlaceholder(QTreeWidgetItem *parent)
{
    auto *child = new QTreeWidgetItem(parent, {QString::fromLatin1(kLoadingText)});
    child->setData(0, CreateTaskDialog::FolderIdRole, QString::fromLatin1(kVirtualItem));
}

bool hasPlaceholderChild(const QTreeWidgetItem *item)
{
    for (int i = 0; i < item->childCount(); ++i) {
        if (isPlaceholder(item->child(i)))
            return true;
    }
    return false;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString hhmmssFromSeconds(int secs)
{
    secs = ((secs % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    return twoDigits(secs / 3600) + twoDigits(secs / 60 % 60) + twoDigits(secs % 60);
}

// Six digits of a timecode text ("hh:mm:ss:ff" or "hh:mm:ss;ff").
QString hhmmssOf(const QString &tcText)
{
    QString digits = tcText;
    digits.remove(QLatin1Char(':'));
    digits.remove(QLatin1Char(';'));
    return digits.left(6);
}

QDate workingDate()
{
    Settings *settings = Settings::instance();
    if (settings && settings->m_date.isValid())
        return settings->m_date;
    return QDate::currentDate();
}

} // namespace

CreateTaskDialog::CreateTaskDialog(QWidget *parent) : FramelessDialog(parent), ui(new Ui::CreateTaskDialog)
{
    ui->setupUi(this);
    letEnterPressFocusedButton();
    setMouseTracking(true);
    setMinimumSize(kMinWidth, kMinHeight);

    ui->typeGroup->hide();
    ui->startF->hide();
    ui->endF->hide();
    ui->startSep3->hide();
    ui->endSep3->hide();
    ui->m_btnPortsCollapse->hide();
    ui->btnRefreshProxyMgws->hide();

    m_timeFields = {ui->startH, ui->startM, ui->startS, ui->endH, ui->endM,
                    ui->endS,   ui->durH,   ui->durM,   ui->durS};
    const QRegularExpression digits(QStringLiteral("[0-9]+"));
    for (QLineEdit *field : qAsConst(m_timeFields)) {
        field->setValidator(new QRegularExpressionValidator(digits, field));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &CreateTaskDialog::textChanged);
        connect(field, &QLineEdit::editingFinished, this, &CreateTaskDialog::slotEditingFinished);
        connect(field, &QLineEdit::cursorPositionChanged, this, &CreateTaskDialog::cursorPosChanged);
    }

    ui->ports->horizontalHeader()->setStretchLastSection(false);
    // Tab walks the dialog, not the table's cells: otherwise it never leaves the table for OK and
    // Cancel. The port check boxes still take the focus in turn.
    ui->ports->setTabKeyNavigation(false);
    ui->ports->viewport()->installEventFilter(this);
    shareColumnWidths();

    connect(ui->m_btnClose, &QPushButton::clicked, this, &CreateTaskDialog::slotClose);
    connect(ui->m_btnCreateTaskOK, &QPushButton::clicked, this, &CreateTaskDialog::slotCreateTaskOKClicked);
    connect(ui->m_btnCreateTaskCancel, &QPushButton::clicked, this,
            &CreateTaskDialog::slotCreateTaskCancleClicked);
    connect(ui->m_comboDay, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this] { askProxyCheck(); });
    connect(ui->optNormal, &QRadioButton::clicked, this, &CreateTaskDialog::optNormalClicked);
    connect(ui->optMtn, &QRadioButton::clicked, this, &CreateTaskDialog::optMaintenanceClicked);

    connect(ui->comboMgws1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::mgwChanged);
    connect(ui->comboMgws3, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::masterDriveChanged);
    connect(ui->comboMgws2, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::proxyDriveChanged);
    connect(ui->comboProxyMgws, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::proxyMgwChanged);
    connect(ui->btnRefreshMgws, &QPushButton::clicked, this, &CreateTaskDialog::refreshMasterMgws);
    connect(ui->btnRefreshProxyMgws, &QPushButton::clicked, this, &CreateTaskDialog::refreshProxyMgws);
    connect(ui->checkProxy, &QCheckBox::clicked, this, [this](bool checked) {
        m_bProxyWanted = checked;
        withProxyClicked(checked);
    });
    connect(ui->btnSetMasterFolder, &QPushButton::clicked, this, &CreateTaskDialog::masterSetPressed);
    connect(ui->btnSetProxyFolder, &QPushButton::clicked, this, &CreateTaskDialog::proxySetPressed);
    connect(ui->masterFolderWidget, &QTreeWidget::itemExpanded, this,
            &CreateTaskDialog::masterTreeItemExpanded);
    connect(ui->proxyFolderWidget, &QTreeWidget::itemExpanded, this,
            &CreateTaskDialog::proxyTreeItemExpanded);
    connect(ui->masterFolderWidget, &QTreeWidget::itemDoubleClicked, this,
            &CreateTaskDialog::masterTreeItemDoubleClicked);
    connect(ui->proxyFolderWidget, &QTreeWidget::itemDoubleClicked, this,
            &CreateTaskDialog::proxyTreeItemDoubleClicked);

    // Nothing to choose until the gateway list arrives.
    ui->comboMgws1->setEnabled(false);
    ui->comboMgws3->setEnabled(false);
    ui->comboProxyMgws->setEnabled(false);
    ui->checkProxy->setEnabled(false);
    withProxyClicked(false);

    int width = kMinWidth;
    int height = kMinHeight;
    int leftWidth = 365;
    if (Settings *settings = Settings::instance()) {
        width = std::max(kMinWidth, settings->m_scheduleDialogSizes[0]);
        height = std::max(kMinHeight, settings->m_scheduleDialogSizes[1]);
        if (settings->m_scheduleDialogSizes[2] > 0)
            leftWidth = settings->m_scheduleDialogSizes[2];
        setFolderSelectionVisible(settings->m_bMgwFolder);
    }
    resize(width, height);
    // Applied once the layout has given the splitter its real width: sizes set before that are
    // rescaled to it, and the left pane came back a little narrower on every open.
    m_iLeftWidth = leftWidth;

    buildHints();
    setDays(workingDate());
    addRepeatRow();
    ui->startH->setFocus(Qt::OtherFocusReason);
}

void CreateTaskDialog::buildHints()
{
    // Beside the end fields: a schedule across midnight is easy to make by accident.
    m_pNextDayHint = new QLabel(this);
    m_pNextDayHint->setObjectName(QStringLiteral("m_lblEndsNextDay"));
    m_pNextDayHint->setStyleSheet(QStringLiteral("color: rgb(230, 150, 0);"));
    m_pNextDayHint->hide();
    // It takes the room left beside the fields (wrapping if need be), never widening the pane.
    m_pNextDayHint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_pNextDayHint->setWordWrap(true);
    ui->endLayout->insertWidget(ui->endLayout->indexOf(ui->endSep3) + 2, m_pNextDayHint, 1);

    // Inside the name field, at its right end: what the rule gives for the selected port.
    m_pNamePreview = new QLabel(ui->name);
    m_pNamePreview->setObjectName(QStringLiteral("m_lblNamePreview"));
    m_pNamePreview->setStyleSheet(QStringLiteral("color: rgb(140, 140, 140); font-style: italic;"));
    m_pNamePreview->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pNamePreview->hide();
    ui->name->installEventFilter(this);
    connect(ui->name, &QLineEdit::textChanged, this, [this] { refreshHints(); });

    ui->checkProxy->installEventFilter(this);
    updateProxyToolTip();
}

void CreateTaskDialog::setNamePreviewer(const NamePreviewer &previewer)
{
    m_namePreviewer = previewer;
    refreshHints();
}

QString CreateTaskDialog::nextDayHint() const
{
    return m_pNextDayHint && !m_pNextDayHint->isHidden() ? m_pNextDayHint->text() : QString();
}

QString CreateTaskDialog::namePreview() const
{
    return m_pNamePreview && !m_pNamePreview->isHidden() ? m_pNamePreview->toolTip() : QString();
}

void CreateTaskDialog::refreshHints()
{
    if (!m_pNextDayHint)
        return;
    const int start = startTc();
    const int end = endTc();
    const bool nextDay = start != -1 && end != -1 && end < start;
    if (nextDay) {
        const QDate endDate = selectedDate().addDays(1);
        m_pNextDayHint->setText(
            QStringLiteral("ends next day (%1)").arg(endDate.toString(QLatin1String(kDayFormat))));
    }
    m_pNextDayHint->setVisible(nextDay);

    QString preview;
    const QList<trx::ServerPort> ports = selectedPorts();
    if (m_namePreviewer && !ports.isEmpty()) {
        preview = m_namePreviewer(name(), ports.first(), selectedDate(), start);
        if (preview == name())
            preview.clear();
    }
    placeNamePreview(preview);
    updateProxyToolTip();
}

void CreateTaskDialog::presentForEdit(bool withProxy, const QString &proxyPortName)
{
    ui->m_lblTitle->setText(QStringLiteral("Edit Schedule"));
    setWindowTitle(QStringLiteral("Edit Schedule"));
    // The pairing the schedule has, whatever the port's proxy choice says today.
    ui->checkProxy->setChecked(withProxy);
    withProxyClicked(withProxy);
    ui->checkProxy->setText(withProxy && !proxyPortName.isEmpty() ? proxyPortName : QString());
}

void CreateTaskDialog::placeNamePreview(const QString &preview)
{
    m_pNamePreview->setToolTip(preview);
    if (preview.isEmpty()) {
        m_pNamePreview->hide();
        ui->name->setTextMargins(0, 0, 0, 0);
        return;
    }
    const QString shown = QStringLiteral("\u2192 ") + preview;
    // The result matters more than the rule, which the operator has just typed.
    const int room = ui->name->width() * 3 / 5;
    const QFontMetrics metrics(m_pNamePreview->font());
    m_pNamePreview->setText(metrics.elidedText(shown, Qt::ElideMiddle, room));
    const int width = std::min(room, metrics.horizontalAdvance(m_pNamePreview->text()) + 4);
    m_pNamePreview->setGeometry(ui->name->width() - width - 6, 0, width, ui->name->height());
    ui->name->setTextMargins(0, 0, width + 6, 0);
    m_pNamePreview->show();
}

void CreateTaskDialog::updateProxyToolTip()
{
    if (ui->checkProxy->isEnabled()) {
        ui->checkProxy->setToolTip(QString());
        return;
    }
    bool paired = false;
    const QMap<trx::ServerPort, bool> selected = selectedPortsWithProxy();
    for (auto it = selected.cbegin(); it != selected.cend(); ++it)
        paired = paired || it.value();
    ui->checkProxy->setToolTip(
        paired ? QStringLiteral("The proxy port has no recorded material for this time.")
               : QStringLiteral("This port has no proxy port; pair one in the port's Proxy list"));
}

void CreateTaskDialog::addRepeatRow()
{
    auto *group = new QGroupBox(QStringLiteral("Repeat:"), this);
    group->setObjectName(QStringLiteral("repeatGroup"));
    auto *row = new QHBoxLayout(group);
    m_pRepeatKind = new QComboBox(group);
    m_pRepeatKind->setObjectName(QStringLiteral("m_comboRepeat"));
    m_pRepeatKind->addItems({QStringLiteral("None"), QStringLiteral("Daily"),
                             QStringLiteral("Weekdays (Mon-Fri)"), QStringLiteral("Every N days")});
    m_pRepeatDays = new QSpinBox(group);
    m_pRepeatDays->setObjectName(QStringLiteral("m_spinRepeatDays"));
    m_pRepeatDays->setRange(2, 14);
    m_pRepeatDays->setPrefix(QStringLiteral("every "));
    m_pRepeatDays->setSuffix(QStringLiteral(" days"));
    m_pRepeatEnd = new QComboBox(group);
    m_pRepeatEnd->setObjectName(QStringLiteral("m_comboRepeatEnd"));
    m_pRepeatEnd->addItems({QStringLiteral("for"), QStringLiteral("until")});
    m_pRepeatCount = new QSpinBox(group);
    m_pRepeatCount->setObjectName(QStringLiteral("m_spinRepeatCount"));
    m_pRepeatCount->setRange(1, 15);
    m_pRepeatCount->setValue(5);
    m_pRepeatCount->setSuffix(QStringLiteral(" occurrences"));
    m_pRepeatUntil = new QDateEdit(group);
    m_pRepeatUntil->setObjectName(QStringLiteral("m_dateRepeatUntil"));
    m_pRepeatUntil->setDisplayFormat(QLatin1String(kDayFormat));
    for (QWidget *w : std::initializer_list<QWidget *>{m_pRepeatKind, m_pRepeatDays, m_pRepeatEnd,
                                                       m_pRepeatCount, m_pRepeatUntil})
        row->addWidget(w);
    row->addStretch();
    ui->mainLayout->insertWidget(ui->mainLayout->indexOf(ui->buttonLayout), group);
    m_pRepeatGroup = group;
    connect(m_pRepeatKind, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::updateRepeatFields);
    connect(m_pRepeatEnd, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::updateRepeatFields);
    connect(ui->m_comboDay, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CreateTaskDialog::updateRepeatFields);
    updateRepeatFields();
}

void CreateTaskDialog::updateRepeatFields()
{
    const bool repeats = m_pRepeatKind->currentIndex() != RepeatRule::None;
    const bool untilDate = m_pRepeatEnd->currentIndex() == 1;
    m_pRepeatDays->setEnabled(m_pRepeatKind->currentIndex() == RepeatRule::EveryNDays);
    m_pRepeatEnd->setEnabled(repeats);
    m_pRepeatCount->setVisible(!untilDate);
    m_pRepeatCount->setEnabled(repeats);
    m_pRepeatUntil->setVisible(untilDate);
    m_pRepeatUntil->setEnabled(repeats);
    // The series stays on the time axis: from the schedule's day to the last day offered.
    const QDate first = selectedDate();
    if (first.isValid())
        m_pRepeatUntil->setDateRange(first, std::max(first, lastAxisDate()));
}

QDate CreateTaskDialog::lastAxisDate() const
{
    const int last = ui->m_comboDay->count() - 1;
    return last < 0 ? QDate() : ui->m_comboDay->itemData(last).toDate();
}

RepeatRule CreateTaskDialog::repeatRule() const
{
    RepeatRule rule;
    if (!m_pRepeatGroup || m_pRepeatGroup->isHidden())
        return rule;
    rule.kind = RepeatRule::Kind(m_pRepeatKind->currentIndex());
    rule.everyDays = m_pRepeatDays->value();
    if (m_pRepeatEnd->currentIndex() == 1)
        rule.until = m_pRepeatUntil->date();
    else
        rule.count = m_pRepeatCount->value();
    return rule;
}

CreateTaskDialog::~CreateTaskDialog()
{
    // QDialog's destructor hides the window, which ends the editing of the focused time field;
    // its slots must not run on a form that is already gone.
    for (QLineEdit *field : qAsConst(m_timeFields))
        disconnect(field, nullptr, this, nullptr);
    m_timeFields.clear();
    ui->ports->viewport()->removeEventFilter(this);
    delete ui;
}

void CreateTaskDialog::fillPorts(const QList<ServerEntry> &servers)
{
    QTableWidget *table = ui->ports;
    table->clearSpans();
    table->setRowCount(0);
    int rows = 0;
    for (const ServerEntry &server : servers)
        rows += server.ports.size();
    table->setRowCount(rows);

    int row = 0;
    for (const ServerEntry &server : servers) {
        if (server.ports.isEmpty())
            continue;
        auto *serverItem = new QTableWidgetItem(server.name);
        serverItem->setTextAlignment(Qt::AlignCenter);
        serverItem->setToolTip(server.name);
        serverItem->setFlags(Qt::ItemIsEnabled);
        table->setItem(row, 0, serverItem);
        if (server.ports.size() > 1)
            table->setSpan(row, 0, server.ports.size(), 1);
        for (const PortEntry &port : server.ports) {
            auto *entry = new ServerPortListItem(trx::ServerPort(server.serverId, port.portNo), port.name,
                                                 port.checked, port.withProxy);
            connect(entry, &ServerPortListItem::sigWithProxy, this, &CreateTaskDialog::slotWithProxy);
            table->setCellWidget(row, 1, entry);
            table->setRowHeight(row, 30);
            ++row;
        }
    }
    table->setColumnWidth(1, 240);
    shareColumnWidths();

    // A proxy copy needs a checked port with a proxy port.
    bool any = false;
    const QMap<trx::ServerPort, bool> selected = selectedPortsWithProxy();
    for (auto it = selected.cbegin(); it != selected.cend(); ++it)
        any = any || it.value();
    ui->checkProxy->setEnabled(any);
    if (!any && ui->checkProxy->isChecked()) {
        ui->checkProxy->setChecked(false);
        withProxyClicked(false);
    }
    askProxyCheck();
}

QList<trx::ServerPort> CreateTaskDialog::selectedPorts() const
{
    QList<trx::ServerPort> ports;
    for (int row = 0; row < ui->ports->rowCount(); ++row) {
        auto *entry = qobject_cast<ServerPortListItem *>(ui->ports->cellWidget(row, 1));
        if (entry && entry->isChecked())
            ports.append(entry->key());
    }
    return ports;
}

QMap<trx::ServerPort, bool> CreateTaskDialog::selectedPortsWithProxy() const
{
    QMap<trx::ServerPort, bool> ports;
    for (int row = 0; row < ui->ports->rowCount(); ++row) {
        auto *entry = qobject_cast<ServerPortListItem *>(ui->ports->cellWidget(row, 1));
        if (entry && entry->isChecked())
            ports.insert(entry->key(), entry->withProxy());
    }
    return ports;
}

void CreateTaskDialog::shareColumnWidths()
{
    const int extra = std::max(0, (ui->ports->width() - 360) / 2);
    int portWidth = extra + 240;
    // A table narrower than both columns keeps the port column within view instead of scrolling.
    const int room = ui->ports->viewport()->width() - (extra + 102);
    if (extra == 0 && room > 80 && room < portWidth)
        portWidth = room;
    ui->ports->setColumnWidth(0, extra + 102);
    ui->ports->setColumnWidth(1, portWidth);
}

void CreateTaskDialog::slotWithProxy(bool checked, bool bWithProxy)
{
    const bool changed = checked && bWithProxy;
    bool any = false;
    const QMap<trx::ServerPort, bool> selected = selectedPortsWithProxy();
    for (auto it = selected.cbegin(); it != selected.cend(); ++it)
        any = any || it.value();
    const bool state = changed || (ui->checkProxy->isChecked() && any);
    ui->checkProxy->setChecked(state);
    emit ui->checkProxy->clicked(state);
    ui->checkProxy->setEnabled(changed || any);
    askProxyCheck();
}

void CreateTaskDialog::slotSetProxyChkEnable(bool bEnable)
{
    // The answer says whether a proxy copy is possible; whether one is wanted stays the operator's.
    const bool checked = bEnable && m_bProxyWanted;
    ui->checkProxy->setChecked(checked);
    ui->checkProxy->setEnabled(bEnable);
    withProxyClicked(checked);
}

void CreateTaskDialog::askProxyCheck()
{
    refreshHints();
    const QMap<trx::ServerPort, bool> ports = selectedPortsWithProxy();
    const int start = startTc();
    const int end = endTc();
    const QDate date = selectedDate();
    // Without a start there is no period to ask about.
    if (start == -1)
        return;
    if (m_bProxyAsked && ports == m_lastProxyPorts && start == m_iLastProxyStart && end == m_iLastProxyEnd &&
        date == m_lastProxyDate)
        return;
    m_bProxyAsked = true;
    m_lastProxyPorts = ports;
    m_iLastProxyStart = start;
    m_iLastProxyEnd = end;
    m_lastProxyDate = date;
    emit sigProxyChkIsEnable(ports, start, end, date);
}

MgwDestination CreateTaskDialog::destination() const
{
    MgwDestination dst;
    dst.WithProxy = ui->checkProxy->isChecked();
    dst.MasterMgwId = currentMgwId();
    dst.MasterDriveId = ui->comboMgws3->currentData(DriveIdRole).toString();
    dst.MasterFolderId = m_strMasterFolderId;
    // The proxy pair as chosen: a remembered drive that the gateway list lacks stays what it is, so
    // that OK reports it missing instead of sending a drive the operator never picked.
    dst.ProxyMgwId = m_strProxyMgwId;
    dst.ProxyDriveId = m_strProxyDriveId;
    dst.ProxyFolderId = m_strProxyFolderId;
    return dst;
}

void CreateTaskDialog::setDestination(const MgwDestination &dst)
{
    m_strMasterMgwId = dst.MasterMgwId;
    m_strMasterDriveId = dst.MasterDriveId;
    m_strMasterFolderId = dst.MasterFolderId;
    m_strProxyMgwId = dst.ProxyMgwId;
    m_strProxyDriveId = dst.ProxyDriveId;
    m_strProxyFolderId = dst.ProxyFolderId;
    ui->txtMasterFolder->clear();
    ui->txtProxyFolder->clear();
    m_bProxyWanted = dst.WithProxy;
    ui->checkProxy->setChecked(dst.WithProxy);
    withProxyClicked(dst.WithProxy);
    if (!m_mgws.isEmpty())
        mgwsReady(m_mgws);
}

void CreateTaskDialog::setDestinationEnabled(bool enabled)
{
    ui->dstGroup->setEnabled(enabled);
}

void CreateTaskDialog::setFolderSelectionVisible(bool visible)
{
    m_bFolderSelection = visible;
    const QList<QWidget *> widgets = {ui->lblMasterFolder,    ui->txtMasterFolder,  ui->btnSetMasterFolder,
                                      ui->masterFolderWidget, ui->lblProxyFolder,   ui->txtProxyFolder,
                                      ui->btnSetProxyFolder,  ui->proxyFolderWidget};
    for (QWidget *w : widgets)
        w->setVisible(visible);
}

QString CreateTaskDialog::currentMgwId() const
{
    return ui->comboMgws1->currentData(MgwIdRole).toString();
}

QString CreateTaskDialog::currentProxyMgwId() const
{
    return ui->comboProxyMgws->currentData(MgwIdRole).toString();
}

void CreateTaskDialog::mgwsReady(const QList<trx::MgwInfo> &mgws)
{
    m_mgws = mgws;
    m_bMasterMgwLoading = false;
    m_bProxyMgwLoading = false;
    ui->comboMgws1->setEnabled(true);
    {
        const QSignalBlocker blocker(ui->comboMgws1);
        ui->comboMgws1->clear();
        for (const trx::MgwInfo &mgw : mgws) {
            ui->comboMgws1->addItem(mgw.name);
            ui->comboMgws1->setItemData(ui->comboMgws1->count() - 1, mgw.id, MgwIdRole);
        }
        const int index = ui->comboMgws1->findData(m_strMasterMgwId, MgwIdRole);
        ui->comboMgws1->setCurrentIndex(index >= 0 ? index : (mgws.isEmpty() ? -1 : 0));
    }
    if (currentMgwId() != m_strMasterMgwId) {
        // The remembered gateway is gone: its drives and folders went with it.
        m_strMasterMgwId = currentMgwId();
        m_strMasterFolderId.clear();
        ui->txtMasterFolder->clear();
    }
    // The proxy copy may go to another gateway. Without a remembered one it starts on the master's;
    // a remembered one that the list lacks leaves the combo empty rather than picking another.
    if (m_strProxyMgwId.isEmpty() && m_strProxyDriveId.isEmpty())
        m_strProxyMgwId = m_strMasterMgwId;
    {
        const QSignalBlocker blocker(ui->comboProxyMgws);
        ui->comboProxyMgws->clear();
        for (const trx::MgwInfo &mgw : mgws) {
            ui->comboProxyMgws->addItem(mgw.name);
            ui->comboProxyMgws->setItemData(ui->comboProxyMgws->count() - 1, mgw.id, MgwIdRole);
        }
        ui->comboProxyMgws->setCurrentIndex(ui->comboProxyMgws->findData(m_strProxyMgwId, MgwIdRole));
    }
    drivesReady(mgws);
}

void CreateTaskDialog::fillDrives(QComboBox *combo, const QString &mgwId, const QString &driveId,
                                  bool firstWhenUnknown)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const trx::MgwInfo &mgw : qAsConst(m_mgws)) {
        if (mgw.id != mgwId)
            continue;
        for (const trx::MgwDrive &drive : mgw.drives) {
            combo->addItem(drive.name.toUpper());
            combo->setItemData(combo->count() - 1, drive.id, DriveIdRole);
        }
        break;
    }
    const int index = combo->findData(driveId, DriveIdRole);
    combo->setCurrentIndex(index >= 0 || !firstWhenUnknown ? index : (combo->count() > 0 ? 0 : -1));
}

void CreateTaskDialog::drivesReady(const QList<trx::MgwInfo> &mgws)
{
    m_mgws = mgws;

    ui->comboMgws3->setEnabled(true);
    fillDrives(ui->comboMgws3, currentMgwId(), m_strMasterDriveId, true);
    const QString masterDrive = ui->comboMgws3->currentData(DriveIdRole).toString();
    if (masterDrive != m_strMasterDriveId) {
        m_strMasterDriveId = masterDrive;
        m_strMasterFolderId.clear();
        ui->txtMasterFolder->clear();
    }
    refreshTree(master());

    ui->comboProxyMgws->setEnabled(ui->checkProxy->isChecked());
    ui->comboMgws2->setEnabled(ui->checkProxy->isChecked());
    fillDrives(ui->comboMgws2, currentProxyMgwId(), m_strProxyDriveId, false);
    refreshTree(proxy());
    updateProxyTreeEnabled();
}

void CreateTaskDialog::mgwChanged(int index)
{
    Q_UNUSED(index)
    m_strMasterMgwId = currentMgwId();
    m_strMasterFolderId.clear();
    ui->txtMasterFolder->clear();
    ui->comboMgws3->setEnabled(true);
    fillDrives(ui->comboMgws3, m_strMasterMgwId, m_strMasterDriveId, true);
    m_strMasterDriveId = ui->comboMgws3->currentData(DriveIdRole).toString();
    refreshTree(master());
}

void CreateTaskDialog::proxyMgwChanged(int index)
{
    Q_UNUSED(index)
    // The operator picked another gateway for the proxy: its drive is the operator's to pick too.
    m_strProxyMgwId = currentProxyMgwId();
    m_strProxyFolderId.clear();
    ui->txtProxyFolder->clear();
    fillDrives(ui->comboMgws2, m_strProxyMgwId, m_strProxyDriveId, false);
    m_strProxyDriveId = ui->comboMgws2->currentData(DriveIdRole).toString();
    refreshTree(proxy());
    updateProxyTreeEnabled();
}

void CreateTaskDialog::masterDriveChanged(int index)
{
    Q_UNUSED(index)
    m_strMasterDriveId = ui->comboMgws3->currentData(DriveIdRole).toString();
    m_strMasterFolderId.clear();
    ui->txtMasterFolder->clear();
    refreshTree(master());
}

void CreateTaskDialog::proxyDriveChanged(int index)
{
    Q_UNUSED(index)
    m_strProxyDriveId = ui->comboMgws2->currentData(DriveIdRole).toString();
    m_strProxyFolderId.clear();
    ui->txtProxyFolder->clear();
    refreshTree(proxy());
    updateProxyTreeEnabled();
}

void CreateTaskDialog::refreshMasterMgws()
{
    ui->comboMgws1->setEnabled(false);
    ui->comboProxyMgws->setEnabled(false);
    ui->comboMgws2->setEnabled(false);
    ui->comboMgws3->setEnabled(false);
    m_bMasterMgwLoading = true;
    m_bProxyMgwLoading = true;
    emit sigRefreshMgws();
}

void CreateTaskDialog::refreshProxyMgws()
{
    m_bProxyMgwLoading = true;
    ui->comboProxyMgws->setEnabled(false);
    ui->comboMgws2->setEnabled(false);
    emit sigRefreshMgws();
}

void CreateTaskDialog::withProxyClicked(bool checked)
{
    ui->comboProxyMgws->setEnabled(checked);
    ui->comboMgws2->setEnabled(checked);
    ui->txtProxyFolder->setEnabled(checked);
    ui->btnSetProxyFolder->setEnabled(checked);
    ui->btnRefreshProxyMgws->setEnabled(checked);
    updateProxyTreeEnabled();
}

void CreateTaskDialog::updateProxyTreeEnabled()
{
    ui->proxyFolderWidget->setEnabled(ui->checkProxy->isChecked() && ui->comboMgws2->currentIndex() >= 0);
}

void CreateTaskDialog::optNormalClicked(bool checked)
{
    if (checked)
        ui->dstGroup->setEnabled(true);
}

void CreateTaskDialog::optMaintenanceClicked(bool checked)
{
    if (checked)
        ui->dstGroup->setEnabled(false);
}

bool CreateTaskDialog::isMaintenance() const
{
    return ui->optMtn->isChecked();
}

bool CreateTaskDialog::withProxy() const
{
    return ui->checkProxy->isChecked();
}

CreateTaskDialog::FolderTarget CreateTaskDialog::master()
{
    return {ui->masterFolderWidget, ui->comboMgws3, ui->txtMasterFolder, &m_strMasterFolderId,
            &m_strMasterDriveId, &m_strMasterMgwId};
}

CreateTaskDialog::FolderTarget CreateTaskDialog::proxy()
{
    return {ui->proxyFolderWidget, ui->comboMgws2, ui->txtProxyFolder, &m_strProxyFolderId,
            &m_strProxyDriveId, &m_strProxyMgwId};
}

void CreateTaskDialog::requestFolders(const QString &mgwId, const QString &driveId, const QString &parentId)
{
    for (const PendingFetch &p : qAsConst(m_pendingFetches)) {
        if (p.mgwId == mgwId && p.driveId == driveId && p.parentId == parentId)
            return; // already asked; the answer fills every tree showing that drive
    }
    m_pendingFetches.append({mgwId, driveId, parentId});
    emit sigFetchMgwFolders(mgwId, driveId, parentId);
}

void CreateTaskDialog::refreshTree(const FolderTarget &t)
{
    t.tree->clear();
    const QString mgwId = *t.mgwId;
    // Nothing to load for a drive the gateway list does not offer.
    if (!m_bFolderSelection || mgwId.isEmpty() || t.driveId->isEmpty() || t.drives->currentIndex() < 0)
        return;
    auto *root = new QTreeWidgetItem(t.tree, {t.drives->currentText()});
    root->setData(0, FolderIdRole, QString());
    root->setData(0, FolderPathRole, QString());
    addPlaceholder(root);
    root->setExpanded(true);
    requestFolders(mgwId, *t.driveId, QString());
}

void CreateTaskDialog::refreshMasterFoldersPressed()
{
    refreshTree(master());
}

void CreateTaskDialog::refreshProxyFoldersPressed()
{
    refreshTree(proxy());
}

void CreateTaskDialog::mgwFoldersReady(const QString &strMgwId, const QString &strDriveId,
                                       const QList<trx::MgwFolderInfo> &folders)
{
    // Answers are grouped by parent; an empty answer belongs to the oldest open request.
    QMap<QString, QList<trx::MgwFolderInfo>> byParent;
    for (const trx::MgwFolderInfo &folder : folders)
        byParent[folder.parentId].append(folder);
    if (byParent.isEmpty()) {
        for (const PendingFetch &p : qAsConst(m_pendingFetches)) {
            if (p.mgwId == strMgwId && p.driveId == strDriveId) {
                byParent.insert(p.parentId, {});
                break;
            }
        }
    }

    for (auto it = byParent.cbegin(); it != byParent.cend(); ++it) {
        for (int i = 0; i < m_pendingFetches.size(); ++i) {
            const PendingFetch &p = m_pendingFetches.at(i);
            if (p.mgwId == strMgwId && p.driveId == strDriveId && p.parentId == it.key()) {
                m_pendingFetches.removeAt(i);
                break;
            }
        }
        // Answers for a gateway or drive no longer selected are dropped.
        if (strMgwId == m_strMasterMgwId && strDriveId == m_strMasterDriveId)
            fillTree(master(), it.key(), it.value());
        if (strMgwId == m_strProxyMgwId && strDriveId == m_strProxyDriveId)
            fillTree(proxy(), it.key(), it.value());
    }
}

void CreateTaskDialog::fillTree(const FolderTarget &t, const QString &parentId,
                                const QList<trx::MgwFolderInfo> &folders)
{
    if (t.tree->topLevelItemCount() == 0) {
        auto *root = new QTreeWidgetItem(t.tree, {t.drives->currentText()});
        root->setData(0, FolderIdRole, QString());
        root->setData(0, FolderPathRole, QString());
    }
    QTreeWidgetItem *parent = nullptr;
    for (QTreeWidgetItemIterator it(t.tree); *it; ++it) {
        if (!isPlaceholder(*it) && (*it)->data(0, FolderIdRole).toString() == parentId) {
            parent = *it;
            break;
        }
    }
    if (!parent)
        return; // the folder was dropped by a refresh meanwhile
    // Already loaded (the other tree asked for the same folder): keep what was opened below it.
    if (parent->childCount() > 0 && !hasPlaceholderChild(parent))
        return;

    const QList<QTreeWidgetItem *> old = parent->takeChildren();
    qDeleteAll(old);
    for (const trx::MgwFolderInfo &folder : folders) {
        auto *item = new QTreeWidgetItem(parent, {folder.name});
        item->setData(0, FolderIdRole, folder.id);
        item->setData(0, FolderPathRole, folder.path);
        addPlaceholder(item);
        // A remembered folder shows its path as soon as the tree knows it.
        if (folder.id == *t.folderId && t.text->text().isEmpty())
            t.text->setText(folder.path.isEmpty() ? QStringLiteral("/") : folder.path);
    }
    if (!parent->parent())
        parent->setExpanded(true);
}

void CreateTaskDialog::treeItemExpanded(const FolderTarget &t, QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QString folderId = item->data(0, FolderIdRole).toString();
    if (folderId.isEmpty() || !hasPlaceholderChild(item))
        return;
    requestFolders(*t.mgwId, *t.driveId, folderId);
}

void CreateTaskDialog::masterTreeItemExpanded(QTreeWidgetItem *item)
{
    treeItemExpanded(master(), item);
}

void CreateTaskDialog::proxyTreeItemExpanded(QTreeWidgetItem *item)
{
    treeItemExpanded(proxy(), item);
}

void CreateTaskDialog::chooseFolder(const FolderTarget &t, QTreeWidgetItem *item)
{
    if (!item || isPlaceholder(item))
        return;
    const QString path = item->data(0, FolderPathRole).toString();
    t.text->setText(path.isEmpty() ? QStringLiteral("/") : path);
    *t.folderId = item->data(0, FolderIdRole).toString();
}

void CreateTaskDialog::masterTreeItemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    chooseFolder(master(), item);
}

void CreateTaskDialog::proxyTreeItemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    chooseFolder(proxy(), item);
}

void CreateTaskDialog::masterSetPressed()
{
    chooseFolder(master(), ui->masterFolderWidget->currentItem());
}

void CreateTaskDialog::proxySetPressed()
{
    chooseFolder(proxy(), ui->proxyFolderWidget->currentItem());
}

void CreateTaskDialog::setDays(const QDate &date)
{
    const QDate day = date.isValid() ? date : QDate::currentDate();
    {
        const QSignalBlocker blocker(ui->m_comboDay);
        ui->m_comboDay->clear();
        for (int offset = -7; offset <= 7; ++offset) {
            const QDate d = day.addDays(offset);
            ui->m_comboDay->addItem(d.toString(QLatin1String(kDayFormat)), d);
        }
        ui->m_comboDay->setCurrentIndex(7);
    }
    askProxyCheck();
}

void CreateTaskDialog::setDaysAroundToday(const QDate &date)
{
    const QDate today = workingDate();
    // A date outside the two weeks around today would not be in the list; centre on it instead.
    if (!date.isValid() || qAbs(today.daysTo(date)) > 7) {
        setDays(date);
        return;
    }
    {
        const QSignalBlocker blocker(ui->m_comboDay);
        ui->m_comboDay->clear();
        for (int offset = -7; offset <= 7; ++offset) {
            const QDate d = today.addDays(offset);
            ui->m_comboDay->addItem(d.toString(QLatin1String(kDayFormat)), d);
        }
        ui->m_comboDay->setCurrentIndex(ui->m_comboDay->findData(date));
    }
    askProxyCheck();
}

QDate CreateTaskDialog::selectedDate() const
{
    return QDate::fromString(ui->m_comboDay->currentText(), QLatin1String(kDayFormat));
}

QString CreateTaskDialog::dayText() const
{
    return ui->m_comboDay->currentText();
}

void CreateTaskDialog::setName(const QString &name)
{
    ui->name->setText(name);
}

QString CreateTaskDialog::name() const
{
    return ui->name->text();
}

QList<QLineEdit *> CreateTaskDialog::group(Group g) const
{
    return m_timeFields.mid(int(g) * 3, 3);
}

bool CreateTaskDialog::groupComplete(Group g) const
{
    const QList<QLineEdit *> fields = group(g);
    return std::all_of(fields.cbegin(), fields.cend(),
                       [](const QLineEdit *f) { return !f->text().isEmpty(); });
}

QString CreateTaskDialog::groupText(Group g) const
{
    QString text;
    for (const QLineEdit *f : group(g))
        text += f->text();
    return text;
}

int CreateTaskDialog::groupTc(Group g) const
{
    const int modulo[3] = {24, 60, 60};
    const QList<QLineEdit *> fields = group(g);
    int packed = 0;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int n = fields.at(i)->text().toInt(&ok);
        if (!ok || n < 0)
            return -1;
        packed |= (n % modulo[i]) << (24 - 8 * i);
    }
    return packed;
}

void CreateTaskDialog::setGroupText(Group g, const QString &hhmmss)
{
    const QList<QLineEdit *> fields = group(g);
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(fields.at(i));
        fields.at(i)->setText(hhmmss.mid(2 * i, 2));
    }
}

void CreateTaskDialog::setStartText(const QString &hhmmss)
{
    setGroupText(StartGroup, hhmmss);
    askProxyCheck();
}

void CreateTaskDialog::setEndText(const QString &hhmmss)
{
    setGroupText(EndGroup, hhmmss);
    askProxyCheck();
}

void CreateTaskDialog::setDurationText(const QString &hhmmss)
{
    setGroupText(DurationGroup, hhmmss);
}

QString CreateTaskDialog::startText() const
{
    return groupText(StartGroup);
}

QString CreateTaskDialog::endText() const
{
    return groupText(EndGroup);
}

QString CreateTaskDialog::durationText() const
{
    return groupText(DurationGroup);
}

int CreateTaskDialog::startTc() const
{
    return groupTc(StartGroup);
}

int CreateTaskDialog::endTc() const
{
    return groupTc(EndGroup);
}

int CreateTaskDialog::durationTc() const
{
    return groupTc(DurationGroup);
}

void CreateTaskDialog::setStartFromTcText(const QString &tcText)
{
    Settings *settings = Settings::instance();
    if (!settings || settings->m_strDefaultStartPointMode != 2)
        return;
    setStartText(stripSeparators(tcText).left(6));
}

void CreateTaskDialog::textChanged(const QString &text)
{
    auto *field = qobject_cast<QLineEdit *>(sender());
    if (!field || !m_timeFields.contains(field))
        return;
    if (text.size() >= 2) {
        const bool hours = field == ui->startH || field == ui->endH || field == ui->durH;
        const int limit = hours ? 23 : 59;
        if (text.toInt() > limit) {
            const QSignalBlocker blocker(field);
            field->setText(QString::number(limit));
        }
        if (QLineEdit *next = neighbourTcField(m_timeFields, field, 1)) {
            next->setFocus(Qt::OtherFocusReason);
            next->selectAll();
        }
    }
    askProxyCheck();
}

void CreateTaskDialog::cursorPosChanged(int oldPos, int newPos)
{
    qDebug() << "time field cursor" << oldPos << "->" << newPos;
}

void CreateTaskDialog::slotEditingFinished()
{
    auto *field = qobject_cast<QLineEdit *>(sender());
    const int index = m_timeFields.indexOf(field);
    if (index < 0)
        return;
    if (field->text().size() == 1) {
        const QSignalBlocker blocker(field);
        field->setText(QLatin1Char('0') + field->text());
    }
    if (field->text().size() == 2)
        couple(Group(index / 3));
    askProxyCheck();
}

void CreateTaskDialog::couple(Group edited)
{
    auto seconds = [this](Group g) {
        const int tc = groupTc(g);
        return ((tc >> 24) & 0xFF) * 3600 + ((tc >> 16) & 0xFF) * 60 + ((tc >> 8) & 0xFF);
    };
    if (!groupComplete(edited))
        return;
    switch (edited) {
    case StartGroup:
        if (groupComplete(EndGroup))
            setGroupText(DurationGroup, hhmmssFromSeconds(seconds(EndGroup) - seconds(StartGroup)));
        else if (groupComplete(DurationGroup))
            setGroupText(EndGroup, hhmmssFromSeconds(seconds(StartGroup) + seconds(DurationGroup)));
        break;
    case EndGroup:
        if (groupComplete(StartGroup))
            setGroupText(DurationGroup, hhmmssFromSeconds(seconds(EndGroup) - seconds(StartGroup)));
        else if (groupComplete(DurationGroup))
            setGroupText(StartGroup, hhmmssFromSeconds(seconds(EndGroup) - seconds(DurationGroup)));
        break;
    case DurationGroup:
        if (groupComplete(StartGroup))
            setGroupText(EndGroup, hhmmssFromSeconds(seconds(StartGroup) + seconds(DurationGroup)));
        else if (groupComplete(EndGroup))
            setGroupText(StartGroup, hhmmssFromSeconds(seconds(EndGroup) - seconds(DurationGroup)));
        break;
    }
}

void CreateTaskDialog::fillFromSchedule(const trx::ScheduleInfo &schedule, const TimeCode &tc, bool editable)
{
    setName(schedule.name);
    setDaysAroundToday(schedule.startDate);
    setGroupText(StartGroup, hhmmssOf(tc.atPacked(schedule.startTc, 0).toString()));
    if (schedule.endTc != -1) {
        setGroupText(EndGroup, hhmmssOf(tc.atPacked(schedule.endTc, 0).toString()));
        couple(EndGroup);
    } else {
        setGroupText(EndGroup, QString());
        setGroupText(DurationGroup, QString());
    }
    for (QLineEdit *field : qAsConst(m_timeFields))
        field->setEnabled(editable);
    ui->m_comboDay->setEnabled(editable && schedule.status() == trx::ScheduleStatus::Scheduled);
    ui->ports->setEnabled(false);
    // An edit changes one schedule; repeating is for new ones.
    if (m_pRepeatGroup)
        m_pRepeatGroup->hide();

    const bool maintenance = schedule.type == trx::ScheduleInfo::Maintenance;
    ui->optMtn->setChecked(maintenance);
    ui->optNormal->setChecked(!maintenance);
    ui->dstGroup->setEnabled(!maintenance);

    m_bProxyWanted = schedule.withProxy;
    ui->checkProxy->setChecked(schedule.withProxy);
    withProxyClicked(schedule.withProxy);
    askProxyCheck();
}

void CreateTaskDialog::slotCreateTaskOKClicked()
{
    // One press, one request: the handler runs synchronously and either closes the dialog or
    // leaves it open with the problems shown. Presses that arrive meanwhile (a double click, Enter
    // held down) find the button disabled or the guard set.
    if (m_bOkPending || m_bFinished)
        return;
    m_bOkPending = true;
    ui->m_btnCreateTaskOK->setEnabled(false);
    const QPointer<CreateTaskDialog> self(this);
    emit sigCreateTaskOKClicked();
    if (!self)
        return;
    m_bOkPending = false;
    if (!m_bFinished)
        ui->m_btnCreateTaskOK->setEnabled(true);
}

void CreateTaskDialog::slotCreateTaskCancleClicked()
{
    reject();
}

void CreateTaskDialog::slotClose()
{
    close();
}

void CreateTaskDialog::done(int result)
{
    m_bFinished = true;
    ui->m_btnCreateTaskOK->setEnabled(false);
    if (Settings *settings = Settings::instance()) {
        const QList<int> sizes = ui->m_splitter->sizes();
        const int left = m_bSplitApplied && !sizes.isEmpty() ? sizes.first() : m_iLeftWidth;
        settings->m_scheduleDialogSizes = {{width(), height(), left}};
    }
    FramelessDialog::done(result);
}

void CreateTaskDialog::showEvent(QShowEvent *event)
{
    m_bFinished = false;
    m_bOkPending = false;
    ui->m_btnCreateTaskOK->setEnabled(true);
    FramelessDialog::showEvent(event);
    applyStoredSplit();
}

void CreateTaskDialog::applyStoredSplit()
{
    if (m_bSplitApplied)
        return;
    m_bSplitApplied = true;
    if (layout())
        layout()->activate();
    QSplitter *splitter = ui->m_splitter;
    const int total = splitter->width() - splitter->handleWidth();
    const int left = std::min(m_iLeftWidth, std::max(1, total - 1));
    splitter->setSizes({left, std::max(1, total - left)});
}

bool CreateTaskDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->ports->viewport() && event->type() == QEvent::Resize) {
        shareColumnWidths();
        return false;
    }
    if (watched == ui->checkProxy && event->type() == QEvent::EnabledChange)
        updateProxyToolTip();
    if (watched == ui->name && event->type() == QEvent::Resize)
        placeNamePreview(m_pNamePreview->toolTip());
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && m_timeFields.contains(field))
        prepareTimeFieldForTyping(field, event);
    if (!field || event->type() != QEvent::KeyPress || !m_timeFields.contains(field))
        return FramelessDialog::eventFilter(watched, event);

    if (moveAcrossTcFields(m_timeFields, field, static_cast<QKeyEvent *>(event)->key()))
        return true;
    return FramelessDialog::eventFilter(watched, event);
}

void CreateTaskDialog::prepareTimeFieldForTyping(QLineEdit *field, QEvent *event)
{
    // A filled two-digit field takes no more digits: whatever way the operator came in, what is
    // typed replaces the old value instead of being dropped.
    if (event->type() == QEvent::FocusIn) {
        // After the click that brought the focus has placed the cursor.
        QTimer::singleShot(0, field, [field] {
            if (field->hasFocus())
                field->selectAll();
        });
        return;
    }
    if (event->type() != QEvent::KeyPress)
        return;
    const QString typed = static_cast<QKeyEvent *>(event)->text();
    if (typed.size() == 1 && typed.at(0).isDigit() && !field->hasSelectedText() &&
        field->text().size() >= field->maxLength())
        field->selectAll();
}

CreateTaskDialog::Region CreateTaskDialog::regionAt(const QPoint &pos) const
{
    const bool left = pos.x() < kEdge;
    const bool right = pos.x() >= width() - kEdge;
    const bool top = pos.y() < kEdge;
    const bool bottom = pos.y() >= height() - kEdge;
    if (top && left)
        return TopLeft;
    if (top && right)
        return TopRight;
    if (bottom && left)
        return BottomLeft;
    if (bottom && right)
        return BottomRight;
    if (top)
        return Top;
    if (bottom)
        return Bottom;
    if (left)
        return Left;
    if (right)
        return Right;
    return Move;
}

void CreateTaskDialog::applyRegionCursor(Region region)
{
    switch (region) {
    case Top:
    case Bottom:
        setCursor(Qt::SizeVerCursor);
        break;
    case Left:
    case Right:
        setCursor(Qt::SizeHorCursor);
        break;
    case TopLeft:
    case BottomRight:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case BottomLeft:
    case TopRight:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case Move:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

void CreateTaskDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_bPressed = true;
        m_region = regionAt(event->pos());
        m_ptPressOffset = eventGlobalPos(event) - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(event);
}

void CreateTaskDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_bPressed) {
        m_region = regionAt(event->pos());
        applyRegionCursor(m_region);
        QDialog::mouseMoveEvent(event);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton)) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    const QPoint global = eventGlobalPos(event);
    if (m_region == Move) {
        QScreen *scr = screen();
        const QRect area = scr ? scr->geometry() : QRect(QPoint(0, 0), frameGeometry().size());
        move(clampToScreen(global - m_ptPressOffset, frameGeometry().size(), area));
        return;
    }
    QRect g = geometry();
    switch (m_region) {
    case TopLeft:
        g.setTopLeft(global);
        break;
    case Top:
        g.setTop(global.y());
        break;
    case TopRight:
        g.setTopRight(global);
        break;
    case Right:
        g.setRight(global.x());
        break;
    case BottomRight:
        g.setBottomRight(global);
        break;
    case Bottom:
        g.setBottom(global.y());
        break;
    case BottomLeft:
        g.setBottomLeft(global);
        break;
    case Left:
        g.setLeft(global.x());
        break;
    case Move:
        break;
    }
    if (g.width() >= kMinWidth && g.height() >= kMinHeight)
        setGeometry(g);
}

void CreateTaskDialog::mouseReleaseEvent(QMouseEvent *event)
{
    m_bPressed = false;
    m_region = Move;
    setCursor(Qt::ArrowCursor);
    QDialog::mouseReleaseEvent(event);
}
