#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP) into a Qt signal on the
// thread that created this object, so that the program ends through its ordinary path instead of
// dying at once. The handler only writes the signal number into a pipe; a socket notifier reads
// it in the event loop. One instance at a time; the previous handlers come back when it dies.
// The crash signals are left to the crash handler.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // False when the handlers could not be installed (another instance is active, no pipe).
    bool isActive() const { return m_pNotifier != nullptr; }

signals:
    // Once per signal received; a burst may arrive together.
    void sigTerminate(int signalNumber);

private:
    void readPending();

    QSocketNotifier *m_pNotifier = nullptr;
    int m_iReadFd = -1;
};
