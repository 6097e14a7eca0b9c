#pragma once

#include <QString>

#include <functional>

class CreateTaskDialog;
class QWidget;

// How the schedule dialog and the messages of creating and editing schedules are run. The
// defaults run them modally; tests drive the dialog and read the messages instead.
struct EditingPrompts
{
    // Runs the filled schedule dialog; returns its result (QDialog::Accepted when OK went through).
    std::function<int(CreateTaskDialog &dialog)> runTaskDialog;
    // A ConfirmDialog with `text`, `title`, OK only and `icon` (ConfirmDialog::Icon).
    std::function<void(QWidget *parent, const QString &text, const QString &title, int icon)> message;

    static EditingPrompts interactive();
};
