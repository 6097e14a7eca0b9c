#include "views/oxamainview.h"

#include "settings/settings.h"
#include "ui_oxamainview.h"
#include "views/linkstatusbar.h"
#include "views/mainshortcuts.h"
#include "views/painttcscale.h"
#include "views/scalelabels.h"
#include "views/serverportwidget.h"
#include "views/serverwidget.h"
#include "views/timelineitemwidget.h"
#include "views/timelinewidget.h"
#include "widgets/aboutdialog.h"
#include "widgets/confirmdialog.h"
#include "widgets/inputtcwidget.h"
#include "widgets/proxycombobox.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QSessionManager>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// What a shortcut action does, as the keyboard shortcuts box lists it.
const char kShortcutDescription[] = "shortcutDescription";

constexpr int kCursorHeight = 16;
constexpr int kCursorBottom = 17;
constexpr int kVerticalScrollBarWidth = 16;
constexpr int kDayListSpan = 7;
constexpr int kDayListPopupOffset = 8;
constexpr int kHighHeight = 600;
constexpr int kMiddleHeight = 300;
constexpr int kLowHeight = 165;
constexpr int kCollapsedPortHeight = 55;
const char kDateFormat[] = "yyyy/MM/dd";

} // namespace

OXAMainView::OXAMainView(QObject *controller, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::OXAMainView), m_pController(controller)
{
    ui->setupUi(this);
    qApp->installEventFilter(this);
    ui->menu_View->menuAction()->setVisible(false);

    m_pPortsWidget = new QWidget;
    m_pPortsWidget->setObjectName(QStringLiteral("pw"));
    m_pPortsWidget->setStyleSheet(QStringLiteral("#pw {background-color:rgb(42,42,42);}"));
    m_pPortsLayout = new QVBoxLayout(m_pPortsWidget);
    m_pPortsLayout->setContentsMargins(0, 0, 0, 0);
    m_pPortsLayout->setSpacing(0);
    m_pTailSpacer = new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_pPortsLayout->addItem(m_pTailSpacer);
    ui->scrollArea->setWidget(m_pPortsWidget);

    // The time scroll bar runs along the bottom of the timeline column, over the ports.
    ui->m_cursor->setParent(ui->scrollArea);
    ui->m_cursor->show();
    ui->m_cursor->raise();

    m_pTcLine = new QWidget(ui->scrollArea);
    m_pTcLine->setObjectName(QStringLiteral("m_pTcLine"));
    m_pTcLine->setStyleSheet(QStringLiteral("background-color: rgb(51, 109, 149);"));
    m_pTcLine->setAttribute(Qt::WA_StyledBackground);
    // The line is only a marker: clicks go to the items and timelines under it.
    m_pTcLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pTcLine->setGeometry(QRect());
    m_pTcLine->hide();
    m_pTcLine->raise();

    ui->zoom->setValue((ui->zoom->minimum() + ui->zoom->maximum()) / 2);
    ui->m_comboGotoDay->setPopupOffset(kDayListPopupOffset);

    connect(ui->zoom, &QSlider::valueChanged, this, &OXAMainView::zoomChanged);
    connect(ui->actNewTask, &QAction::triggered, this, &OXAMainView::btnNewClicked);
    connect(ui->btnNew, &QPushButton::clicked, this, &OXAMainView::btnNewClicked);
    connect(ui->actSettings, &QAction::triggered, this, &OXAMainView::settings);
    connect(ui->actMtnSetting, &QAction::triggered, this, &OXAMainView::mtnSetting);
    connect(ui->action_Exit, &QAction::triggered, this, &OXAMainView::slotExit);
    // An operator who closes the window or logs out keeps what was entered, not only one
    // who leaves through Exit. A session save may not end the program, so it always writes.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &OXAMainView::saveSettingsOnExit);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [](QSessionManager &) {
        if (Settings *s = Settings::instance())
            s->store(Settings::settingsFolder() + QStringLiteral("Settings.xml"));
    });
    connect(ui->m_chkLockTimeScroll, &QCheckBox::clicked, this, &OXAMainView::slotLockTimeScroll);
    connect(ui->m_cursor, &QSlider::valueChanged, this, &OXAMainView::sliderValueChanged);
    connect(ui->action_About, &QAction::triggered, this, &OXAMainView::slotAboutClicked);
    connect(ui->m_btnGotoTc, &QPushButton::clicked, this, &OXAMainView::slotGotoTc);
    connect(ui->m_btnZoomIn, &QPushButton::clicked, this, &OXAMainView::slotZoomIn);
    connect(ui->m_btnZoomOut, &QPushButton::clicked, this, &OXAMainView::slotZoomOut);
    connect(ui->actDeleteAllSchedules, &QAction::triggered, this, &OXAMainView::slotDeleteAllSchedules);
    connect(ui->actAddSchedules10Per, &QAction::triggered, this, &OXAMainView::slotAddSchedules10Per);
    connect(ui->m_btnHighHeight, &QPushButton::clicked, this, &OXAMainView::slotSetPortHighHeight);
    connect(ui->m_btnMiddleHeight, &QPushButton::clicked, this, &OXAMainView::slotSetPortMiddleHeight);
    connect(ui->m_btnLowHeight, &QPushButton::clicked, this, &OXAMainView::slotSetPortLowHeight);
    connect(this, &OXAMainView::sigResizePortHeight, this, &OXAMainView::reHeightAllPorts,
            Qt::QueuedConnection);
    connect(this, &OXAMainView::sigUpdateView, this, &OXAMainView::slotUpdateView, Qt::QueuedConnection);

    ui->menu_Tool->addSeparator();
    QAction *actScheduleList = ui->menu_Tool->addAction(tr("Schedule &List"));
    actScheduleList->setObjectName(QStringLiteral("actScheduleList"));
    actScheduleList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(actScheduleList, &QAction::triggered, this, &OXAMainView::sigScheduleList);

    m_pLinkStatusBar = new LinkStatusBar(this);
    setStatusBar(m_pLinkStatusBar);
    // Over the viewport, so that the time scroll bar and the current-timecode line stay on top.
    m_pLinkDimmer = new QWidget(ui->scrollArea->viewport());
    m_pLinkDimmer->setObjectName(QStringLiteral("m_linkDimmer"));
    m_pLinkDimmer->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 55%);"));
    m_pLinkDimmer->setAttribute(Qt::WA_StyledBackground);
    m_pLinkDimmer->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pLinkDimmer->hide();
    installShortcuts();

    updateDate();
    ui->menuTestMenu->menuAction()->setVisible(false);
    ui->m_txtGotoTc->selectAll();
}

OXAMainView::~OXAMainView()
{
    qApp->removeEventFilter(this);
    delete ui;
}

QSlider *OXAMainView::zoomSlider() const
{
    return ui->zoom;
}

QSlider *OXAMainView::timeScrollBar() const
{
    return ui->m_cursor;
}

QCheckBox *OXAMainView::lockCheckBox() const
{
    return ui->m_chkLockTimeScroll;
}

QLabel *OXAMainView::tcLabel() const
{
    return ui->labelTC;
}

ProxyComboBox *OXAMainView::gotoDayCombo() const
{
    return ui->m_comboGotoDay;
}

InputTcWidget *OXAMainView::gotoTcInput() const
{
    return ui->m_txtGotoTc;
}

QPushButton *OXAMainView::gotoButton() const
{
    return ui->m_btnGotoTc;
}

PaintTcScale *OXAMainView::scaleWidget() const
{
    return ui->m_scaleWidget;
}

bool OXAMainView::isLocked() const
{
    return ui->m_chkLockTimeScroll->isChecked();
}

int OXAMainView::timelineWidth() const
{
    return ui->m_cursor->width();
}

QDate OXAMainView::workingDate() const
{
    const Settings *s = Settings::instance();
    if (s && s->m_date.isValid())
        return s->m_date;
    return QDate::currentDate();
}

void OXAMainView::removeAllServerWidgets()
{
    const QMap<QString, ServerWidget *> panels = m_mapServerWidgets;
    m_mapServerWidgets.clear();
    for (ServerWidget *panel : panels) {
        m_pPortsLayout->removeWidget(panel);
        delete panel;
    }
}

void OXAMainView::addServerWidget(ServerWidget *widget)
{
    if (!widget || m_mapServerWidgets.contains(widget->serverId()))
        return;
    m_pPortsLayout->addWidget(widget);
    m_pPortsLayout->removeItem(m_pTailSpacer);
    m_pPortsLayout->addItem(m_pTailSpacer);
    m_mapServerWidgets.insert(widget->serverId(), widget);
    if (m_iViewFrames > 0)
        widget->setViewFrames(m_iViewFrames);
    m_pTcLine->raise();
    ui->m_cursor->raise();
}

void OXAMainView::zoomChanged(int val)
{
    emit sigUpdateView();
    if (Settings *s = Settings::instance())
        s->assign(s->m_iZoomValue, val);
    const int oldFrames = m_iViewFrames;
    m_iViewFrames = zoomViewFrames(val - ui->zoom->minimum(), ui->zoom->maximum() - ui->zoom->minimum(),
                                   m_iZoomLevels, m_iViewFrames);
    for (ServerWidget *server : qAsConst(m_mapServerWidgets))
        server->setViewFrames(m_iViewFrames);
    updateScrollRange(oldFrames, m_iViewFrames);
    m_bZoomAtMouse = false;
}

void OXAMainView::updateScrollRange(int oldFrames, int newFrames)
{
    const int c = m_curTc.frames;
    const int width = timelineWidth();
    const ScrollRange range = computeScrollRange(axisFramesPerDay(m_curTc.rate), c, m_iViewFrames, width);
    const int pan = m_iPanFrames;
    {
        // Narrowing the range must not move the pan before the new offset is worked out.
        const QSignalBlocker blocker(ui->m_cursor);
        ui->m_cursor->setRange(range.minimum, range.maximum);
    }
    const int oldOrigin = m_iOriginFrame;
    m_iOriginFrame = c;
    m_iOriginX = range.originX;
    const int scroll = m_bZoomAtMouse ? panAfterZoomAtMouse(m_iZoomMouseX, m_iOriginX, width, oldFrames,
                                                            newFrames, qint64(oldOrigin) + pan, c)
                                      : int(qint64(pan) - c + oldOrigin);
    setScrollPos(scroll);
    ui->m_cursor->setPageStep(range.step);
    ui->m_cursor->setSingleStep(range.step);
}

void OXAMainView::setScrollPos(int v)
{
    const int clamped = std::clamp(v, ui->m_cursor->minimum(), ui->m_cursor->maximum());
    ui->m_cursor->setValue(isLocked() ? 0 : clamped);
    m_iPanFrames = clamped;
}

void OXAMainView::btnNewClicked()
{
    emit sigNewTask();
}

void OXAMainView::settings()
{
    emit sigSettings();
}

void OXAMainView::mtnSetting()
{
    emit sigMtnSetting();
}

void OXAMainView::slotExit()
{
    saveSettingsOnExit();
    close();
}

void OXAMainView::saveSettingsOnExit()
{
    if (m_bSettingsSaved)
        return;
    if (Settings *s = Settings::instance())
        m_bSettingsSaved = s->store(Settings::settingsFolder() + QStringLiteral("Settings.xml"));
}

void OXAMainView::closeEvent(QCloseEvent *event)
{
    saveSettingsOnExit();
    QMainWindow::closeEvent(event);
}

void OXAMainView::slotLockTimeScroll(bool bLocked)
{
    ui->m_chkLockTimeScroll->setChecked(bLocked);
    if (Settings *s = Settings::instance())
        s->assign(s->m_bLockTimeScroll, bLocked);
    ui->m_cursor->setEnabled(!bLocked);
    updateScrollRange(m_iViewFrames, m_iViewFrames);
    setScrollPos(0);
}

void OXAMainView::timeLinePosChanged(const TimeCode &tc)
{
    const int width = timelineWidth();
    if (m_iViewFrames <= 0) {
        m_pTcLine->hide();
        return;
    }
    const double column = double(width) / m_iViewFrames * (double(tc.frames) - m_iPanFrames - m_iOriginFrame);
    const double x = std::round(TimelineLeft + column + m_iOriginX);
    if (x < TimelineLeft || x > TimelineLeft + width) {
        m_pTcLine->hide();
        return;
    }
    const int ix = int(x);
    m_pTcLine->setGeometry(QRect(QPoint(ix, 0), QPoint(ix, ui->scrollArea->height() - kCursorBottom)));
    m_pTcLine->show();
    m_pTcLine->raise();
}

void OXAMainView::sliderPosChanged(const TimeCode &tc)
{
    if (isLocked())
        setScrollPos(int(qint64(tc.frames) - m_iOriginFrame));
}

void OXAMainView::sliderValueChanged(int iVal)
{
    emit sigUpdateView();
    m_iPanFrames = iVal;
}

void OXAMainView::slotAboutClicked()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void OXAMainView::slotGotoTc()
{
    const quint32 packed = ui->m_txtGotoTc->value();
    if (packed == 0xFFFFFFFFu)
        return;
    if (isLocked())
        slotLockTimeScroll(false);
    const QDate day = QDate::fromString(ui->m_comboGotoDay->currentText(), QLatin1String(kDateFormat));
    const int days = day.isValid() ? int(workingDate().daysTo(day)) : 0;
    const TimeCode target = m_curTc.atPacked(int(packed), days);
    setScrollPos(int(qint64(target.frames) - m_iOriginFrame));
}

// The panels size themselves and the ports widget follows its layout; the controller connects the
// panels' height and splitter signals here, and the window has nothing to add to them.
void OXAMainView::resizeSceneHeight() {}

void OXAMainView::slotDrawPortSplitter(int iPosY, bool bLongSplitter)
{
    Q_UNUSED(iPosY)
    Q_UNUSED(bLongSplitter)
}

void OXAMainView::slotClearSplitterLine() {}

void OXAMainView::slotZoomIn()
{
    ui->zoom->setValue(std::max(ui->zoom->minimum(), ui->zoom->value() - 1));
}

void OXAMainView::slotZoomOut()
{
    ui->zoom->setValue(std::min(ui->zoom->maximum(), ui->zoom->value() + 1));
}

void OXAMainView::slotDeleteAllSchedules()
{
    emit sigDeleteAllSchedules();
}

void OXAMainView::slotAddSchedules10Per()
{
    emit sigAddSchedules10Per();
}

void OXAMainView::reHeightAllPorts(int iPortHeight)
{
    int total = 0;
    for (const ServerWidget *server : qAsConst(m_mapServerWidgets)) {
        if (server->isCollapsed()) {
            total += server->panelHeight();
            continue;
        }
        for (const ServerPortWidget *row : server->portWidgets()) {
            if (!row->isHiddenProxy())
                total += row->isCollapsed() ? kCollapsedPortHeight : iPortHeight;
        }
    }
    m_pPortsWidget->resize(ui->scrollArea->width() - kVerticalScrollBarWidth, total);
    for (ServerWidget *server : qAsConst(m_mapServerWidgets)) {
        if (!server->isCollapsed())
            server->setPortsHeight(iPortHeight);
    }
}

void OXAMainView::slotSetPortHighHeight()
{
    emit sigResizePortHeight(kHighHeight);
}

void OXAMainView::slotSetPortMiddleHeight()
{
    emit sigResizePortHeight(kMiddleHeight);
}

void OXAMainView::slotSetPortLowHeight()
{
    emit sigResizePortHeight(kLowHeight);
}

void OXAMainView::slotUpdateView()
{
    m_pPortsWidget->update();
}

void OXAMainView::installShortcuts()
{
    for (const MainShortcut &entry : mainShortcuts()) {
        const QString name = QLatin1String(entry.actionName);
        const bool connectedElsewhere = entry.command == MainCommand::NewSchedule ||
                                        entry.command == MainCommand::Settings ||
                                        entry.command == MainCommand::ScheduleList;
        QAction *action = findChild<QAction *>(name);
        if (!action) {
            // A key for a menu entry the window does not have would do nothing.
            if (connectedElsewhere)
                continue;
            action = new QAction(QString::fromUtf8(entry.description), this);
            action->setObjectName(name);
        }
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.keys)));
        action->setProperty(kShortcutDescription, QString::fromUtf8(entry.description));
        // Also on the window itself, so that keys of actions in a hidden menu stay live.
        addAction(action);
        m_listShortcutActions.append(action);

        switch (entry.command) {
        case MainCommand::ZoomIn:
            connect(action, &QAction::triggered, this, &OXAMainView::slotZoomOut);
            break;
        case MainCommand::ZoomOut:
            connect(action, &QAction::triggered, this, &OXAMainView::slotZoomIn);
            break;
        case MainCommand::GoToNow:
            connect(action, &QAction::triggered, this, &OXAMainView::slotGoToNow);
            break;
        case MainCommand::PreviousSchedule:
            connect(action, &QAction::triggered, this, &OXAMainView::slotPreviousSchedule);
            break;
        case MainCommand::NextSchedule:
            connect(action, &QAction::triggered, this, &OXAMainView::slotNextSchedule);
            break;
        case MainCommand::RetryNow:
            connect(action, &QAction::triggered, this, &OXAMainView::sigRetryNow);
            break;
        case MainCommand::NewSchedule:
        case MainCommand::Settings:
        case MainCommand::ScheduleList:
            break; // the menu entry is already connected
        }
    }

    ui->menu_Help->addSeparator();
    QAction *list = ui->menu_Help->addAction(tr("&Keyboard shortcuts"));
    list->setObjectName(QStringLiteral("actKeyboardShortcuts"));
    connect(list, &QAction::triggered, this, &OXAMainView::slotKeyboardShortcuts);
}

QList<QPair<QKeySequence, QString>> OXAMainView::shortcutEntries() const
{
    QList<QPair<QKeySequence, QString>> entries;
    for (const QAction *action : m_listShortcutActions)
        entries.append({action->shortcut(), action->property(kShortcutDescription).toString()});
    return entries;
}

QString OXAMainView::keyboardShortcutsText() const
{
    return shortcutListText(shortcutEntries(), mainMouseGestures());
}

void OXAMainView::slotKeyboardShortcuts()
{
    ConfirmDialog dialog(this);
    dialog.prepare(shortcutListHtml(shortcutEntries(), mainMouseGestures()), tr("Keyboard shortcuts"),
                   ConfirmDialog::OkOnly, ConfirmDialog::Information);
    // The box is sized for a sentence or two; the list is longer.
    if (QLayout *layout = dialog.layout()) {
        const int width = std::max(dialog.width(), 560);
        dialog.resize(width, std::max(dialog.height(), layout->totalHeightForWidth(width)));
    }
    dialog.exec();
}

void OXAMainView::slotGoToNow()
{
    slotLockTimeScroll(true);
}

void OXAMainView::slotPreviousSchedule()
{
    moveToAdjacentSchedule(false);
}

void OXAMainView::slotNextSchedule()
{
    moveToAdjacentSchedule(true);
}

void OXAMainView::moveToAdjacentSchedule(bool forward)
{
    ServerPortWidget *row = focusedPort();
    if (!row)
        return;
    QList<int> starts;
    for (const TimelineItemWidget *item : row->timeline()->items()) {
        if (!item->isMaintenance())
            starts.append(item->startFrame());
    }
    const std::optional<int> target = adjacentStart(starts, qint64(anchorFrame()), forward);
    if (!target)
        return;
    if (isLocked())
        slotLockTimeScroll(false);
    setScrollPos(int(qint64(*target) - m_iOriginFrame));
}

ServerPortWidget *OXAMainView::focusedPort() const
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto *row = qobject_cast<ServerPortWidget *>(w))
            return isAncestorOf(row) ? row : nullptr;
    }
    ServerPortWidget *clicked = m_pLastClickedPort.data();
    return clicked && isAncestorOf(clicked) ? clicked : nullptr;
}

void OXAMainView::noteClickedPort(QWidget *receiver)
{
    for (QWidget *w = receiver; w; w = w->parentWidget()) {
        if (auto *row = qobject_cast<ServerPortWidget *>(w)) {
            if (isAncestorOf(row))
                m_pLastClickedPort = row;
            return;
        }
    }
}

void OXAMainView::setLinkDimmed(bool dimmed)
{
    // The explicit state, not isVisible(): the window may not be shown yet.
    if (dimmed == isLinkDimmed())
        return;
    if (dimmed) {
        m_pLinkDimmer->setGeometry(ui->scrollArea->viewport()->rect());
        m_pLinkDimmer->raise();
    }
    m_pLinkDimmer->setVisible(dimmed);
    setPortCommandsLinkUp(!dimmed);
}

void OXAMainView::setPortCommandsLinkUp(bool up)
{
    for (ServerWidget *server : serverWidgets()) {
        for (ServerPortWidget *row : server->portWidgets())
            row->setLinkUp(up);
    }
}

bool OXAMainView::isLinkDimmed() const
{
    return !m_pLinkDimmer->isHidden();
}

void OXAMainView::applyTimecodeMode(const TimeCode &tc)
{
    m_curTc = tc;
    m_iZoomLevels = tc.valid ? zoomLevelsFor(tc.rate) : defaultZoomLevels();
    Settings *s = Settings::instance();
    // Re-applying the stored lock and zoom (or the middle zoom for none) is no operator change.
    const Settings::Quiet quiet(s);
    slotLockTimeScroll(s ? s->m_bLockTimeScroll : isLocked());
    QSlider *zoom = ui->zoom;
    int value = s ? s->m_iZoomValue : zoom->value();
    if (value < zoom->minimum() || value > zoom->maximum())
        value = (zoom->minimum() + zoom->maximum()) / 2;
    if (value != zoom->value())
        zoom->setValue(value);
    else
        zoomChanged(value);
}

void OXAMainView::updateCurrentTc(const TimeCode &tc)
{
    m_curTc = tc;
    if (isLocked())
        setScrollPos(int(qint64(tc.frames) - m_iOriginFrame));
    timeLinePosChanged(tc);
    rebuildScaleLabels();
    ui->labelTC->setText(
        QStringLiteral("[%1] %2").arg(workingDate().day(), 2, 10, QLatin1Char('0')).arg(tc.toString()));
}

void OXAMainView::rebuildScaleLabels()
{
    ScaleLabelInput input;
    input.viewFrames = m_iViewFrames;
    input.zoomLevels = m_iZoomLevels;
    input.anchorFrame = anchorFrame();
    input.originX = m_iOriginX;
    input.width = timelineWidth();
    input.rate = m_curTc.rate;
    input.midnightFrames = m_curTc.origin;
    input.date = workingDate();
    ui->m_scaleWidget->setLabels(computeScaleLabels(input));
}

void OXAMainView::updateDate()
{
    const QDate today = workingDate();
    ProxyComboBox *combo = ui->m_comboGotoDay;
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (int d = -kDayListSpan; d <= kDayListSpan; ++d)
        combo->addItem(today.addDays(d).toString(QLatin1String(kDateFormat)));
    combo->setCurrentIndex(kDayListSpan);
}

void OXAMainView::placeTimeAxisWidgets()
{
    const QSize area = ui->scrollArea->size();
    ui->m_cursor->setGeometry(TimelineLeft, area.height() - kCursorBottom,
                              std::max(1, area.width() - TimelineRightReserve), kCursorHeight);
    ui->m_cursor->raise();
    updateScrollRange(m_iViewFrames, m_iViewFrames);
    // Until a timecode has arrived there is no current time to mark.
    if (m_curTc.valid)
        timeLinePosChanged(m_curTc);
}

void OXAMainView::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeTimeAxisWidgets();
}

bool OXAMainView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType())
        noteClickedPort(static_cast<QWidget *>(watched));
    switch (event->type()) {
    case QEvent::Wheel:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (watched->isWidgetType() && watched->objectName() == QLatin1String("timeline") &&
            isAncestorOf(static_cast<QWidget *>(watched)))
            return filterTimelineEvent(watched, event);
        break;
    case QEvent::Resize:
        // The scroll area settles its size after the window's own resize event.
        if (watched == ui->scrollArea)
            placeTimeAxisWidgets();
        else if (watched == ui->scrollArea->viewport())
            m_pLinkDimmer->setGeometry(ui->scrollArea->viewport()->rect());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool OXAMainView::filterTimelineEvent(QObject *watched, QEvent *event)
{
    Q_UNUSED(watched)
    switch (event->type()) {
    case QEvent::Wheel: {
        auto *e = static_cast<QWheelEvent *>(event);
        if (e->modifiers() != Qt::ControlModifier)
            return false;
        const QPoint delta = e->angleDelta();
        const int d = delta.y() != 0 ? delta.y() : delta.x();
        QSlider *zoom = ui->zoom;
        const int value = std::clamp(zoom->value() + (d > 0 ? 1 : -1), zoom->minimum(), zoom->maximum());
        m_bZoomAtMouse = true;
        m_iZoomMouseX = int(e->position().x());
        zoom->setValue(value);
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton && e->modifiers() == Qt::ControlModifier) {
            m_iPressPan = m_iPanFrames;
            m_ptPress = e->pos();
        }
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        const int width = timelineWidth();
        if (!isLocked() && e->buttons() == Qt::LeftButton && e->modifiers() == Qt::ControlModifier &&
            width > 0 && (e->pos() - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
            const double frames = double(m_ptPress.x() - e->pos().x()) / width * m_iViewFrames + m_iPressPan;
            setScrollPos(int(std::trunc(frames)));
        }
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_ptPress = QPoint(0, 0);
        m_iPressPan = m_iPanFrames;
        return true;
    default:
        return false;
    }
}
