#pragma once

#include "trx/trxmclient.h"

#include <QString>
#include <QVector>

// How long the controller waits before it tries the manager again. The first attempt after a lost
// link comes after firstDelayMs; every failed attempt after that waits the next entry of backoffMs,
// the last entry repeating, so that a manager that stays down is asked at a bounded rate. The cap
// is short: a manager that comes back is noticed within a few seconds.
struct RetryIntervals
{
    int firstDelayMs = 300;
    QVector<int> backoffMs{1000, 2000, 4000, 5000};
};

// The delay before retry number `failedAttempts` (0 for the first retry after a failed attempt).
int retryDelayMs(const RetryIntervals &intervals, int failedAttempts);

// What the program fixes and tests shorten or redirect.
struct ControllerOptions
{
    // The settings file; empty for "Settings.xml" in the settings folder.
    QString settingsFile;
    trx::LinkIntervals link;
    RetryIntervals retry;
    // Period of the port poll on the worker thread.
    int pollIntervalMs = 1000;
    // How soon after an operator's change the settings file is written.
    int settingsWriteDelayMs = 2000;
};
