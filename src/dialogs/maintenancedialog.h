#pragma once

#include "widgets/framelessdialog.h"

namespace Ui {
class MaintenanceDialog;
}

// Sets the daily maintenance time or asks for a maintenance at once. The dialog only asks: the
// owner checks the window, reports a conflict through showConflict() (the dialog then stays open
// with the operator's value) and closes the dialog through slotCloseMtnDialog() once a request
// went out.
class MaintenanceDialog : public FramelessDialog
{
    Q_OBJECT

public:
    explicit MaintenanceDialog(QWidget *parent = nullptr);
    ~MaintenanceDialog() override;

    // Shows an integer-packed timecode as hh:mm:ss; -1 (or anything unprintable) shows 02:00:00.
    void setMaintenanceTime(int tc);
    // The input as an integer-packed timecode (frames 0), -1 when it holds no valid time.
    int maintenanceTime() const;

    bool isSetEnabled() const;
    bool isExecEnabled() const;

    // Lists the ports whose window is taken ("Maintenance Error"); returns once the operator
    // has read it, with the dialog still open.
    void showConflict(const QString &errorText);

signals:
    void sigMaintenance(bool bNow, int iTc);

public slots:
    void slotBtnMtnSetClicked();
    void slotBtnCancelClicked();
    void slotBtnMtnClicked();
    void slotCloseMtnDialog();
    void slotResetBtnExec();
    void slotTcChanged();
    void slotClose();
    // The owner's live window state: free (mtnDone) or taken (mtnNoDone).
    void slotMtnDone();
    void slotMtnNoDone();
    void slotCanMaintenanceNow(bool bCan);

private:
    Ui::MaintenanceDialog *ui = nullptr;
};
