#pragma once

// Faults the simulator can put on the link, for tests and demonstrations. Off by default.
struct SimFaults
{
    // Each connection is closed this long after it was accepted; -1 keeps it open.
    int dropLinkAfterMs = -1;
    // The next request with this command code closes its link instead of being answered; the
    // switch then turns itself off, so that the client's next attempt gets through. -1: off.
    int dropOnRequestCode = -1;
    // Heartbeat requests (code 99) get no answer at all.
    bool noHeartbeatAnswer = false;
    // Every request is handled (answered, and its pushes sent) this much later.
    int answerDelayMs = 0;
    // Frames are written this many bytes at a time, each write flushed on its own; 0 writes whole.
    int splitWriteBytes = 0;
    // Port-state pushes sent to every client per second on top of the regular ones.
    int pushStormPerSecond = 0;
    // One-shot packets sent to each client injectAfterMs after it connects.
    bool injectUnknownPush = false;
    bool injectUnknownKind = false;
    bool injectAbsurdLength = false;
    int injectAfterMs = 2000;
};
