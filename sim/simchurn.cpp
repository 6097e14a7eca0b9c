#include "simchurn.h"

#include "simclock.h"
#include "siminstallation.h"

#include "platform/idbg.h"

#include <QSet>

namespace {

constexpr int LeadSecs = 180;
constexpr int LengthSecs = 60;
constexpr int StretchSecs = 30;

// Frame 2 exists at every rate, drop-frame included, so the packed value is valid on any port.
qint32 packedAt(const QDateTime &t)
{
    const QTime time = t.time();
    return (time.hour() << 24) | (time.minute() << 16) | (time.second() << 8) | 2;
}

} // namespace

SimChurn::SimChurn(SimInstallation *installation, const SimClock *clock, int keep)
    : m_pInstallation(installation), m_pClock(clock), m_iKeep(qMax(1, keep))
{}

bool SimChurn::step()
{
    changeNewest();
    const bool added = addOne();
    while (m_ids.size() > m_iKeep)
        removeOldest();
    return added;
}

bool SimChurn::addOne()
{
    QList<trx::ServerPort> ports;
    for (const QString &serverId : m_pInstallation->serverIds()) {
        if (!m_pInstallation->isServerConnected(serverId))
            continue;
        const QList<qint32> numbers = m_pInstallation->portStates(serverId).keys();
        for (const qint32 port : numbers)
            ports.append(trx::ServerPort(serverId, port));
    }
    const QList<trx::MgwInfo> gateways = m_pInstallation->gateways();
    if (ports.isEmpty() || gateways.isEmpty() || gateways.first().drives.isEmpty())
        return false;

    const trx::ServerPort port = ports.at(m_iNextPort++ % ports.size());
    const QDateTime start = m_pClock->now().addSecs(LeadSecs);
    const QDateTime end = start.addSecs(LengthSecs);
    trx::ScheduleRequest request;
    request.masterMgwId = gateways.first().id;
    request.masterDriveId = gateways.first().drives.first().id;
    request.name = QStringLiteral("Churn %1").arg(m_iAdded + 1);
    request.startDate = start.date();
    request.endDate = end.date();
    request.startTc = packedAt(start);
    request.endTc = packedAt(end);
    request.ports.append(port);

    QSet<QString> before;
    for (const trx::ScheduleInfo &s : m_pInstallation->schedules())
        before.insert(s.id);
    QString why;
    if (!m_pInstallation->addSchedules(request, &why)) {
        idbg_api("[%04x] WARNING <TRXMSim> Churn: no schedule added on %s/%d: %s", logTid(),
                 port.serverId.toUtf8().constData(), port.portNo, why.toUtf8().constData());
        return false;
    }
    for (const trx::ScheduleInfo &s : m_pInstallation->schedules()) {
        if (!before.contains(s.id))
            m_ids.append(s.id);
    }
    ++m_iAdded;
    return true;
}

void SimChurn::changeNewest()
{
    if (m_ids.isEmpty())
        return;
    const std::optional<trx::ScheduleInfo> known = m_pInstallation->schedule(m_ids.last());
    if (!known) {
        // Removed by someone else meanwhile.
        m_ids.removeLast();
        return;
    }
    // Only the seconds move, so the frame stays valid at every rate.
    const QTime endTime((known->endTc >> 24) & 0xff, (known->endTc >> 16) & 0xff, (known->endTc >> 8) & 0xff);
    const QDateTime end = QDateTime(known->endDate, endTime).addSecs(StretchSecs);
    trx::ScheduleRequest values;
    // The installation keeps a destination's gateway, drive and folder ids in these fields.
    values.masterMgwId = known->master.text3;
    values.masterDriveId = known->master.text4;
    values.masterFolderId = known->master.text5;
    values.name = known->name + QStringLiteral(" (changed)");
    values.startDate = known->startDate;
    values.startTc = known->startTc;
    values.endDate = end.date();
    values.endTc = packedAt(end);
    QString why;
    if (m_pInstallation->updateSchedule(*known, values, 0, &why))
        ++m_iChanged;
    else
        idbg_api("[%04x] WARNING <TRXMSim> Churn: %s not changed: %s", logTid(),
                 known->id.toUtf8().constData(), why.toUtf8().constData());
}

void SimChurn::removeOldest()
{
    const QString id = m_ids.takeFirst();
    QString why;
    if (m_pInstallation->removeSchedule(id, &why))
        ++m_iRemoved;
}
