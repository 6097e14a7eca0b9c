#pragma once

#include <QString>
#include <QStringList>

class SimClock;
class SimInstallation;

// Keeps the schedules moving for long runs. Each step adds a schedule on the next port of a
// connected server (a few minutes ahead on the installation's clock), renames and lengthens the
// schedule it added the step before, and removes its oldest one once it owns more than `keep`.
// Everything goes through the installation's own commands, so clients hear of it by the usual
// pushes and the state file follows.
class SimChurn
{
public:
    SimChurn(SimInstallation *installation, const SimClock *clock, int keep = 8);

    // One round of add, change and remove; false when no port could take a new schedule.
    bool step();

    // The schedules this churn added and has not removed yet, oldest first.
    const QStringList &ownIds() const { return m_ids; }
    int added() const { return m_iAdded; }
    int changed() const { return m_iChanged; }
    int removed() const { return m_iRemoved; }

private:
    bool addOne();
    void changeNewest();
    void removeOldest();

    SimInstallation *m_pInstallation = nullptr;
    const SimClock *m_pClock = nullptr;
    int m_iKeep = 8;
    int m_iNextPort = 0;
    int m_iAdded = 0;
    int m_iChanged = 0;
    int m_iRemoved = 0;
    QStringList m_ids;
};
