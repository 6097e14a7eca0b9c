#include "controller/editingprompts.h"

#include "dialogs/createtaskdialog.h"
#include "widgets/confirmdialog.h"

EditingPrompts EditingPrompts::interactive()
{
    EditingPrompts p;
    p.runTaskDialog = [](CreateTaskDialog &dialog) { return dialog.exec(); };
    p.message = [](QWidget *parent, const QString &text, const QString &title, int icon) {
        ConfirmDialog dialog(parent);
        dialog.run(text, title, ConfirmDialog::OkOnly, icon);
    };
    return p;
}
