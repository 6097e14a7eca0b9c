#include "views/mainshortcuts.h"

#include <QPair>

QVector<MainShortcut> mainShortcuts()
{
    // Zoom in narrows the shown span (the slider moves right), as Ctrl+wheel forward does.
    return {
        {MainCommand::ZoomIn, "actZoomIn", "Zoom in", "+"},
        {MainCommand::ZoomOut, "actZoomOut", "Zoom out", "-"},
        {MainCommand::GoToNow, "actGoToNow", "Go to now and follow it (lock on)", "Home"},
        {MainCommand::PreviousSchedule, "actPreviousSchedule", "Previous schedule on the focused port",
         "Alt+Left"},
        {MainCommand::NextSchedule, "actNextSchedule", "Next schedule on the focused port", "Alt+Right"},
        {MainCommand::NewSchedule, "actNewTask", "New schedule", "Ctrl+T"},
        {MainCommand::Settings, "actSettings", "Settings", "Ctrl+,"},
        {MainCommand::ScheduleList, "actScheduleList", "Schedule list", "Ctrl+L"},
        {MainCommand::RetryNow, "actRetryNow", "Reconnect to TRXM now (while disconnected)", "F5"},
        {MainCommand::ShiftLeft, "actLeftShift", "Pan left by a tenth of the view", "Left"},
        {MainCommand::ShiftRight, "actRightShift", "Pan right by a tenth of the view", "Right"},
        {MainCommand::DeleteSchedule, "actDeleteSchedule", "Delete the selected schedule", "Del"},
        {MainCommand::UndoMove, "actUndoMove", "Undo the last move or resize of a schedule", "Ctrl+Z"},
    };
}

QStringList mainMouseGestures()
{
    return {QStringLiteral("Ctrl+Wheel over the ports: zoom at the mouse"),
            QStringLiteral("Ctrl+Drag on a timeline or a schedule: scroll the time axis"),
            QStringLiteral("Click a schedule: select it for Del"),
            QStringLiteral("Drag a schedule: move it; drag its left or right edge: change its start or end "
                           "(whole seconds; with Shift, frames; Esc cancels)")};
}

QString shortcutListText(const QList<QPair<QKeySequence, QString>> &entries, const QStringList &gestures)
{
    QStringList lines;
    for (const auto &entry : entries)
        lines << QStringLiteral("%1: %2").arg(entry.first.toString(QKeySequence::NativeText), entry.second);
    if (!gestures.isEmpty()) {
        lines << QString();
        lines << gestures;
    }
    return lines.join(QLatin1Char('\n'));
}

QString shortcutListHtml(const QList<QPair<QKeySequence, QString>> &entries, const QStringList &gestures)
{
    QString html = QStringLiteral("<table cellspacing=\"2\">");
    for (const auto &entry : entries) {
        html += QStringLiteral("<tr><td><b>%1</b></td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(entry.first.toString(QKeySequence::NativeText).toHtmlEscaped(),
                         entry.second.toHtmlEscaped());
    }
    html += QStringLiteral("</table>");
    for (const QString &gesture : gestures)
        html += QStringLiteral("<p>%1</p>").arg(gesture.toHtmlEscaped());
    return html;
}

std::optional<int> adjacentStart(const QList<int> &starts, qint64 anchor, bool forward)
{
    std::optional<int> best;
    for (const int start : starts) {
        if (forward ? start <= anchor : start >= anchor)
            continue;
        if (!best || (forward ? start < *best : start > *best))
            best = start;
    }
    return best;
}
