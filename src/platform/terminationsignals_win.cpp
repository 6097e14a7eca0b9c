#include "terminationsignals.h"

// Windows ends a GUI program through its window (WM_CLOSE, WM_QUERYENDSESSION), which the
// application already turns into its ordinary exit; there is nothing to catch here.
TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPending() {}
