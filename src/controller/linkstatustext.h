#pragma once

#include <QDateTime>
#include <QString>

// The texts of the status line about the link to the manager.

// "TRXM connected since hh:mm:ss" while connected; otherwise "TRXM disconnected, retrying in N s"
// (N counted up to whole seconds) while an attempt is pending, "TRXM address not set, retrying in
// N s" when there is no address, and "TRXM connecting..." between attempts.
QString linkStateText(bool connected, const QDateTime &since, int retryRemainingMs, bool addressSet);

// "TRXM 10.0.0.5:51000" ("[::1]:51000" for IPv6 literals), or "TRXM address not set".
QString managerAddressText(const QString &ip, int port);

// "Last push hh:mm:ss" for a time in milliseconds since the epoch, "No push received" for 0.
QString lastPushText(qint64 lastPushMs);
