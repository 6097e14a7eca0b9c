#pragma once

#include "settings/settings.h"
#include "widgets/framelessdialog.h"

#include <QDate>
#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace trx {
struct MgwInfo;
}

namespace Ui {
class SettingDialog;
}

// The operator settings: manager address and port, gateway folders, default start point and
// destinations, working date and the schedule name sets. The dialog only edits its own copy of
// the values; whoever runs it applies them on OK, so Cancel leaves the settings untouched.
class SettingDialog : public FramelessDialog
{
    Q_OBJECT

public:
    // Item data of the destination entries.
    enum { MgwIdRole = Qt::UserRole + 3, DriveIdRole = Qt::UserRole + 4 };
    static constexpr int kDefaultTrxmPort = 51000;
    static constexpr int kNameSetCount = 10;

    explicit SettingDialog(QWidget *parent = nullptr);
    ~SettingDialog() override;

    // Fills every field from the settings, the gateway list and the PC's date, as the dialog is
    // shown before it runs. Reads only.
    void fillFrom(const Settings &settings, const QList<trx::MgwInfo> &mgws, const QDate &pcToday);
    // Writes address, port, default destinations, name sets, start point and folder flag. The
    // working date and what follows from it stay with the caller (it needs the master clock).
    void applyTo(Settings &settings) const;

    void setTrxmIp(const QString &ip);
    QString trxmIp() const;
    void setTrxmPort(int port);
    QString trxmPortText() const;
    // The port to use: the field as a number, or 51000 when it is empty.
    int trxmPort() const;

    void setMgwFolder(bool bShow);
    bool mgwFolder() const;
    // 1: start point blank, 2: at the current timecode.
    void setStartPointMode(int mode);
    int startPointMode() const;

    // Yesterday, today and tomorrow of the PC, plus the working date when it is none of these
    // (so that OK never moves it silently); the working date is selected, or today when invalid.
    void setDates(const QDate &pcToday, const QDate &workingDate);
    QDate selectedDate() const;
    QDate initialDate() const { return m_initialDate; }
    // Whether OK would change the working date (a sync schedule time request is then due).
    bool isDateChanged() const;

    // One entry per gateway drive, "gateway - drive", in both destination lists.
    void setMgwList(const QList<trx::MgwInfo> &mgws);
    void setDefaultDestination(const QString &mgwId, const QString &driveId);
    void setDefaultProxyDestination(const QString &mgwId, const QString &driveId);
    void setDefaultWithProxy(bool bWithProxy);
    bool defaultWithProxy() const;
    // False (ids untouched) when the list has no selection.
    bool masterDestination(QString *mgwId, QString *driveId) const;
    bool proxyDestination(QString *mgwId, QString *driveId) const;

    QComboBox *masterMgwCombo() const;
    QComboBox *proxyMgwCombo() const;
    QCheckBox *defaultProxyCheck() const;
    // Desktop notifications on or off: schedule errors, link lost, remaining time.
    QCheckBox *notifyScheduleErrorCheck() const { return m_pNotifyScheduleError; }
    QCheckBox *notifyLinkLostCheck() const { return m_pNotifyLinkLost; }
    QCheckBox *notifyRemainTimeCheck() const { return m_pNotifyRemainTime; }

    // The working copy of the name sets; setDefaultNames replaces it.
    void setDefaultNames(const Settings::DefaultNameMap &names);
    // The working copy with the shown set taken from the two rule fields.
    Settings::DefaultNameMap defaultNames() const;
    void setCurrentNameSet(const QString &set);
    QString currentNameSet() const;
    QString defaultTaskName() const;
    QString defaultOpenEndClipName() const;

    static QStringList nameSetNames();
    static QStringList placeholders();

signals:
    void sigMaintenance();

public slots:
    void slotTrxmPortChanged(const QString &strTrxmPort);
    void slotWithDefaultProxyClicked(bool bChecked);
    void slotListDefaultTaskNameClicked(bool bDoubleClicked);
    void slotListDefaultOpenEndClipNameClicked(bool bDoubleClicked);
    void slotDefaultNameSetChanged(const QString &strDefaultNameSet);
    void slotDefaultTaskNameEidtFinished();
    void slotDefaultOpenEndClipNameEidtFinished();
    void slotChkMgwFolderClicked(bool bShow);
    void slotStartPointDefaultBlank(bool bClicked);
    void slotStartPointDefaultCurTc(bool bClicked);
    void slotDefaultNameSetOnChanged(int index);
    void slotClose();
    void slotBtnSettingOK();
    void slotBtnSettingCancel();

private:
    void addNotifyChecks();
    void insertPlaceholder(QListWidget *list, QLineEdit *edit);
    void storeShownRules();
    void storeRulesIntoSettings();
    void showRules(const QString &set);
    static void fillDestinations(QComboBox *combo, const QList<trx::MgwInfo> &mgws);
    static void selectDestination(QComboBox *combo, const QString &mgwId, const QString &driveId);
    static bool destinationOf(const QComboBox *combo, QString *mgwId, QString *driveId);

    Ui::SettingDialog *ui = nullptr;
    Settings::DefaultNameMap m_nameSets;
    QString m_strShownSet;
    QDate m_initialDate;
    bool m_bMgwFolder = false;
    int m_iStartPointMode = 1;
    QCheckBox *m_pNotifyScheduleError = nullptr;
    QCheckBox *m_pNotifyLinkLost = nullptr;
    QCheckBox *m_pNotifyRemainTime = nullptr;
};
