#include "controller/controllerprompts.h"

#include "dialogs/maintenancedialog.h"
#include "dialogs/settingdialog.h"
#include "widgets/confirmdialog.h"

#include <QDialog>
#include <QMenu>

ControllerPrompts ControllerPrompts::interactive()
{
    ControllerPrompts p;
    p.confirm = [](QWidget *parent, const QString &text, const QString &title, int buttonSet, int icon) {
        ConfirmDialog dialog(parent);
        return dialog.run(text, title, buttonSet, icon);
    };
    p.runSettings = [](SettingDialog &dialog) { return dialog.exec() == QDialog::Accepted; };
    p.runMaintenance = [](MaintenanceDialog &dialog) { dialog.exec(); };
    p.runMenu = [](QMenu &menu, const QPoint &pos) { return menu.exec(pos); };
    return p;
}
