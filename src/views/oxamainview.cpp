#include "views/oxamainview.h"

#include "cmn/timecodemode.h"
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
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSessionManager>
#include <QSet>
#include <QSignalBlocker>
#include <QSpacerItem>
#include <QStyleOption>
#include <QTextBrowser>
#include <QTimer>
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
// One wheel notch or +/- key narrows the shown span to this share of it (or widens by its inverse).
constexpr double kZoomNotch = 0.85;
// The big timecode display runs on between updates and goes grey when none came for this long.
constexpr int kTcStaleMs = 2000;
constexpr int kTcTickMs = 15;
const char kDateFormat[] = "yyyy/MM/dd";

QString tcDisplaySheet(bool stale)
{
    return stale ? QStringLiteral("color: rgb(128,128,128); font-size: 22px;")
                 : QStringLiteral("color: rgb(51,109,149); font-size: 22px;");
}

// The big timecode display repaints every frame. It paints the background of the bar it stands on
// itself (the window's colour, then the bar's own background), so that the window and the bars
// under it are not painted again each time.
void paintTcDisplayBackground(QLabel *label, const QRect &rect)
{
    QPainter painter(label);
    painter.fillRect(rect, label->window()->palette().brush(QPalette::Window));
    if (QWidget *bar = label->parentWidget()) {
        QStyleOption option;
        option.initFrom(bar);
        option.rect = QRect(-label->pos(), bar->size());
        bar->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, bar);
    }
}

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
    m_btnCompactHeight = new QPushButton(tr("Compact"), ui->m_btnLowHeight->parentWidget());
    m_btnCompactHeight->setObjectName(QStringLiteral("m_btnCompactHeight"));
    m_btnCompactHeight->setToolTip(tr("One line per schedule: name and status"));
    m_btnCompactHeight->setMinimumSize(ui->m_btnLowHeight->minimumSize());
    m_btnCompactHeight->setMaximumSize(ui->m_btnLowHeight->maximumSize());
    if (auto *bar = qobject_cast<QBoxLayout *>(ui->m_btnLowHeight->parentWidget()->layout()))
        bar->insertWidget(bar->indexOf(ui->m_btnLowHeight) + 1, m_btnCompactHeight);
    connect(m_btnCompactHeight, &QPushButton::clicked, this, &OXAMainView::slotSetPortCompactHeight);
    const QList<QPair<QPushButton *, int>> heightButtons = {
        {ui->m_btnHighHeight, kHighHeight},
        {ui->m_btnMiddleHeight, kMiddleHeight},
        {ui->m_btnLowHeight, kLowHeight},
        {m_btnCompactHeight, ServerPortWidget::CompactHeight}};
    for (const auto &entry : heightButtons) {
        entry.first->setCheckable(true);
        entry.first->setProperty("portHeight", entry.second);
    }
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

    m_pTcClock = new QTimer(this);
    m_pTcClock->setInterval(kTcTickMs);
    m_pTcClock->setTimerType(Qt::PreciseTimer);
    connect(m_pTcClock, &QTimer::timeout, this, &OXAMainView::tickTcDisplay);
    ui->labelTC->setStyleSheet(tcDisplaySheet(true));
    ui->labelTC->setAttribute(Qt::WA_OpaquePaintEvent);
    // A fixed size: the display changes every frame and must not lay out the top bar each time.
    ui->labelTC->ensurePolished();
    ui->labelTC->setFixedSize(
        ui->labelTC->fontMetrics().horizontalAdvance(QStringLiteral("[00] 00:00:00:00")) + 12,
        ui->labelTC->sizeHint().height());
    connect(ui->action_Contents, &QAction::triggered, this, &OXAMainView::slotHelpContents);

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
    const QMap<QString, QWidget *> headers = m_mapDisconnected;
    m_mapDisconnected.clear();
    for (QWidget *header : headers) {
        m_pPortsLayout->removeWidget(header);
        delete header;
    }
}

void OXAMainView::addDisconnectedServer(const QString &serverId, const QString &name)
{
    if (m_mapServerWidgets.contains(serverId))
        return;
    insertDisconnectedHeader(serverId, name, m_pPortsLayout->indexOf(m_pTailSpacer));
}

void OXAMainView::setServerConnected(const QString &serverId, bool connected)
{
    ServerWidget *panel = m_mapServerWidgets.value(serverId);
    if (!panel)
        return;
    if (connected)
        removeDisconnectedHeader(serverId);
    else
        insertDisconnectedHeader(serverId, panel->serverName(), m_pPortsLayout->indexOf(panel));
}

void OXAMainView::insertDisconnectedHeader(const QString &serverId, const QString &name, int index)
{
    if (m_mapDisconnected.contains(serverId))
        return;
    auto *header = new QLabel(m_pPortsWidget);
    header->setObjectName(QStringLiteral("disconnectedServer"));
    header->setFixedHeight(kCollapsedPortHeight);
    header->setEnabled(false);
    header->setIndent(12);
    header->setText(tr("%1 - disconnected").arg(name.isEmpty() ? serverId : name));
    header->setToolTip(tr("The manager knows this server but it is not connected: no ports, no requests. "
                          "It shows its ports once it connects."));
    header->setStyleSheet(QStringLiteral("#disconnectedServer { background-color: rgb(60,60,60); "
                                         "color: rgb(130,130,130); border: 1px solid rgb(21,21,21); "
                                         "font-style: italic; }"));
    m_pPortsLayout->insertWidget(index, header);
    m_mapDisconnected.insert(serverId, header);
}

void OXAMainView::removeDisconnectedHeader(const QString &serverId)
{
    if (QWidget *header = m_mapDisconnected.take(serverId)) {
        m_pPortsLayout->removeWidget(header);
        delete header;
    }
}

void OXAMainView::addServerWidget(ServerWidget *widget)
{
    if (!widget || m_mapServerWidgets.contains(widget->serverId()))
        return;
    // The server connected: its grey header gives way to the panel.
    removeDisconnectedHeader(widget->serverId());
    m_pPortsLayout->addWidget(widget);
    m_pPortsLayout->removeItem(m_pTailSpacer);
    m_pPortsLayout->addItem(m_pTailSpacer);
    m_mapServerWidgets.insert(widget->serverId(), widget);
    // The rows come with their stored heights: the button shows the one they share.
    QSet<int> heights;
    for (const ServerWidget *server : qAsConst(m_mapServerWidgets)) {
        for (const ServerPortWidget *row : server->portWidgets()) {
            if (!row->isHiddenProxy())
                heights.insert(row->expandedHeight());
        }
    }
    markHeightInForce(heights.size() == 1 ? *heights.cbegin() : -1);
    if (m_iViewFrames > 0)
        widget->setViewFrames(m_iViewFrames);
    m_pTcLine->raise();
    ui->m_cursor->raise();
}

void OXAMainView::zoomChanged(int val)
{
    applyZoom(val, zoomViewFrames(val - ui->zoom->minimum(), ui->zoom->maximum() - ui->zoom->minimum(),
                                  m_iZoomLevels, m_iViewFrames));
}

void OXAMainView::applyZoom(int sliderValue, int viewFrames)
{
    emit sigUpdateView();
    if (Settings *s = Settings::instance())
        s->assign(s->m_iZoomValue, sliderValue);
    const int oldFrames = m_iViewFrames;
    m_iViewFrames = viewFrames;
    for (ServerWidget *server : qAsConst(m_mapServerWidgets))
        server->setViewFrames(m_iViewFrames);
    updateScrollRange(oldFrames, m_iViewFrames);
    m_bZoomAtMouse = false;
}

void OXAMainView::zoomBy(double factor, bool atMouse)
{
    const int lowest = m_iZoomLevels[0];
    const int highest = m_iZoomLevels[5];
    const int current = m_iViewFrames > 0 ? m_iViewFrames : highest;
    const int target = int(std::clamp<double>(std::round(current * factor), lowest, highest));
    // At a limit nothing changes, but a wheel zoom stays "at the mouse" until the next zoom.
    m_bZoomAtMouse = m_bZoomAtMouse || atMouse;
    if (target == m_iViewFrames)
        return;
    QSlider *zoom = ui->zoom;
    const int span = zoom->maximum() - zoom->minimum();
    const int value = zoom->minimum() + int(std::lround(zoomSliderValue(target, span, m_iZoomLevels)));
    {
        // The slider shows the nearest position; the span itself is the exact factor away.
        const QSignalBlocker blocker(zoom);
        zoom->setValue(std::clamp(value, zoom->minimum(), zoom->maximum()));
    }
    m_bZoomAtMouse = atMouse;
    applyZoom(zoom->value(), target);
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
    m_bSettingScroll = true;
    ui->m_cursor->setValue(isLocked() ? 0 : clamped);
    m_bSettingScroll = false;
    m_iPanFrames = clamped;
    if (!m_bFollowingTc)
        refreshView();
}

void OXAMainView::refreshView()
{
    const int anchor = anchorFrame();
    for (ServerWidget *server : qAsConst(m_mapServerWidgets)) {
        for (ServerPortWidget *row : server->portWidgets())
            row->timeline()->setView(anchor, m_iOriginX);
    }
    if (m_curTc.valid)
        timeLinePosChanged(m_curTc);
    rebuildScaleLabels();
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
    // The operator moved the scroll bar (setScrollPos refreshes once it has set the pan).
    if (!m_bSettingScroll)
        refreshView();
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
    // The left button widens the span, by one wheel notch.
    zoomBy(1.0 / kZoomNotch);
}

void OXAMainView::slotZoomOut()
{
    zoomBy(kZoomNotch);
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
    markHeightInForce(iPortHeight);
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
    total += kCollapsedPortHeight * m_mapDisconnected.size();
    m_pPortsWidget->resize(ui->scrollArea->width() - kVerticalScrollBarWidth, total);
    for (ServerWidget *server : qAsConst(m_mapServerWidgets)) {
        if (!server->isCollapsed())
            server->setPortsHeight(iPortHeight);
    }
}

void OXAMainView::markHeightInForce(int height)
{
    // The button of the height in force stays pressed; none when the rows differ.
    for (QPushButton *button :
         {ui->m_btnHighHeight, ui->m_btnMiddleHeight, ui->m_btnLowHeight, m_btnCompactHeight})
        button->setChecked(button->property("portHeight").toInt() == height);
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

void OXAMainView::slotSetPortCompactHeight()
{
    emit sigResizePortHeight(ServerPortWidget::CompactHeight);
}

void OXAMainView::slotUpdateView()
{
    // What the axis moves is the timeline column in view; the panels beside it stay as they are,
    // and repainting them (hundreds of labels and buttons) on every zoom and pan step is wasted.
    const QWidget *viewport = ui->scrollArea->viewport();
    const QRect shown(m_pPortsWidget->mapFrom(viewport, QPoint(0, 0)), viewport->size());
    m_pPortsWidget->update(QRect(TimelineLeft, shown.top(), timelineWidth(), shown.height()));
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
        case MainCommand::ShiftLeft:
            connect(action, &QAction::triggered, this, &OXAMainView::slotShiftLeft);
            break;
        case MainCommand::ShiftRight:
            connect(action, &QAction::triggered, this, &OXAMainView::slotShiftRight);
            break;
        case MainCommand::DeleteSchedule:
            connect(action, &QAction::triggered, this, &OXAMainView::slotDeleteSelected);
            break;
        case MainCommand::UndoMove:
            connect(action, &QAction::triggered, this, &OXAMainView::sigUndoMove);
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

QString helpMarkdown(const QString &readme)
{
    // From "## Using the client" up to the next section of the same level.
    const QString heading = QStringLiteral("## Using the client");
    const int start = readme.indexOf(heading);
    if (start < 0)
        return QString();
    const int end = readme.indexOf(QStringLiteral("\n## "), start + heading.size());
    return readme.mid(start, end < 0 ? -1 : end - start + 1);
}

void OXAMainView::slotHelpContents()
{
    if (!m_pHelpWindow) {
        m_pHelpWindow = new QDialog(this);
        m_pHelpWindow->setObjectName(QStringLiteral("helpWindow"));
        m_pHelpWindow->setWindowTitle(tr("Help"));
        m_pHelpWindow->resize(720, 640);
        auto *layout = new QVBoxLayout(m_pHelpWindow);
        auto *browser = new QTextBrowser(m_pHelpWindow);
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->setOpenExternalLinks(true);
        QFile file(QStringLiteral(":/OXA/help/README.md"));
        const QString text =
            file.open(QIODevice::ReadOnly) ? helpMarkdown(QString::fromUtf8(file.readAll())) : QString();
        if (text.isEmpty())
            browser->setPlainText(tr("The help text is not part of this build."));
        else
            browser->setMarkdown(text);
        layout->addWidget(browser);
    }
    m_pHelpWindow->show();
    m_pHelpWindow->raise();
    m_pHelpWindow->activateWindow();
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
    for (const TimelineItemData &item : row->timeline()->itemsData()) {
        if (!item.maintenance)
            starts.append(item.startFrame);
    }
    const std::optional<int> target = adjacentStart(starts, qint64(anchorFrame()), forward);
    if (!target)
        return;
    unlockForNavigation();
    setScrollPos(int(qint64(*target) - m_iOriginFrame));
}

void OXAMainView::unlockForNavigation()
{
    if (isLocked())
        slotLockTimeScroll(false);
}

void OXAMainView::shiftView(int direction)
{
    unlockForNavigation();
    setScrollPos(int(qint64(m_iPanFrames) + direction * std::max(1, m_iViewFrames / 10)));
}

void OXAMainView::slotShiftLeft()
{
    shiftView(-1);
}

void OXAMainView::slotShiftRight()
{
    shiftView(1);
}

QString OXAMainView::selectedTaskId() const
{
    // Kept by the timeline as a task id: the widget that was clicked may draw another item by now.
    const TimelineWidget *timeline = m_pSelectedTimeline.data();
    if (!timeline || !isAncestorOf(timeline))
        return QString();
    const QString id = timeline->selectedItem();
    return timeline->hasItem(id) ? id : QString();
}

void OXAMainView::slotDeleteSelected()
{
    const QString id = selectedTaskId();
    if (!id.isEmpty())
        emit sigDeleteSchedule(id);
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
        if (auto *item = qobject_cast<TimelineItemWidget *>(w)) {
            auto *timeline = qobject_cast<TimelineWidget *>(item->parentWidget());
            if (isAncestorOf(item) && timeline) {
                if (TimelineWidget *old = m_pSelectedTimeline.data(); old && old != timeline)
                    old->setSelectedItem(QString());
                m_pSelectedTimeline = timeline;
                timeline->setSelectedItem(item->taskId());
            }
        }
        if (auto *row = qobject_cast<ServerPortWidget *>(w)) {
            if (isAncestorOf(row))
                m_pLastClickedPort = row;
            break;
        }
    }
    markFocusedPort();
}

void OXAMainView::markFocusedPort()
{
    // The port that Alt+Left / Alt+Right work on is marked on its left panel.
    ServerPortWidget *row = focusedPort();
    if (row == m_pMarkedPort)
        return;
    if (ServerPortWidget *old = m_pMarkedPort.data())
        old->setKeyboardTarget(false);
    m_pMarkedPort = row;
    if (row)
        row->setKeyboardTarget(true);
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
    if (dimmed)
        setTcDisplayStale(true);
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
    if (isLocked()) {
        // The controller places the timelines for the new timecode right after this.
        m_bFollowingTc = true;
        setScrollPos(int(qint64(tc.frames) - m_iOriginFrame));
        m_bFollowingTc = false;
    }
    timeLinePosChanged(tc);
    rebuildScaleLabels();
    ui->labelTC->setText(
        QStringLiteral("[%1] %2").arg(workingDate().day(), 2, 10, QLatin1Char('0')).arg(tc.toString()));
    m_tcSince.start();
    // One tick per frame of the master's clock: the display changes no more often than that.
    if (tc.valid && tc.rate.mode)
        m_pTcClock->setInterval(
            std::max(kTcTickMs, int(1000.0 * tc.rate.scale / (1000.0 * tc.rate.mode->fps()))));
    setTcDisplayStale(!tc.valid || isLinkDimmed());
}

void OXAMainView::tickTcDisplay()
{
    if (!m_curTc.valid || !m_curTc.rate.mode || !m_tcSince.isValid() || isLinkDimmed() ||
        m_tcSince.elapsed() >= kTcStaleMs) {
        setTcDisplayStale(true);
        return;
    }
    // Between port-state updates the display counts on at the master's real rate.
    const cmn::timecode_mode *mode = m_curTc.rate.mode;
    const double fps = mode->fps() * 1000.0 / std::max(1, m_curTc.rate.scale);
    TimeCode shown = m_curTc;
    shown.frames = int(qint64(m_curTc.frames) + qint64(m_tcSince.elapsed() * fps / 1000.0));
    const int perDay = mode->frames_per_day();
    const int days = int(std::floor(double(shown.frames) / perDay));
    const QString text = QStringLiteral("[%1] %2")
                             .arg(workingDate().addDays(days).day(), 2, 10, QLatin1Char('0'))
                             .arg(shown.toString());
    // The timer ticks faster than the frames change: repaint only for a new frame.
    if (text != ui->labelTC->text())
        ui->labelTC->setText(text);
}

void OXAMainView::setTcDisplayStale(bool stale)
{
    if (stale) {
        m_pTcClock->stop();
    } else if (!m_pTcClock->isActive()) {
        m_pTcClock->start();
    }
    if (stale == m_bTcStale)
        return;
    m_bTcStale = stale;
    // The colour says whether the figure is live; a stopped figure is grey.
    ui->labelTC->setStyleSheet(tcDisplaySheet(stale));
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
    if (watched == ui->labelTC && event->type() == QEvent::Paint &&
        ui->labelTC->testAttribute(Qt::WA_OpaquePaintEvent)) {
        paintTcDisplayBackground(ui->labelTC, static_cast<QPaintEvent *>(event)->rect());
        return false;
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType())
        noteClickedPort(static_cast<QWidget *>(watched));
    else if (event->type() == QEvent::FocusIn && watched->isWidgetType())
        markFocusedPort();
    if (watched->isWidgetType() && isInPortsArea(static_cast<QWidget *>(watched))) {
        // Ctrl+wheel and Ctrl+drag work over the whole ports area, schedule items included; a
        // Ctrl+wheel that went on to the scroll area would page the port list instead.
        const auto type = event->type();
        if (type == QEvent::Wheel && static_cast<QWheelEvent *>(event)->modifiers() == Qt::ControlModifier)
            return filterTimelineEvent(watched, event);
        const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
                           type == QEvent::MouseButtonRelease;
        if (mouse && watched->objectName() != QLatin1String("timeline") &&
            qobject_cast<TimelineItemWidget *>(watched) &&
            (static_cast<QMouseEvent *>(event)->modifiers() == Qt::ControlModifier ||
             (type != QEvent::MouseButtonPress && !m_ptPress.isNull())))
            return filterTimelineEvent(watched, event);
    }
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

bool OXAMainView::isInPortsArea(const QWidget *w) const
{
    const QWidget *viewport = ui->scrollArea->viewport();
    return w == viewport || viewport->isAncestorOf(w);
}

int OXAMainView::timelineColumnAt(const QPoint &global) const
{
    // Every timeline shares the column origin; the scroll bar runs along them when there is none.
    for (const ServerWidget *server : m_mapServerWidgets) {
        for (const ServerPortWidget *row : server->portWidgets())
            return row->timeline()->mapFromGlobal(global).x();
    }
    return ui->m_cursor->mapFromGlobal(global).x();
}

bool OXAMainView::filterTimelineEvent(QObject *watched, QEvent *event)
{
    // Positions are taken on the screen: a drag may start on an item and go on over its timeline.
    const auto globalOf = [watched](const QMouseEvent *e) {
        return static_cast<QWidget *>(watched)->mapToGlobal(e->pos());
    };
    switch (event->type()) {
    case QEvent::Wheel: {
        auto *e = static_cast<QWheelEvent *>(event);
        if (e->modifiers() != Qt::ControlModifier)
            return false;
        const QPoint delta = e->angleDelta();
        const int d = delta.y() != 0 ? delta.y() : delta.x();
        if (d == 0)
            return true;
        // The column under the mouse on the timelines, wherever in the ports area it is.
        m_iZoomMouseX = std::clamp(timelineColumnAt(e->globalPosition().toPoint()), 0, timelineWidth());
        // Forward narrows the span, by the same factor per notch at every zoom.
        const double notches = std::abs(d) / 120.0;
        zoomBy(std::pow(d > 0 ? kZoomNotch : 1.0 / kZoomNotch, std::max(1.0, notches)), true);
        // Taken: an event left unaccepted goes on to every parent and would zoom once per level.
        e->accept();
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton && e->modifiers() == Qt::ControlModifier) {
            m_iPressPan = m_iPanFrames;
            m_ptPress = globalOf(e);
        }
        e->accept();
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        const int width = timelineWidth();
        const QPoint at = globalOf(e);
        if (e->buttons() == Qt::LeftButton && e->modifiers() == Qt::ControlModifier && width > 0 &&
            !m_ptPress.isNull() && (at - m_ptPress).manhattanLength() >= QApplication::startDragDistance()) {
            if (isLocked()) {
                // Dragging the view away from "now" ends following it, as "Go" does; the drag
                // goes on from the current timecode.
                slotLockTimeScroll(false);
                m_iPressPan = m_iPanFrames;
            }
            const double frames = double(m_ptPress.x() - at.x()) / width * m_iViewFrames + m_iPressPan;
            setScrollPos(int(std::trunc(frames)));
        }
        e->accept();
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_ptPress = QPoint(0, 0);
        m_iPressPan = m_iPanFrames;
        event->accept();
        return true;
    default:
        return false;
    }
}
