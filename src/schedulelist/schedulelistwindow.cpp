#include "schedulelist/schedulelistwindow.h"

#include "controller/maincontroller.h"
#include "schedulelist/csvexport.h"
#include "schedulelist/schedulefilterproxy.h"
#include "schedulelist/schedulejump.h"
#include "schedulelist/schedulelistfeed.h"
#include "schedulelist/schedulelistmodel.h"
#include "views/linkstatusbar.h"
#include "views/oxamainview.h"
#include "views/timelineitemwidget.h"
#include "widgets/confirmdialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const StatusGroup kFilterGroups[] = {StatusGroup::All,        StatusGroup::Scheduled, StatusGroup::Waiting,
                                     StatusGroup::InProgress, StatusGroup::Completed, StatusGroup::Errors,
                                     StatusGroup::Cancelled};

QString askSaveFileName(QWidget *parent, const QString &suggested)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Export Schedules"), suggested,
                                        QStringLiteral("CSV files (*.csv);;All files (*)"));
}

void showError(QWidget *parent, const QString &title, const QString &text)
{
    ConfirmDialog dialog(parent);
    dialog.run(text, title, ConfirmDialog::OkOnly, ConfirmDialog::Critical);
}

} // namespace

ScheduleListWindow::ScheduleListWindow(MainController *controller, OXAMainView *mainView, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_pController(controller)
    , m_pMainView(mainView)
    , m_saveFileName(askSaveFileName)
    , m_error(showError)
{
    setObjectName(QStringLiteral("ScheduleListWindow"));
    setWindowTitle(QStringLiteral("Schedules"));
    resize(1400, 520);

    m_pModel = new ScheduleListModel(this);
    m_pProxy = new ScheduleFilterProxy(this);
    m_pProxy->setSourceModel(m_pModel);
    m_pFeed = new ScheduleListFeed(controller, m_pModel, this);

    m_pSearch = new QLineEdit(this);
    m_pSearch->setObjectName(QStringLiteral("m_txtScheduleSearch"));
    m_pSearch->setPlaceholderText(QStringLiteral("Search name, server, port"));
    m_pSearch->setClearButtonEnabled(true);

    m_pStatus = new QComboBox(this);
    m_pStatus->setObjectName(QStringLiteral("m_comboScheduleStatus"));
    for (StatusGroup group : kFilterGroups)
        m_pStatus->addItem(statusGroupTitle(group), int(group));

    m_pCount = new QLabel(this);
    m_pCount->setObjectName(QStringLiteral("m_lblScheduleCount"));

    m_pPinFilter = new QCheckBox(QStringLiteral("Keep filter"), this);
    m_pPinFilter->setObjectName(QStringLiteral("m_chkScheduleKeepFilter"));
    m_pPinFilter->setToolTip(
        QStringLiteral("Keep the search and status filter the next time the list opens"));

    m_pExport = new QPushButton(QStringLiteral("Export..."), this);
    m_pExport->setObjectName(QStringLiteral("m_btnScheduleExport"));

    m_pTable = new QTableView(this);
    m_pTable->setObjectName(QStringLiteral("m_tableSchedules"));
    m_pTable->setModel(m_pProxy);
    m_pTable->setSortingEnabled(true);
    m_pTable->sortByColumn(ScheduleListModel::Start, Qt::AscendingOrder);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setAlternatingRowColors(true);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    // Widths from sample texts rather than from the rows: measuring 10,000 rows would stall the window.
    m_pTable->ensurePolished();
    const QFontMetrics metrics(m_pTable->font());
    const auto fit = [&](int column, const char *sample) {
        m_pTable->horizontalHeader()->resizeSection(column,
                                                    metrics.horizontalAdvance(QLatin1String(sample)) + 28);
    };
    fit(ScheduleListModel::Name, "A long schedule name");
    fit(ScheduleListModel::Server, "Server name");
    fit(ScheduleListModel::Port, "Port name");
    fit(ScheduleListModel::Day, "0000/00/00");
    fit(ScheduleListModel::Start, "[00] 00:00:00:00");
    fit(ScheduleListModel::End, "[00] 00:00:00:00");
    fit(ScheduleListModel::Duration, "00:00:00:00");
    fit(ScheduleListModel::Status, "Transfer Error.");

    auto *top = new QHBoxLayout;
    top->addWidget(m_pSearch, 1);
    top->addWidget(m_pStatus);
    top->addWidget(m_pPinFilter);
    top->addStretch();
    top->addWidget(m_pCount);
    top->addWidget(m_pExport);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pTable);

    connect(m_pSearch, &QLineEdit::textChanged, m_pProxy, &ScheduleFilterProxy::setSearchText);
    connect(m_pStatus, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { m_pProxy->setStatusGroup(StatusGroup(m_pStatus->itemData(index).toInt())); });
    connect(m_pExport, &QPushButton::clicked, this, &ScheduleListWindow::exportShown);
    connect(m_pTable, &QTableView::doubleClicked, this, &ScheduleListWindow::jumpTo);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_pProxy, signal, this, &ScheduleListWindow::updateCount);
    connect(m_pProxy, &QAbstractItemModel::modelReset, this, &ScheduleListWindow::updateCount);
    connect(m_pProxy, &QAbstractItemModel::layoutChanged, this, &ScheduleListWindow::updateCount);
    connect(m_pModel, &QAbstractItemModel::rowsInserted, this, &ScheduleListWindow::updateCount);
    connect(m_pModel, &QAbstractItemModel::rowsRemoved, this, &ScheduleListWindow::updateCount);

    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto *closeAction = new QAction(this);
        closeAction->setShortcut(keys);
        closeAction->setShortcutContext(Qt::WindowShortcut);
        connect(closeAction, &QAction::triggered, this, &QWidget::close);
        addAction(closeAction);
    }

    m_pFeed->reload();
    updateCount();
}

void ScheduleListWindow::showList()
{
    // Port names may have changed in the settings since the rows were built.
    m_pFeed->reload();
    if (!m_pPinFilter->isChecked()) {
        // A filter left from last time would hide schedules the operator came to find.
        m_pSearch->clear();
        m_pStatus->setCurrentIndex(0);
    }
    show();
    raise();
    activateWindow();
}

bool ScheduleListWindow::exportShown()
{
    const QString suggested = QDir::home().filePath(QStringLiteral("Schedules.csv"));
    const QString path = m_saveFileName ? m_saveFileName(this, suggested) : QString();
    if (path.isEmpty())
        return false;
    QString error;
    if (!writeFileAtomically(path, csvFromModel(*m_pProxy), &error)) {
        if (m_error)
            m_error(this, QStringLiteral("Export Error"), error);
        return false;
    }
    if (m_pMainView)
        m_pMainView->linkStatusBar()->showNotice(QStringLiteral("Exported %1 schedules to %2")
                                                     .arg(m_pProxy->rowCount())
                                                     .arg(QDir::toNativeSeparators(path)));
    return true;
}

bool ScheduleListWindow::jumpTo(const QModelIndex &proxyIndex)
{
    if (!proxyIndex.isValid() || !m_pController || !m_pMainView)
        return false;
    const QString id = proxyIndex.data(ScheduleListModel::IdRole).toString();
    const auto task = m_pController->tasks().constFind(id);
    if (task == m_pController->tasks().cend())
        return false;
    if (!scrollAxisToStart(*m_pMainView, task->start))
        return false;
    // The row may be out of view: a widget is made for the item so that it can be scrolled to.
    flashItem(m_pController->taskWidget(id, true), FlashMs);
    // The list covers the timeline; the highlighted item is what the operator came to see.
    m_pMainView->raise();
    m_pMainView->activateWindow();
    return true;
}

void ScheduleListWindow::updateCount()
{
    m_pCount->setText(QStringLiteral("%1 of %2").arg(m_pProxy->rowCount()).arg(m_pModel->rowCount()));
}
