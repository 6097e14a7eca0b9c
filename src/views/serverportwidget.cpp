#include "views/serverportwidget.h"

#include "ui_serverportwidget.h"
#include "views/splitter.h"
#include "views/timelinewidget.h"
#include "widgets/confirmdialog.h"
#include "widgets/proxycombobox.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kTitleWidth = 130;
// Rows this far outside the visible part of the port list keep (or get) their form, so that
// scrolling shows no row without it; rows farther away let it go.
constexpr int kFormMargin = 400;
constexpr int kFormKeepMargin = 1200;

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
    : QWidget(parent), m_iPortNo(iPortNo), m_iProxyPort(iPortNo), m_iComboPort(iPortNo),
      m_strRemain(QStringLiteral("Calc..."))
{
    setAttribute(Qt::WA_StyledBackground);
    m_pTimeline = new TimelineWidget(this);
    m_pTimeline->setObjectName(QStringLiteral("timeline"));
    m_pTimeline->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    // The row's width comes from the panel; the timeline's fixed width follows the row's
    // width. Were that fixed width fed back as the row's minimum, a wide row would hold the
    // scroll area's content wide while the viewport pulled it back, resizing without end.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    m_pOverlay = new QWidget(this);
    m_pOverlay->setObjectName(QStringLiteral("m_pOverlay"));
    m_pOverlay->setAttribute(Qt::WA_StyledBackground);
    m_pOverlay->hide();

    setPortName(name);
    setTitle(name);
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

void ServerPortWidget::ensureForm()
{
    if (!ui)
        buildForm();
}

void ServerPortWidget::buildForm()
{
    // setupUi gives the row the form's design size; the row keeps the one its panel gave it.
    const QRect kept = geometry();
    auto *form = new Ui::ServerPortWidget;
    m_bBuildingForm = true;
    form->setupUi(this);
    setGeometry(kept);
    m_bBuildingForm = false;
    ui = form;
    // The form's timeline gives way to the one that holds the port's schedules.
    ui->bodyLayout->replaceWidget(ui->timeline, m_pTimeline);
    delete ui->timeline;
    ui->timeline = m_pTimeline;
    m_pOverlay->raise();
    // Laid into a row on screen, the parts would show only at the next pass of the event loop.
    for (QWidget *part : {ui->leftPanel, ui->buttonColumn, static_cast<QWidget *>(ui->m_portSplitterWidget)})
        part->show();

    ui->m_labPortName->hide();
    ui->m_labPortTitle->hide();
    ui->lblRemainText->hide();
    ui->labelRemain->hide();
    showRemainAlert();
    ui->m_txtPortName->setText(m_strPortName);
    ui->m_labPortName->setText(m_strPortName);
    setTitle(m_strTitle);
    ui->checkBox->setChecked(m_bChecked);
    showRecording(ui->btnREC, m_bRecording);
    showRecording(ui->btnProxyREC, m_bProxyRecording);
    ui->btnTC->setProperty("TcStatus", QStringLiteral("None"));
    ui->btnProxyTC->setProperty("TcStatus", QStringLiteral("None"));
    if (m_iTcStatus != 0)
        setTcProperty(ui->btnTC, m_iTcStatus);
    if (m_iProxyTcStatus != 0)
        setTcProperty(ui->btnProxyTC, m_iProxyTcStatus);
    ui->labelRemain->setText(m_strRemain);
    ui->lblRemainText->setVisible(m_bLoop);
    ui->labelRemain->setVisible(m_bLoop);
    ui->proxyGroup->setVisible(m_bProxyGroupVisible);
    showComboPort();
    if (m_bKeyboardTarget) {
        m_bKeyboardTarget = false;
        setKeyboardTarget(true);
    }
    ui->timeline->setVisible(!m_bCollapsed);
    showCollapsed();
    applyCompact();
    applyEnabledState();

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
    if (m_pOverlay->isVisible())
        placeOverlay();
}

void ServerPortWidget::releaseForm()
{
    // The timeline stays: it holds the schedules. Everything else goes with the form's layout.
    ui->bodyLayout->removeWidget(m_pTimeline);
    delete layout();
    const QList<QWidget *> parts = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *part : parts) {
        if (part != m_pTimeline && part != m_pOverlay)
            delete part;
    }
    delete ui;
    ui = nullptr;
    placeTimeline();
}

void ServerPortWidget::placeTimeline()
{
    if (ui)
        return;
    // Where the form's layout puts it: after the left panel, above the splitter.
    m_pTimeline->setGeometry(LeftPanelWidth, 0, std::max(0, width() - SideWidths),
                             std::max(0, height() - Splitter::Height));
}

void ServerPortWidget::updateForm()
{
    if (m_bBuildingForm || !isVisible())
        return;
    watchScrollArea();
    if (!ui) {
        if (isNearVisibleArea(this, kFormMargin))
            buildForm();
        return;
    }
    if (isNearVisibleArea(this, kFormKeepMargin))
        return;
    // A row the operator is working in keeps its form: a name being typed, an open proxy list.
    // Nor while a menu or a question is open: the form may be on the stack below it.
    const QWidget *focus = QApplication::focusWidget();
    if ((focus && isAncestorOf(focus)) || ui->m_portSplitterWidget->isPressed() ||
        QApplication::activePopupWidget() || QApplication::activeModalWidget())
        return;
    releaseForm();
}

void ServerPortWidget::watchScrollArea()
{
    if (QScrollBar *bar = newEnclosingScrollBar(this, m_watchedScrollBar))
        connect(bar, &QScrollBar::valueChanged, this, &ServerPortWidget::updateForm);
}

bool ServerPortWidget::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        updateForm();
        // The panels above may not have their final places yet: look again once they have.
        QMetaObject::invokeMethod(this, &ServerPortWidget::updateForm, Qt::QueuedConnection);
        break;
    case QEvent::Move:
        updateForm();
        break;
    case QEvent::Paint:
        // Painted without its form: the row came into view by a way no scroll bar reported.
        if (!ui)
            QMetaObject::invokeMethod(this, &ServerPortWidget::updateForm, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return result;
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
    return m_pTimeline;
}

// The form's widgets are asked for by what works with them: they are built for it.
QPushButton *ServerPortWidget::recButton() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->btnREC;
}

QPushButton *ServerPortWidget::proxyRecButton() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->btnProxyREC;
}

QPushButton *ServerPortWidget::tcButton() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->btnTC;
}

QPushButton *ServerPortWidget::proxyTcButton() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->btnProxyTC;
}

ProxyComboBox *ServerPortWidget::proxyCombo() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->m_combProxyPorts;
}

QWidget *ServerPortWidget::proxyGroupWidget() const
{
    const_cast<ServerPortWidget *>(this)->ensureForm();
    return ui->proxyGroup;
}

void ServerPortWidget::setProxyGroupVisible(bool visible)
{
    m_bProxyGroupVisible = visible;
    if (ui)
        ui->proxyGroup->setVisible(visible);
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
    if (ui)
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
    if (ui)
        ui->btnProxyREC->setChecked(!checked);
}

void ServerPortWidget::slotBtnPortCollapseClick()
{
    setCollapsed(!m_bCollapsed);
}

int ServerPortWidget::currentProxyPort() const
{
    return m_iComboPort;
}

int ServerPortWidget::choiceIndex(int port) const
{
    // 0 is "None" (this port); the choices follow.
    if (port == m_iPortNo)
        return 0;
    for (int i = 0; i < m_proxyChoices.size(); ++i) {
        if (m_proxyChoices[i].first == port)
            return i + 1;
    }
    return -1;
}

QString ServerPortWidget::comboText() const
{
    const int index = choiceIndex(m_iComboPort);
    return index <= 0 ? QStringLiteral("None") : m_proxyChoices[index - 1].second;
}

void ServerPortWidget::showComboPort()
{
    if (!ui)
        return;
    ProxyComboBox *combo = ui->m_combProxyPorts;
    const QSignalBlocker blocker(combo);
    // Rebuilt only when the entries differ: rebuilding empties an open list under the pointer.
    bool same = combo->count() == 1 + m_proxyChoices.size() && combo->itemData(0).toInt() == m_iPortNo;
    for (int i = 0; same && i < m_proxyChoices.size(); ++i) {
        same = combo->itemData(i + 1).toInt() == m_proxyChoices[i].first &&
               combo->itemText(i + 1) == m_proxyChoices[i].second;
    }
    if (!same) {
        combo->clear();
        combo->addItem(QStringLiteral("None"), m_iPortNo);
        for (const auto &choice : qAsConst(m_proxyChoices))
            combo->addItem(choice.second, choice.first);
    }
    combo->setCurrentIndex(std::max(0, choiceIndex(m_iComboPort)));
}

void ServerPortWidget::showProxyInForce()
{
    m_iComboPort = choiceIndex(m_iProxyPort) < 0 ? m_iPortNo : m_iProxyPort;
    showComboPort();
}

void ServerPortWidget::setProxyChoices(const QList<QPair<int, QString>> &choices)
{
    QList<QPair<int, QString>> kept;
    for (const auto &choice : choices) {
        if (choice.first != m_iPortNo)
            kept.append(choice);
    }
    if (kept == m_proxyChoices)
        return;
    m_proxyChoices = kept;
    if (choiceIndex(m_iComboPort) < 0)
        m_iComboPort = m_iPortNo;
    showComboPort();
}

QString ServerPortWidget::titleForProxy(int proxy) const
{
    if (proxy == m_iPortNo || proxy == -1)
        return portName();
    return QStringLiteral("%1 [%2]").arg(portName(), comboText());
}

void ServerPortWidget::slotProxyPortOnChanged()
{
    int p = m_iComboPort;
    if (ui) {
        ProxyComboBox *combo = ui->m_combProxyPorts;
        int row = combo->view()->currentIndex().row();
        if (row < 0)
            row = combo->currentIndex();
        p = combo->itemData(row).toInt();
    }
    // Kept as a port number: the list may be rebuilt while the question below is open.
    m_iProxyPendingPort = p;
    m_bProxyPending = true;
    m_bProxyAccepted = true;
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
    if (m_bProxyAccepted && m_iProxyPendingPort == m_iComboPort)
        m_bProxyPending = false;
}

void ServerPortWidget::slotProxyPortChanged(const QString &text)
{
    Q_UNUSED(text)
    applyProxyChange();
}

void ServerPortWidget::applyProxyChange()
{
    if (!m_bProxyPending) {
        // Only a pick from the list (or the settings) may change the proxy; undo anything else.
        showProxyInForce();
        return;
    }
    m_bProxyPending = false;
    // Refused, or the chosen port left the list meanwhile: the proxy in force stays.
    if (!m_bProxyAccepted || choiceIndex(m_iProxyPendingPort) < 0) {
        showProxyInForce();
        m_bProxyAccepted = true;
        return;
    }
    m_iComboPort = m_iProxyPendingPort;
    showComboPort();
    const int p = m_iComboPort;
    setTitle(titleForProxy(p));
    if (p != m_iPortNo)
        emit sigRemoveTasks(p);
    m_iProxyPort = p;
    if (ui)
        ui->m_labPortTitle->setVisible(m_bCollapsed);
    setProxyGroupVisible(p != m_iPortNo);
    emit sigProxyPortChanged(m_iPortNo, p);
    emit sigupdateServerHeight();
}

void ServerPortWidget::setProxyPort(int port)
{
    const int found = choiceIndex(port);
    const int index = std::max(0, found);
    setProxyGroupVisible(port != -1 && port != m_iPortNo && found > 0);
    m_iProxyPort = index == 0 ? m_iPortNo : port;
    m_bProxyPending = true;
    m_bProxyAccepted = true;
    m_iProxyPendingPort = index == 0 ? m_iPortNo : port;
    applyProxyChange();
}

void ServerPortWidget::slotPortNameFinished()
{
    QString text = portName().trimmed();
    if (text.isEmpty())
        text = defaultPortName(m_iPortNo);
    setPortName(text);
    setTitle(titleForProxy(m_iProxyPort));
    if (ui)
        ui->m_txtPortName->clearFocus();
    emit sigPortNameChanged(m_iPortNo, text);
}

void ServerPortWidget::commitNameEdit()
{
    if (ui && ui->m_txtPortName->hasFocus())
        slotPortNameFinished();
}

QString ServerPortWidget::portName() const
{
    // While the operator types, the name is what the field holds.
    return ui ? ui->m_txtPortName->text() : m_strPortName;
}

void ServerPortWidget::setPortName(const QString &name)
{
    m_strPortName = name;
    if (!ui)
        return;
    ui->m_txtPortName->setText(name);
    ui->m_labPortName->setText(name);
}

void ServerPortWidget::setTitle(const QString &title)
{
    m_strTitle = title;
    if (!ui)
        return;
    ui->m_labPortTitle->setText(
        ui->m_labPortTitle->fontMetrics().elidedText(title, Qt::ElideRight, kTitleWidth));
    ui->m_labPortTitle->setToolTip(title);
}

QString ServerPortWidget::portDisplayName() const
{
    const QString second = choiceIndex(m_iComboPort) <= 0 ? QString() : QStringLiteral("[%1]").arg(comboText());
    return QStringLiteral("%1 %2").arg(portName(), second);
}

bool ServerPortWidget::isChecked() const
{
    return ui ? ui->checkBox->isChecked() : m_bChecked;
}

void ServerPortWidget::setChecked(bool checked)
{
    m_bChecked = checked;
    if (ui)
        ui->checkBox->setChecked(checked);
}

void ServerPortWidget::slotCheckStatusChanged(bool checked)
{
    m_bChecked = checked;
    emit sigPortCheckStatusChanged(m_iPortNo, checked);
}

QList<QString> ServerPortWidget::taskIds() const
{
    return m_pTimeline->taskIds();
}

void ServerPortWidget::setControlsEnabled(bool enabled)
{
    m_bControlsEnabled = enabled;
    if (!ui)
        return;
    ui->btnAdd->setEnabled(enabled);
    ui->m_combProxyPorts->setEnabled(enabled);
    ui->checkBox->setEnabled(enabled);
    ui->m_txtPortName->setEnabled(enabled);
}

void ServerPortWidget::applyEnabledState()
{
    setControlsEnabled(m_bControlsEnabled);
    showLoopEnabled();
    if (m_bLinkApplied)
        applyCommandAvailability();
}

void ServerPortWidget::showLoopEnabled()
{
    for (QPushButton *button : {ui->btnREC, ui->btnTC, ui->btnProxyREC, ui->btnProxyTC})
        button->setEnabled(m_bLoopEnabled);
}

void ServerPortWidget::placeOverlay()
{
    const int left = m_pTimeline->isVisible() ? m_pTimeline->x() : LeftPanelWidth;
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
    m_bLoopEnabled = bLoop;
    if (ui)
        showLoopEnabled();
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
    m_bLinkApplied = true;
    if (!ui)
        return;
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

void ServerPortWidget::showRecording(QPushButton *button, bool recording)
{
    button->setChecked(recording);
    button->setProperty("Recording", recording ? QStringLiteral("Yes") : QStringLiteral("No"));
}

void ServerPortWidget::setRecording(bool recording)
{
    m_bRecording = recording;
    if (!ui)
        return;
    showRecording(ui->btnREC, recording);
    repolish(ui->btnREC);
}

void ServerPortWidget::setProxyRecording(bool recording)
{
    m_bProxyRecording = recording;
    if (!ui)
        return;
    showRecording(ui->btnProxyREC, recording);
    repolish(ui->btnProxyREC);
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
    if (m_bKeyboardTarget == target)
        return;
    m_bKeyboardTarget = target;
    if (!ui)
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
    return m_bKeyboardTarget;
}

void ServerPortWidget::setTcStatus(int status)
{
    if (status == m_iTcStatus)
        return;
    m_iTcStatus = status;
    if (ui)
        setTcProperty(ui->btnTC, status);
}

void ServerPortWidget::setProxyTcStatus(int status)
{
    if (status == m_iProxyTcStatus)
        return;
    m_iProxyTcStatus = status;
    if (ui)
        setTcProperty(ui->btnProxyTC, status);
}

void ServerPortWidget::setRemainTime(const QString &text)
{
    m_strRemain = text;
    if (!ui)
        return;
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
    return m_strRemain;
}

void ServerPortWidget::setRemainAlert(bool alert)
{
    if (alert == m_bRemainAlert)
        return;
    m_bRemainAlert = alert;
    if (!ui)
        return;
    showRemainAlert();
    repolish(ui->lblRemainText);
    repolish(ui->labelRemain);
}

void ServerPortWidget::showRemainAlert()
{
    const QString value = m_bRemainAlert ? QStringLiteral("Yes") : QStringLiteral("No");
    ui->lblRemainText->setProperty("RemainAlert", value);
    ui->labelRemain->setProperty("RemainAlert", value);
}

void ServerPortWidget::showCollapsed()
{
    ui->m_btnPortCollapse->setProperty("mandatoryField",
                                       m_bCollapsed ? QStringLiteral("Collapse") : QStringLiteral("Expand"));
    ui->m_labPortTitle->setVisible(m_bCollapsed);
    ui->m_portBtnWidget->setVisible(!m_bCollapsed);
    ui->m_masterInfo->setVisible(!m_bCollapsed);
    ui->m_proxyWidget->setVisible(!m_bCollapsed);
}

void ServerPortWidget::setCollapsed(bool collapsed)
{
    const bool wasCollapsed = m_bCollapsed;
    m_bCollapsed = collapsed;
    if (collapsed && !wasCollapsed)
        m_iExpandedHeight = height();
    setTitle(collapsed ? titleForProxy(currentProxyPort()) : portName());
    m_pTimeline->setVisible(!collapsed);
    if (ui) {
        showCollapsed();
        repolish(ui->m_btnPortCollapse);
    }
    setFixedHeight(collapsed ? CollapsedHeight : m_iExpandedHeight);
    applyCompact();
    if (m_pOverlay->isVisible())
        placeOverlay();
    emit sigPortCollapseChanged(m_iPortNo, collapsed);
}

void ServerPortWidget::applyCompact()
{
    if (!ui)
        return;
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
    m_pTimeline->setFixedWidth(std::max(0, width() - SideWidths));
    placeTimeline();
    applyCompact();
    if (m_pOverlay->isVisible())
        placeOverlay();
    emit sigPortHeightChanged(m_iPortNo, event->size().height(), !m_bCollapsed);
}

bool ServerPortWidget::eventFilter(QObject *watched, QEvent *event)
{
    // A wheel over the proxy choice would change it without the confirmation.
    if (ui && watched == ui->m_combProxyPorts && event->type() == QEvent::Wheel)
        return true;
    return QWidget::eventFilter(watched, event);
}
