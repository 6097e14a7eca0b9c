#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QVector>

#include <optional>

// The main window's keyboard commands. One table both registers the shortcuts and lists them in
// the "Keyboard shortcuts" box, so that the two cannot disagree.
enum class MainCommand {
    ZoomIn,
    ZoomOut,
    GoToNow,
    PreviousSchedule,
    NextSchedule,
    NewSchedule,
    Settings,
    ScheduleList,
    RetryNow,
    ShiftLeft,
    ShiftRight,
    DeleteSchedule,
    UndoMove
};

struct MainShortcut
{
    MainCommand command;
    // Object name of the window's action; an existing action of that name (from the form or a
    // menu) is given the keys, otherwise the window creates one.
    const char *actionName;
    const char *description;
    const char *keys;
};

QVector<MainShortcut> mainShortcuts();

// The mouse gestures listed under the keys; they are handled by the window's event filter.
QStringList mainMouseGestures();

// One line per shortcut, "keys: description", in table order, then the gestures.
QString shortcutListText(const QList<QPair<QKeySequence, QString>> &entries, const QStringList &gestures);
// The same as a two-column table for the shortcuts box, keys in bold.
QString shortcutListHtml(const QList<QPair<QKeySequence, QString>> &entries, const QStringList &gestures);

// The start to move the anchor to: the nearest start strictly after `anchor` (forward) or strictly
// before it (backward). Nothing when there is none in that direction.
std::optional<int> adjacentStart(const QList<int> &starts, qint64 anchor, bool forward);
