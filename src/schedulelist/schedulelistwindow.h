#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class MainController;
class OXAMainView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTableView;
class ScheduleFilterProxy;
class ScheduleListFeed;
class ScheduleListModel;

// The "Schedules" window: every schedule in one sortable table, filtered by a search text and a
// status, exported as CSV. Double-clicking a row brings the schedule's start to the main window's
// anchor column and flashes its item.
class ScheduleListWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks for the file to export to; an empty answer cancels.
    using SaveFileNamePrompt = std::function<QString(QWidget *parent, const QString &suggested)>;
    using ErrorPrompt = std::function<void(QWidget *parent, const QString &title, const QString &text)>;

    static constexpr int FlashMs = 2000;

    // Either pointer may be null: the list then stays empty or the double-click does nothing.
    explicit ScheduleListWindow(MainController *controller, OXAMainView *mainView, QWidget *parent = nullptr);

    ScheduleListModel *model() const { return m_pModel; }
    ScheduleFilterProxy *proxy() const { return m_pProxy; }
    ScheduleListFeed *feed() const { return m_pFeed; }
    QTableView *table() const { return m_pTable; }
    QLineEdit *searchField() const { return m_pSearch; }
    QComboBox *statusCombo() const { return m_pStatus; }
    QPushButton *exportButton() const { return m_pExport; }
    QLabel *countLabel() const { return m_pCount; }
    QCheckBox *keepFilterBox() const { return m_pPinFilter; }

    void setSaveFileNamePrompt(const SaveFileNamePrompt &prompt) { m_saveFileName = prompt; }
    void setErrorPrompt(const ErrorPrompt &prompt) { m_error = prompt; }

public slots:
    // Rebuilds the rows from the controller and shows the window on top.
    void showList();
    // Writes the shown rows; false when cancelled or when writing failed (the operator is told).
    bool exportShown();
    // False when the row's schedule is unknown or has no start on the axis.
    bool jumpTo(const QModelIndex &proxyIndex);

private:
    void updateCount();

    QPointer<MainController> m_pController;
    QPointer<OXAMainView> m_pMainView;
    ScheduleListModel *m_pModel = nullptr;
    ScheduleFilterProxy *m_pProxy = nullptr;
    ScheduleListFeed *m_pFeed = nullptr;
    QTableView *m_pTable = nullptr;
    QLineEdit *m_pSearch = nullptr;
    QComboBox *m_pStatus = nullptr;
    QPushButton *m_pExport = nullptr;
    QLabel *m_pCount = nullptr;
    QCheckBox *m_pPinFilter = nullptr;
    SaveFileNamePrompt m_saveFileName;
    ErrorPrompt m_error;
};
