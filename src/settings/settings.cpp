#include "settings.h"

#include "cmn/timecodetext.h"
#include "platform/appdatafolder.h"
#include "platform/idbg.h"
#include "settings/orderedxml.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>

namespace {

Settings *g_instance = nullptr;

int toDecimal(const QString &text)
{
    return text.toInt(); // empty or non-numeric text reads as 0
}

bool toFlag(const QString &text)
{
    return toDecimal(text) != 0;
}

QString flagText(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

trx::ServerPort portKey(const QDomElement &info)
{
    trx::ServerPort key;
    key.serverId = info.attribute(QStringLiteral("ServerId"));
    key.portNo = toDecimal(info.attribute(QStringLiteral("PortNo")));
    return key;
}

// Calls f for every child element named "Info"; other children are ignored.
template<typename F>
void forEachInfo(const QDomElement &group, F f)
{
    for (QDomElement info = group.firstChildElement(QStringLiteral("Info")); !info.isNull();
         info = info.nextSiblingElement(QStringLiteral("Info")))
        f(info);
}

} // namespace

Settings::Settings(QObject *parent, const QString &fileName)
    : QObject(parent)
    , m_strFileName(fileName)
    , m_maintenanceTime(parseTcText(QStringLiteral("02000000")))
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    g_instance = this;
    QDir().mkpath(settingsFolder());
    m_date = now().date();
    m_writeTimer.setSingleShot(true);
    connect(&m_writeTimer, &QTimer::timeout, this, &Settings::flush);
}

Settings::~Settings()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Settings *Settings::instance()
{
    return g_instance;
}

QString Settings::settingsFolder()
{
    return applicationDataFolder();
}

void Settings::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

QDateTime Settings::now() const
{
    return m_clock();
}

bool Settings::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument doc;
    if (!doc.setContent(&file))
        return false;
    file.close();

    const QDomElement root = doc.firstChildElement();
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        const QString value = e.attribute(QStringLiteral("value"));
        if (tag == QLatin1String("m_trxmIp")) {
            m_trxmIp = value;
        } else if (tag == QLatin1String("m_trxmPort")) {
            if (!value.isEmpty())
                m_trxmPort = toDecimal(value);
        } else if (tag == QLatin1String("m_offsetSecs")) {
            m_offsetSecs = toDecimal(value);
        } else if (tag == QLatin1String("m_bLockTimeScroll")) {
            m_bLockTimeScroll = toFlag(value);
        } else if (tag == QLatin1String("m_iZoomValue")) {
            m_iZoomValue = toDecimal(value);
        } else if (tag == QLatin1String("m_bMgwFolder")) {
            m_bMgwFolder = toFlag(value);
        } else if (tag == QLatin1String("m_maintenanceTime")) {
            m_maintenanceTime = toDecimal(value);
        } else if (tag == QLatin1String("m_strDefaultStartPointMode")) {
            m_strDefaultStartPointMode = toDecimal(value);
        } else if (tag == QLatin1String("m_strCurDefaultNameSet")) {
            m_strCurDefaultNameSet = value;
        } else if (tag == QLatin1String("m_strDefaultTaskName")) {
            m_strDefaultTaskName = value;
        } else if (tag == QLatin1String("m_strDefaultOpenEndClipName")) {
            m_strDefaultOpenEndClipName = value;
        } else if (tag == QLatin1String("DefaultName")) {
            forEachInfo(e, [this](const QDomElement &info) {
                m_defaultNames.insert(info.attribute(QStringLiteral("Set")),
                                      NameRules(info.attribute(QStringLiteral("DefaultTaskName")),
                                                info.attribute(QStringLiteral("DefaultOpenEndClipName"))));
            });
        } else if (tag == QLatin1String("PortInfo")) {
            forEachInfo(e, [this](const QDomElement &info) {
                PortViewInfo v;
                v.PortHeight = toDecimal(info.attribute(QStringLiteral("PortHeight")));
                v.PortName = info.attribute(QStringLiteral("PortName"));
                v.ProxyPort = toDecimal(info.attribute(QStringLiteral("ProxyPort")));
                v.CheckStatus = toFlag(info.attribute(QStringLiteral("CheckStatus")));
                v.PortCollapse = toFlag(info.attribute(QStringLiteral("PortCollapse")));
                m_portInfos.insert(portKey(info), v);
            });
        } else if (tag == QLatin1String("ServerInfo")) {
            forEachInfo(e, [this](const QDomElement &info) {
                m_serverCollapse.insert(info.attribute(QStringLiteral("ServerId")),
                                        toFlag(info.attribute(QStringLiteral("ServerCollapse"))));
            });
        } else if (tag == QLatin1String("MgwInfo")) {
            forEachInfo(e, [this](const QDomElement &info) {
                MgwDestination d;
                d.WithProxy = toFlag(info.attribute(QStringLiteral("WithProxy")));
                d.MasterMgwId = info.attribute(QStringLiteral("MasterMgwId"));
                d.MasterDriveId = info.attribute(QStringLiteral("MasterDriveId"));
                d.MasterFolderId = info.attribute(QStringLiteral("MasterFolderId"));
                d.ProxyMgwId = info.attribute(QStringLiteral("ProxyMgwId"));
                d.ProxyDriveId = info.attribute(QStringLiteral("ProxyDriveId"));
                d.ProxyFolderId = info.attribute(QStringLiteral("ProxyFolderId"));
                m_mgwInfos.insert(portKey(info), d);
            });
        } else if (tag == QLatin1String("m_bNotifyScheduleError")) {
            m_bNotifyScheduleError = toFlag(value);
        } else if (tag == QLatin1String("m_bNotifyLinkLost")) {
            m_bNotifyLinkLost = toFlag(value);
        } else if (tag == QLatin1String("m_bNotifyRemainTime")) {
            m_bNotifyRemainTime = toFlag(value);
        }
    }

    m_date = now().addSecs(m_offsetSecs).date();
    idbg_api("[%04x] INFO <Settings> seconds offset : [%d], Date = [%s]", logTid(), m_offsetSecs,
             m_date.toString(Qt::ISODate).toUtf8().constData());
    return true;
}

OrderedXmlElement Settings::document() const
{
    OrderedXmlElement root(QStringLiteral("Setting"));
    root.setAttribute(QStringLiteral("ver"), QStringLiteral("1.0"));

    auto scalar = [&root](const QString &tag, const QString &value) {
        root.appendChild(tag).setAttribute(QStringLiteral("value"), value);
    };
    scalar(QStringLiteral("m_trxmIp"), m_trxmIp);
    scalar(QStringLiteral("m_trxmPort"), QString::number(m_trxmPort));
    scalar(QStringLiteral("m_offsetSecs"), QString::number(m_offsetSecs));
    scalar(QStringLiteral("m_bLockTimeScroll"), flagText(m_bLockTimeScroll));
    scalar(QStringLiteral("m_iZoomValue"), QString::number(m_iZoomValue));
    scalar(QStringLiteral("m_bMgwFolder"), flagText(m_bMgwFolder));
    scalar(QStringLiteral("m_maintenanceTime"), QString::number(m_maintenanceTime));
    scalar(QStringLiteral("m_strDefaultStartPointMode"), QString::number(m_strDefaultStartPointMode));
    scalar(QStringLiteral("m_strCurDefaultNameSet"), m_strCurDefaultNameSet);
    scalar(QStringLiteral("m_strDefaultTaskName"), m_strDefaultTaskName);
    scalar(QStringLiteral("m_strDefaultOpenEndClipName"), m_strDefaultOpenEndClipName);

    const QString info = QStringLiteral("Info");

    OrderedXmlElement &names = root.appendChild(QStringLiteral("DefaultName"));
    for (auto it = m_defaultNames.cbegin(); it != m_defaultNames.cend(); ++it) {
        names.appendChild(info)
            .setAttribute(QStringLiteral("Set"), it.key())
            .setAttribute(QStringLiteral("DefaultTaskName"), it.value().first)
            .setAttribute(QStringLiteral("DefaultOpenEndClipName"), it.value().second);
    }

    OrderedXmlElement &ports = root.appendChild(QStringLiteral("PortInfo"));
    for (auto it = m_portInfos.cbegin(); it != m_portInfos.cend(); ++it) {
        ports.appendChild(info)
            .setAttribute(QStringLiteral("ServerId"), it.key().serverId)
            .setAttribute(QStringLiteral("PortNo"), it.key().portNo)
            .setAttribute(QStringLiteral("PortHeight"), it.value().PortHeight)
            .setAttribute(QStringLiteral("PortName"), it.value().PortName)
            .setAttribute(QStringLiteral("ProxyPort"), it.value().ProxyPort)
            .setAttribute(QStringLiteral("CheckStatus"), flagText(it.value().CheckStatus))
            .setAttribute(QStringLiteral("PortCollapse"), flagText(it.value().PortCollapse));
    }

    OrderedXmlElement &servers = root.appendChild(QStringLiteral("ServerInfo"));
    for (auto it = m_serverCollapse.cbegin(); it != m_serverCollapse.cend(); ++it) {
        servers.appendChild(info)
            .setAttribute(QStringLiteral("ServerId"), it.key())
            .setAttribute(QStringLiteral("ServerCollapse"), flagText(it.value()));
    }

    OrderedXmlElement &mgws = root.appendChild(QStringLiteral("MgwInfo"));
    for (auto it = m_mgwInfos.cbegin(); it != m_mgwInfos.cend(); ++it) {
        mgws.appendChild(info)
            .setAttribute(QStringLiteral("ServerId"), it.key().serverId)
            .setAttribute(QStringLiteral("PortNo"), it.key().portNo)
            .setAttribute(QStringLiteral("WithProxy"), flagText(it.value().WithProxy))
            .setAttribute(QStringLiteral("MasterMgwId"), it.value().MasterMgwId)
            .setAttribute(QStringLiteral("MasterDriveId"), it.value().MasterDriveId)
            .setAttribute(QStringLiteral("MasterFolderId"), it.value().MasterFolderId)
            .setAttribute(QStringLiteral("ProxyMgwId"), it.value().ProxyMgwId)
            .setAttribute(QStringLiteral("ProxyDriveId"), it.value().ProxyDriveId)
            .setAttribute(QStringLiteral("ProxyFolderId"), it.value().ProxyFolderId);
    }
    // After MgwInfo, so that loaders which stop caring there lose nothing they know.
    scalar(QStringLiteral("m_bNotifyScheduleError"), flagText(m_bNotifyScheduleError));
    scalar(QStringLiteral("m_bNotifyLinkLost"), flagText(m_bNotifyLinkLost));
    scalar(QStringLiteral("m_bNotifyRemainTime"), flagText(m_bNotifyRemainTime));

    return root;
}

QString Settings::fileText() const
{
    return document().toString(4);
}

bool Settings::save(const QString &path, QString *error) const
{
    const QByteArray bytes = fileText().toUtf8();
    // Written beside the old file and renamed over it only when complete, so a crash or a
    // full disk in the middle of the write never costs the operator the previous settings.
    QSaveFile file(path);
    auto failed = [&file, error] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return failed();
    if (file.write(bytes) != bytes.size()) {
        failed();
        file.cancelWriting();
        return false;
    }
    return file.commit() || failed();
}

void Settings::setWriteBehind(const QString &path, int delayMs)
{
    m_strWritePath = path;
    m_writeTimer.setInterval(delayMs);
    if (m_bDirty && !m_strWritePath.isEmpty() && !m_writeTimer.isActive())
        m_writeTimer.start();
}

void Settings::markDirty()
{
    if (m_iQuiet > 0)
        return;
    m_bDirty = true;
    // Not restarted by later changes: a long drag is written every delay, not only at its end.
    if (!m_strWritePath.isEmpty() && !m_writeTimer.isActive())
        m_writeTimer.start();
}

bool Settings::store(const QString &path)
{
    QString error;
    const bool ok = save(path, &error);
    if (ok) {
        m_strLastFailure.clear();
        if (path == m_strWritePath) {
            m_bDirty = false;
            m_writeTimer.stop();
        }
    } else {
        // Kept dirty: the next change or the end tries again.
        const QString failure = path + QLatin1Char('\n') + error;
        if (failure != m_strLastFailure) {
            m_strLastFailure = failure;
            idbg_api("[%04x] WARNING <Settings> Cannot write %s: %s", logTid(),
                     QDir::toNativeSeparators(path).toUtf8().constData(), error.toUtf8().constData());
        }
    }
    emit sigWritten(path, ok);
    return ok;
}

bool Settings::flush()
{
    if (!m_bDirty)
        return true;
    if (m_strWritePath.isEmpty())
        return false;
    return store(m_strWritePath);
}

void Settings::setDateTime(const QDate &date, const QTime &time)
{
    m_date = date;
    if (!time.isValid())
        return;
    m_offsetSecs = static_cast<int>(now().secsTo(QDateTime(date, time)));
    idbg_api("[%04x] INFO <Settings> Set date/time with master port tc. Date/time : [%s , %s], seconds offset : [%d].",
             logTid(), date.toString(Qt::ISODate).toUtf8().constData(),
             time.toString(QStringLiteral("hh:mm:ss")).toUtf8().constData(), m_offsetSecs);
}

void Settings::setDefaultNames(const DefaultNameMap &names)
{
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        const auto old = m_defaultNames.constFind(it.key());
        if (old != m_defaultNames.cend() && old.value() == it.value())
            continue;
        m_defaultNames.insert(it.key(), it.value());
        markDirty();
    }
}

void Settings::mergeMgwInfos(const MgwDestinationMap &infos)
{
    for (auto it = infos.cbegin(); it != infos.cend(); ++it) {
        const auto old = m_mgwInfos.constFind(it.key());
        if (old != m_mgwInfos.cend() && old.value() == it.value())
            continue;
        m_mgwInfos.insert(it.key(), it.value());
        markDirty();
    }
}

PortViewInfo &Settings::portInfo(const trx::ServerPort &port)
{
    return m_portInfos[port];
}

bool &Settings::serverCollapse(const QString &serverId)
{
    return m_serverCollapse[serverId];
}

Settings::NameRules &Settings::defaultName(const QString &set)
{
    return m_defaultNames[set];
}

MgwDestination &Settings::mgwInfo(const trx::ServerPort &port)
{
    return m_mgwInfos[port];
}
