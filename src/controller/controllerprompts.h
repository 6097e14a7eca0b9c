#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class MaintenanceDialog;
class QAction;
class QMenu;
class QWidget;
class SettingDialog;

// Everything the controller runs modally: questions and messages, the settings and maintenance
// dialogs and the schedule item's menu. The defaults show them; tests put answers in their place
// so that no modal loop blocks them.
struct ControllerPrompts
{
    // A ConfirmDialog with `text`, `title`, button set and icon (ConfirmDialog's enums); returns its
    // result (1 for OK).
    std::function<int(QWidget *parent, const QString &text, const QString &title, int buttonSet, int icon)>
        confirm;
    // Runs the filled dialog; true when the operator pressed OK.
    std::function<bool(SettingDialog &dialog)> runSettings;
    // Runs the maintenance dialog until it closes.
    std::function<void(MaintenanceDialog &dialog)> runMaintenance;
    // Runs the menu at `pos`; returns the chosen action, null when none was.
    std::function<QAction *(QMenu &menu, const QPoint &pos)> runMenu;

    // The prompts that show real dialogs.
    static ControllerPrompts interactive();
};
