#include "views/serverportwidget.h"

#include "ui_serverportwidget.h"
#include "views/splitter.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"
#include "widgets/proxycombobox.h"

#include <QAbstractItemView>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kTitleWidth = 130;

QString tcStatusText(int status)
{
    switch (status) {
    case 1:
        return QStringLiteral("Link");
    case 2:
        return QStringLiteral("Master");
    case 3:
        return QStringLiteral("UnLink");
    default:
        return QStringLiteral("None");
    }
}

} // namespace

ServerPortWidget::ServerPortWidget(int iPortNo, const QString &name, QWidget *parent)
    : QWidget(parent), ui(new Ui::ServerPortWidget), m_iPortNo(iPortNo), m_iProxyPort(iPortNo)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    ui->timeline->setObjectName(QStringLiteral("timeline"));
    // The row's width comes from the panel; the timeline's fixed width follows the row's
    // width. Were that fixed width fed back as the row's minimum, a wide row would hold the
    // scroll area's content wide while the viewport pulled it back, resizing without end.
    setSizePolicy(QSizePolicy::Ignored, sizePolicy().verticalPolicy());

    m_pOverlay = new QWidget(this);
    m_pOverlay->setObjectName(QStringLiteral("m_pOverlay"));
    m_pOverlay->setAttribute(Qt::WA_StyledBackground);
    m_pOverlay->hide();

    ui->m_labPortName->hide();
    ui->m_labPortTitle->hide();
    ui->proxyGroup->hide();
    ui->lblRemainText->hide();
    ui->labelRemain->hide();
    setPortName(name);
    setTitle(name);
    ui->m_btnPortCollapse->setProperty("mandatoryField", QStringLiteral("Expand"));
    ui->btnREC->setProperty("Recording", QStringLiteral("No"));
    ui->btnProxyREC->setProperty("Recording", QStringLiteral("No"));
    ui->btnTC->setProperty("TcStatus", QStringLiteral("None"));
    ui->btnProxyTC->setProperty("TcStatus", QStringLiteral("None"));
    ui->lblRemainText->setProperty("RemainAlert", QStringLiteral("No"));
    ui->labelRemain->setProperty("RemainAlert", QStringLiteral("No"));

    ui->m_combProxyPorts->addItem(QStringLiteral("None"), m_iPortNo);
    ui->m_combProxyPorts->installEventFilter(this);

    connect(ui->btnAdd, &QPushButton::clicked, this, &ServerPortWidget::btnAddClicked);
    connect(ui->btnStart, &QPushButton::pressed, this, &ServerPortWidget::btnMarkStart);
    connect(ui->btnStop, &QPushButton::pressed, this, &ServerPortWidget::btnMarkEnd);
    connect(ui->btnTC, &QPushButton::clicked, this, &ServerPortWidget::btnTCClicked);
    connect(ui->btnREC, &QPushButton::clicked, this, &ServerPortWidget::btnRECClicked);
    connect(ui->btnProxyTC, &QPushButton::clicked, this, &ServerPortWidget::btnProxyTCClicked);
    connect(ui->btnProxyREC, &QPushButton::clicked, this, &ServerPortWidget::btnProxyRECClicked);
    connect(ui->m_btnPortCollapse, &QPushButton::clicked, this, &ServerPortWidget::slotBtnPortCollapseClick);
    connect(ui->m_combProxyPorts, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { slotProxyPortChanged(ui->m_combProxyPorts->itemText(index)); });
    connect(ui->m_combProxyPorts, &ProxyComboBox::sigProxyPortOnChanged, this,
            &ServerPortWidget::slotProxyPortOnChanged);
    connect(ui->m_txtPortName, &QLineEdit::editingFinished, this, &ServerPortWidget::slotPortNameFinished);
    connect(ui->checkBox, &QCheckBox::clicked, this, &ServerPortWidget::slotCheckStatusChanged);
    connect(ui->m_portSplitterWidget, &Splitter::sigSplitterHeightChanged, this,
            &ServerPortWidget::slotSplitterHeightChanged);
    connect(ui->m_portSplitterWidget, &Splitter::sigDrawSplitter, this,
            &ServerPortWidget::slotDrawPortSplitter);
    connect(ui->m_portSplitterWidget, &Splitter::sigClearSplitterLine, this,
            &ServerPortWidget::sigClearSplitterLine);

    setFixedHeight(DefaultHeight);
}

ServerPortWidget::~ServerPortWidget()
{
    // Destroying a row hides it, and hiding takes the focus from its name field, which reports
    // the edit as finished. Take a name being typed now, while the row is whole, and hear nothing
    // from the children afterwards.
    commitNameEdit();
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    delete ui;
}

QString ServerPortWidget::defaultPortName(int port)
{
    return QStringLiteral("Port %1").arg(QChar(QLatin1Char('A').unicode() + port));
}

void ServerPortWidget::initPort(const QString &serverId, const QList<int> &serverPorts)
{
    m_strServerId = serverId;
    QList<QPair<int, QString>> choices;
    for (const int p : serverPorts) {
        if (p != m_iPortNo)
            choices.append(qMakePair(p, defaultPortName(p)));
    }
    setProxyChoices(choices);
}

TimelineWidget *ServerPortWidget::timeline() const
{
    return ui->timeline;
}

QPushButton *ServerPortWidget::recButton() const
{
    return ui->btnREC;
}

QPushButton *ServerPortWidget::proxyRecButton() const
{
    return ui->btnProxyREC;
}

QPushButton *ServerPortWidget::tcButton() const
{
    return ui->btnTC;
}

QPushButton *ServerPortWidget::proxyTcButton() const
{
    return ui->btnProxyTC;
}

ProxyComboBox *ServerPortWidget::proxyCombo() const
{
    return ui->m_combProxyPorts;
}

QWidget *ServerPortWidget::proxyGroupWidget() const
{
    return ui->proxyGroup;
}

void ServerPortWidget::repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

void ServerPortWidget::btnAddClicked()
{
    emit sigNewTask(m_iPortNo);
}

void ServerPortWidget::btnMarkStart()
{
    emit sigMarkStart(m_iPortNo);
}

void ServerPortWidget::btnMarkEnd()
{
    emit sigMarkEnd(m_iPortNo);
}

void ServerPortWidget::btnTCClicked(bool checked)
{
    Q_UNUSED(checked)
    emit sigSetTC(m_iPortNo);
    setLoopStatus(true);
}

void ServerPortWidget::btnRECClicked(bool checked)
{
    emit sigSetREC(m_iPortNo, checked);
    // The button shows what the manager reports, not what was clicked.
    ui->btnREC->setChecked(!checked);
}

void ServerPortWidget::btnProxyTCClicked(bool checked)
{
    Q_UNUSED(checked)
    emit sigSetTC(currentProxyPort());
    setLoopStatus(true);
}

void ServerPortWidget::btnProxyRECClicked(bool checked)
{
    emit sigSetREC(currentProxyPort(), checked);
    ui->btnProxyREC->setChecked(!checked);
}

void ServerPortWidget::slotBtnPortCollapseClick()
{
    setCollapsed(!m_bCollapsed);
}

int ServerPortWidget::currentProxyPort() const
{
    return ui->m_combProxyPorts->currentData().toInt();
}

void ServerPortWidget::setProxyChoices(const QList<QPair<int, QString>> &choices)
{
    ProxyComboBox *combo = ui->m_combProxyPorts;
    // Unchanged choices leave the combo alone: rebuilding it would empty an open list under the
    // operator's pointer.
    bool same = combo->count() == 1 + choices.size() && combo->itemData(0).toInt() == m_iPortNo;
    for (int i = 0; same && i < choices.size(); ++i) {
        same = choices[i].first != m_iPortNo && combo->itemData(i + 1).toInt() == choices[i].first &&
               combo->itemText(i + 1) == choices[i].second;
    }
    if (same)
        return;
    const QVariant previous = combo->currentData();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItem(QStringLiteral("None"), m_iPortNo);
    for (const auto &choice : choices) {
        if (choice.first != m_iPortNo)
            combo->addItem(choice.second, choice.first);
    }
    combo->setCurrentIndex(std::max(0, combo->findData(previous)));
}

QString ServerPortWidget::titleForProxy(int proxy) const
{
    if (proxy == m_iPortNo || proxy == -1)
        return portName();
    return QStringLiteral("%1 [%2]").arg(portName(), ui->m_combProxyPorts->currentText());
}

void ServerPortWidget::slotProxyPortOnChanged()
{
    ProxyComboBox *combo = ui->m_combProxyPorts;
    int row = combo->view()->currentIndex().row();
    if (row < 0)
        row = combo->currentIndex();
    // Kept as a port number: the list may be rebuilt while the question below is open.
    m_iProxyPendingPort = combo->itemData(row).toInt();
    m_bProxyPending = true;
    m_bProxyAccepted = true;
    const int p = m_iProxyPendingPort;
    if (p != m_iPortNo && p != m_iProxyPort) {
        const bool accepted = m_confirmProxyChange
                                  ? m_confirmProxyChange()
                                  : ConfirmDialog(window()).run(
                                        QStringLiteral("All schedules on this proxy port will be deleted."),
                                        QStringLiteral("Confirmation"), ConfirmDialog::OkCancel,
                                        ConfirmDialog::Information) == ConfirmDialog::ResultOk;
        if (!accepted) {
            m_iProxyPendingPort = m_iProxyPort;
            m_bProxyAccepted = false;
        }
    }
    // Picking the entry already shown changes no index, so no second step would come.
    if (m_bProxyAccepted && m_iProxyPendingPort == combo->currentData().toInt())
        m_bProxyPending = false;
}

void ServerPortWidget::slotProxyPortChanged(const QString &text)
{
    Q_UNUSED(text)
    ProxyComboBox *combo = ui->m_combProxyPorts;
    if (!m_bProxyPending) {
        // Only a pick from the list (or the settings) may change the proxy; undo anything else.
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(std::max(0, combo->findData(m_iProxyPort)));
        return;
    }
    m_bProxyPending = false;
    const int pendingIndex = combo->findData(m_iProxyPendingPort);
    // Refused, or the chosen port left the list meanwhile: the proxy in force stays.
    if (!m_bProxyAccepted || pendingIndex < 0) {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(std::max(0, combo->findData(m_iProxyPort)));
        m_bProxyAccepted = true;
        return;
    }
    {
        const QSignalBlocker blocker(combo);
        combo->setCurrentIndex(pendingIndex);
    }
    const int p = combo->currentData().toInt();
    setTitle(titleForProxy(p));
    if (p != m_iPortNo)
        emit sigRemoveTasks(p);
    m_iProxyPort = p;
    ui->m_labPortTitle->setVisible(m_bCollapsed);
    ui->proxyGroup->setVisible(p != m_iPortNo);
    emit sigProxyPortChanged(m_iPortNo, p);
    emit sigupdateServerHeight();
}

void ServerPortWidget::setProxyPort(int port)
{
    ProxyComboBox *combo = ui->m_combProxyPorts;
    const int found = combo->findData(port);
    const int index = std::max(0, found);
    ui->proxyGroup->setVisible(port != -1 && port != m_iPortNo && found > 0);
    m_iProxyPort = index == 0 ? m_iPortNo : port;
    m_bProxyPending = true;
    m_bProxyAccepted = true;
    m_iProxyPendingPort = combo->itemData(index).toInt();
    if (combo->currentIndex() == index)
        slotProxyPortChanged(combo->currentText());
    else
        combo->setCurrentIndex(index);
}

void ServerPortWidget::slotPortNameFinished()
{
    QString text = ui->m_txtPortName->text().trimmed();
    if (text.isEmpty())
        text = defaultPortName(m_iPortNo);
    setPortName(text);
    setTitle(titleForProxy(m_iProxyPort));
    ui->m_txtPortName->clearFocus();
    emit sigPortNameChanged(m_iPortNo, text);
}

void ServerPortWidget::commitNameEdit()
{
    if (ui->m_txtPortName->hasFocus())
        slotPortNameFinished();
}

QString ServerPortWidget::portName() const
{
    return ui->m_txtPortName->text();
}

void ServerPortWidget::setPortName(const QString &name)
{
    ui->m_txtPortName->setText(name);
    ui->m_labPortName->setText(name);
}

void ServerPortWidget::setTitle(const QString &title)
{
    m_strTitle = title;
    ui->m_labPortTitle->setText(
        ui->m_labPortTitle->fontMetrics().elidedText(title, Qt::ElideRight, kTitleWidth));
    ui->m_labPortTitle->setToolTip(title);
}

QString ServerPortWidget::portDisplayName() const
{
    const QString proxyText = ui->m_combProxyPorts->currentText();
    const QString second = ui->m_combProxyPorts->currentIndex() <= 0 || proxyText == QLatin1String("None")
                               ? QString()
                               : QStringLiteral("[%1]").arg(proxyText);
    return QStringLiteral("%1 %2").arg(portName(), second);
}

bool ServerPortWidget::isChecked() const
{
    return ui->checkBox->isChecked();
}

void ServerPortWidget::setChecked(bool checked)
{
    ui->checkBox->setChecked(checked);
}

void ServerPortWidget::slotCheckStatusChanged(bool checked)
{
    emit sigPortCheckStatusChanged(m_iPortNo, checked);
}

QList<QString> ServerPortWidget::taskIds() const
{
    return ui->timeline->taskIds();
}

void ServerPortWidget::setControlsEnabled(bool enabled)
{
    ui->btnAdd->setEnabled(enabled);
    ui->m_combProxyPorts->setEnabled(enabled);
    ui->checkBox->setEnabled(enabled);
    ui->m_txtPortName->setEnabled(enabled);
}

void ServerPortWidget::placeOverlay()
{
    const int left = ui->timeline->isVisible() ? ui->timeline->x() : LeftPanelWidth;
    m_pOverlay->setGeometry(left, 0, std::max(0, width() - left), height());
    m_pOverlay->raise();
}

void ServerPortWidget::setOverlay(const QString &styleSheet)
{
    // The poll repeats the loop state every second; an unchanged style is not parsed again.
    const QString sheet = QStringLiteral("#m_pOverlay {%1}").arg(styleSheet);
    if (m_pOverlay->styleSheet() != sheet)
        m_pOverlay->setStyleSheet(sheet);
    placeOverlay();
    m_pOverlay->show();
}

void ServerPortWidget::setLoopStatus(bool bLoop)
{
    if (bLoop) {
        m_pOverlay->hide();
    } else {
        setOverlay(QStringLiteral("background-color: rgb(255,0,0, 15%)"));
        m_pOverlay->setToolTip(tr("Loop recording is off on this port: its schedules cannot be taken "
                                  "and its controls are locked until loop recording is on again."));
    }
    setControlsEnabled(bLoop);
    ui->btnREC->setEnabled(bLoop);
    ui->btnTC->setEnabled(bLoop);
    ui->btnProxyREC->setEnabled(bLoop);
    ui->btnProxyTC->setEnabled(bLoop);
    m_bLoopEnabled = bLoop;
    if (!m_bLinkUp)
        applyCommandAvailability();
    emit sigLoopStatusChanged(m_iPortNo, bLoop);
}

void ServerPortWidget::setLinkUp(bool up)
{
    if (up == m_bLinkUp)
        return;
    m_bLinkUp = up;
    applyCommandAvailability();
}

void ServerPortWidget::applyCommandAvailability()
{
    static const char kOwnTip[] = "linkFreeToolTip";
    const QList<QWidget *> senders = {ui->btnAdd, ui->btnStart,    ui->btnStop,    ui->btnREC,
                                      ui->btnTC,  ui->btnProxyREC, ui->btnProxyTC, ui->m_combProxyPorts};
    for (QWidget *widget : senders) {
        if (!widget->property(kOwnTip).isValid())
            widget->setProperty(kOwnTip, widget->toolTip());
        // Start and Stop do not follow the loop-recording state; the others do.
        const bool loopGated = widget != ui->btnStart && widget != ui->btnStop;
        widget->setEnabled(m_bLinkUp && (!loopGated || m_bLoopEnabled));
        widget->setToolTip(m_bLinkUp ? widget->property(kOwnTip).toString()
                                     : QStringLiteral("TRXM is not connected."));
    }
}

void ServerPortWidget::markDifferentFrequency()
{
    if (!m_bLoop)
        return;
    setControlsEnabled(false);
    setOverlay(QStringLiteral("background-color: rgb(250,0,0, 15%)"));
    m_pOverlay->setToolTip(tr("This server runs at another system frequency than the master's: "
                              "its ports take no schedules."));
}

void ServerPortWidget::setRecordingProperty(QPushButton *button, bool recording)
{
    if (!button)
        return;
    button->setProperty("Recording", recording ? QStringLiteral("Yes") : QStringLiteral("No"));
    repolish(button);
}

void ServerPortWidget::setRecording(bool recording)
{
    ui->btnREC->setChecked(recording);
    setRecordingProperty(ui->btnREC, recording);
}

void ServerPortWidget::setProxyRecording(bool recording)
{
    ui->btnProxyREC->setChecked(recording);
    setRecordingProperty(ui->btnProxyREC, recording);
}

void ServerPortWidget::setTcProperty(QPushButton *button, int status)
{
    button->setProperty("TcStatus", tcStatusText(status));
    // The colour alone does not say what it means.
    switch (status) {
    case 1:
        button->setToolTip(tr("Link: the port's timecode is within a second of the master's. "
                              "Click to make this port the master."));
        break;
    case 2:
        button->setToolTip(tr("Master: every port and schedule is timed by this port's timecode."));
        break;
    case 3:
        button->setToolTip(tr("UnLink: the port's timecode is a second or more away from the "
                              "master's. Click to make this port the master."));
        break;
    default:
        button->setToolTip(tr("No timecode state yet. Click to make this port the master."));
        break;
    }
    repolish(button);
}

void ServerPortWidget::setKeyboardTarget(bool target)
{
    if (ui->leftPanel->property("KeyboardTarget").toBool() == target)
        return;
    ui->leftPanel->setProperty("KeyboardTarget", target);
    // A bar on the left edge: the port Alt+Left / Alt+Right move between schedules of.
    ui->leftPanel->setStyleSheet(
        target ? QStringLiteral("#leftPanel { border-left: 3px solid rgb(51,109,149); }") : QString());
    ui->leftPanel->setToolTip(target ? tr("Alt+Left / Alt+Right move between this port's schedules")
                                     : QString());
}

bool ServerPortWidget::isKeyboardTarget() const
{
    return ui->leftPanel->property("KeyboardTarget").toBool();
}

void ServerPortWidget::setTcStatus(int status)
{
    if (status == m_iTcStatus)
        return;
    m_iTcStatus = status;
    setTcProperty(ui->btnTC, status);
}

void ServerPortWidget::setProxyTcStatus(int status)
{
    if (status == m_iProxyTcStatus)
        return;
    m_iProxyTcStatus = status;
    setTcProperty(ui->btnProxyTC, status);
}

void ServerPortWidget::setRemainTime(const QString &text)
{
    ui->lblRemainText->setVisible(m_bLoop);
    ui->labelRemain->setVisible(m_bLoop);
    ui->labelRemain->setText(text);
}

void ServerPortWidget::setLoop(bool bLoop)
{
    if (bLoop == m_bLoop)
        return;
    m_bLoop = bLoop;
    setRemainTime(remainTime());
}

QString ServerPortWidget::remainTime() const
{
    return ui->labelRemain->text();
}

void ServerPortWidget::setRemainAlert(bool alert)
{
    if (alert == m_bRemainAlert)
        return;
    m_bRemainAlert = alert;
    const QString value = alert ? QStringLiteral("Yes") : QStringLiteral("No");
    for (QLabel *label : {ui->lblRemainText, ui->labelRemain}) {
        label->setProperty("RemainAlert", value);
        repolish(label);
    }
}

void ServerPortWidget::setCollapsed(bool collapsed)
{
    const bool wasCollapsed = m_bCollapsed;
    m_bCollapsed = collapsed;
    ui->m_btnPortCollapse->setProperty("mandatoryField",
                                       collapsed ? QStringLiteral("Collapse") : QStringLiteral("Expand"));
    repolish(ui->m_btnPortCollapse);
    if (collapsed && !wasCollapsed)
        m_iExpandedHeight = height();
    setTitle(collapsed ? titleForProxy(currentProxyPort()) : portName());
    ui->m_labPortTitle->setVisible(collapsed);
    ui->m_portBtnWidget->setVisible(!collapsed);
    ui->timeline->setVisible(!collapsed);
    ui->m_masterInfo->setVisible(!collapsed);
    ui->m_proxyWidget->setVisible(!collapsed);
    setFixedHeight(collapsed ? CollapsedHeight : m_iExpandedHeight);
    applyCompact();
    if (m_pOverlay->isVisible())
        placeOverlay();
    emit sigPortCollapseChanged(m_iPortNo, collapsed);
}

void ServerPortWidget::applyCompact()
{
    // A compact row keeps the header, REC, TC and the timeline; the proxy choice and the button
    // column need more height than it has.
    const bool compact = !m_bCollapsed && height() < MinHeight;
    ui->m_proxyWidget->setVisible(!m_bCollapsed && !compact);
    ui->m_portBtnWidget->setVisible(!m_bCollapsed && !compact);
}

int ServerPortWidget::rowHeight() const
{
    return m_bCollapsed ? CollapsedHeight : height();
}

void ServerPortWidget::setHiddenProxy(bool hidden)
{
    m_bHidden = hidden;
    setVisible(!hidden);
}

void ServerPortWidget::slotSplitterHeightChanged(int height)
{
    if (m_bCollapsed)
        return;
    setFixedHeight(std::clamp(this->height() + height, MinHeight, MaxHeight));
}

void ServerPortWidget::slotDrawPortSplitter(int offset)
{
    const int h = m_bCollapsed ? CollapsedHeight : std::clamp(height() + offset, MinHeight, MaxHeight);
    emit sigDrawPortSplitter(y() + h, m_iPortNo);
}

void ServerPortWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ui->timeline->setFixedWidth(std::max(0, width() - SideWidths));
    applyCompact();
    if (m_pOverlay->isVisible())
        placeOverlay();
    emit sigPortHeightChanged(m_iPortNo, event->size().height(), !m_bCollapsed);
}

bool ServerPortWidget::eventFilter(QObject *watched, QEvent *event)
{
    // A wheel over the proxy choice would change it without the confirmation.
    if (watched == ui->m_combProxyPorts && event->type() == QEvent::Wheel)
        return true;
    return QWidget::eventFilter(watched, event);
}
