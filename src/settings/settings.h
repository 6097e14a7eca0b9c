#pragma once

#include "settings/mgwdestination.h"
#include "settings/orderedxml.h"
#include "settings/portviewinfo.h"
#include "trx/serverport.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>
#include <type_traits>


// The operator's persistent preferences plus a few working values of the current run
// (working date, seconds offset to the master clock). One instance per process, owned by
// the controller; views reach it through instance(). GUI thread only.
//
// Fields are plain members: every part of the client reads them directly. A change the operator
// makes goes through assign() (or markDirty() after it), so that it reaches the file shortly after,
// not only at the end: a crash or a kill then loses at most the last moments.
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
    // stays as it was and false is returned, with the reason in *error when given.
    bool save(const QString &path, QString *error = nullptr) const;

    static constexpr int DefaultWriteDelayMs = 2000;
    // Turns on writing after changes: marked changes are written to path delayMs after the first
    // unwritten one, so a burst of changes gives one write. Off (marks are only kept) until called.
    void setWriteBehind(const QString &path, int delayMs = DefaultWriteDelayMs);
    QString writeBehindPath() const { return m_strWritePath; }

    // The operator changed something that the file keeps.
    void markDirty();
    bool isDirty() const { return m_bDirty; }
    // Stores value into field (one of this object's values) and marks the settings dirty when
    // it differs; the program re-applying a stored value is no change. True when it changed.
    template<typename T>
    bool assign(T &field, const typename std::common_type<T>::type &value)
    {
        if (field == value)
            return false;
        field = value;
        markDirty();
        return true;
    }

    // Writes to path now. A failure is logged (once while the same failure repeats) and the
    // client goes on; a write to the write-behind path clears the dirty mark.
    bool store(const QString &path);
    // Writes to the write-behind path when dirty; true when nothing is left unwritten.
    bool flush();

    // While one exists, marks are ignored: the program filling in values (stored ones, defaults)
    // at start-up is not an operator change.
    class Quiet
    {
    public:
        explicit Quiet(Settings *settings) : m_pSettings(settings)
        {
            if (m_pSettings)
                ++m_pSettings->m_iQuiet;
        }
        ~Quiet()
        {
            if (m_pSettings)
                --m_pSettings->m_iQuiet;
        }
        Quiet(const Quiet &) = delete;
        Quiet &operator=(const Quiet &) = delete;

    private:
        Settings *m_pSettings;
    };

    // Marks the settings dirty when, at its end, what the file keeps differs from its start:
    // for flows that write many fields at once (the settings dialog).
    class ChangeWatch
    {
    public:
        explicit ChangeWatch(Settings &settings) : m_settings(settings), m_before(settings.fileText()) {}
        ~ChangeWatch()
        {
            if (m_settings.fileText() != m_before)
                m_settings.markDirty();
        }
        ChangeWatch(const ChangeWatch &) = delete;
        ChangeWatch &operator=(const ChangeWatch &) = delete;

    private:
        Settings &m_settings;
        const QString m_before;
    };

    // What save() writes, as text.
    QString fileText() const;

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

signals:
    // After every write of the file, done or failed.
    void sigWritten(const QString &path, bool ok);

private:
    OrderedXmlElement document() const;

    std::function<QDateTime()> m_clock;
    QTimer m_writeTimer;
    QString m_strWritePath;
    bool m_bDirty = false;
    int m_iQuiet = 0;
    QString m_strLastFailure;
};
