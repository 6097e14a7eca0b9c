#pragma once

#include <QString>

// The folder that holds the settings file, the log and crash dumps. Always ends with
// the native separator and exists after the first call (created when missing).
// Linux: "<XDG data home>/Orvane/QMX-MRL1/"; Windows: "<common app data>\Orvane\QMX-MRL1\".
QString applicationDataFolder();
