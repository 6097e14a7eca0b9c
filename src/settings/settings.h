#pragma once

#include "settings/mgwdestination.h"
#include "settings/portviewinfo.h"
#include "trx/serverport.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include <array>
#include <functional>

// The operator's persistent preferences plus a few working values of the current run
// (working date, seconds offset to the master clock). One instance per process, owned by
// the controller; views reach it through instance(). GUI thread only.
//
// Fields are plain members: every part of the client reads and writes them directly.
class Settings : public QObject
{
    Q_OBJECT

public:
    using NameRules = QPair<QString, QString>; // (new-schedule rule, start-now rule)
    using DefaultNameMap = QMap<QString, NameRules>;
    using MgwDestinationMap = QMap<trx::ServerPort, MgwDestination>;
    using PortInfoMap = QMap<trx::ServerPort, PortViewInfo>;

    explicit Settings(QObject *parent = nullptr, const QString &fileName = QStringLiteral("Settings.xml"));
    ~Settings() override;

    // The most recently constructed instance; null before the first one and after it dies.
    static Settings *instance();

    // The application data folder, with a trailing separator.
    static QString settingsFolder();

    // Reads the file; false (with every value untouched) when it cannot be opened or parsed.
    bool load(const QString &path);
    // Writes a new file and replaces the old one in one step; on failure the previous file
    // stays as it was and false is returned.
    bool save(const QString &path) const;

    void setDateTime(const QDate &date, const QTime &time);
    void setDefaultNames(const DefaultNameMap &names);
    void mergeMgwInfos(const MgwDestinationMap &infos);

    // Lookups that insert a default entry when the key is absent.
    PortViewInfo &portInfo(const trx::ServerPort &port);
    bool &serverCollapse(const QString &serverId);
    NameRules &defaultName(const QString &set);
    MgwDestination &mgwInfo(const trx::ServerPort &port);

    // The clock that "now" is read from; tests replace it.
    void setClock(std::function<QDateTime()> clock);
    QDateTime now() const;

    QString m_strFileName;
    QString m_trxmIp;
    int m_trxmPort = 51000;
    QString m_strDefaultMasterMgwId;
    QString m_strDefaultMasterDriveId;
    QString m_strDefaultProxyMgwId;
    QString m_strDefaultProxyDriveId;
    bool m_bDefaultWithProxy = false;
    QString m_strCurDefaultNameSet;
    QString m_strDefaultTaskName;
    QString m_strDefaultOpenEndClipName;
    DefaultNameMap m_defaultNames;
    bool m_bMgwFolder = false;
    int m_strDefaultStartPointMode = 1; // 1: start point blank, 2: at the current timecode
    MgwDestinationMap m_mgwInfos;
    int m_maintenanceTime = 0; // integer-packed timecode; 02:00:00:00 unless the file says otherwise
    bool m_bLockTimeScroll = true;
    int m_offsetSecs = 0;
    QDate m_date;
    PortInfoMap m_portInfos;
    QMap<QString, bool> m_serverCollapse;
    int m_iZoomValue = -1;
    std::array<int, 3> m_scheduleDialogSizes {{820, 580, 365}};
    // Desktop notifications, one switch per kind.
    bool m_bNotifyScheduleError = true;
    bool m_bNotifyLinkLost = true;
    bool m_bNotifyRemainTime = true;

private:
    std::function<QDateTime()> m_clock;
};
