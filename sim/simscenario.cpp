#include "simscenario.h"

#include "cmn/timecodetext.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

// Collects the first error with its place in the document; every reader returns false after it.
class Reader
{
public:
    QString error;

    bool fail(const QString &where, const QString &what)
    {
        if (error.isEmpty())
            error = where + QStringLiteral(": ") + what;
        return false;
    }

    bool string(const QJsonObject &o, const QString &where, const char *key, QString &out, bool required)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return required ? fail(where, QStringLiteral("missing \"%1\"").arg(QLatin1String(key))) : true;
        if (!v.isString())
            return fail(where + QLatin1Char('.') + QLatin1String(key), QStringLiteral("must be a string"));
        out = v.toString();
        if (required && out.isEmpty())
            return fail(where + QLatin1Char('.') + QLatin1String(key), QStringLiteral("must not be empty"));
        return true;
    }

    bool number(const QJsonObject &o, const QString &where, const char *key, double &out, bool required,
                double min, double max)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return required ? fail(where, QStringLiteral("missing \"%1\"").arg(QLatin1String(key))) : true;
        const QString at = where + QLatin1Char('.') + QLatin1String(key);
        if (!v.isDouble())
            return fail(at, QStringLiteral("must be a number"));
        const double d = v.toDouble();
        if (d < min || d > max)
            return fail(at, QStringLiteral("%1 is outside %2..%3").arg(d).arg(min).arg(max));
        out = d;
        return true;
    }

    bool integer(const QJsonObject &o, const QString &where, const char *key, int &out, bool required,
                 int min, int max)
    {
        double d = out;
        if (!number(o, where, key, d, required, min, max))
            return false;
        if (d != double(qint64(d)))
            return fail(where + QLatin1Char('.') + QLatin1String(key),
                        QStringLiteral("must be a whole number"));
        out = int(d);
        return true;
    }

    bool boolean(const QJsonObject &o, const QString &where, const char *key, bool &out)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return true;
        if (!v.isBool())
            return fail(where + QLatin1Char('.') + QLatin1String(key),
                        QStringLiteral("must be true or false"));
        out = v.toBool();
        return true;
    }

    bool timecode(const QJsonObject &o, const QString &where, const char *key, int &out, bool required)
    {
        QString text;
        if (!string(o, where, key, text, required))
            return false;
        if (text.isEmpty())
            return true;
        const int tc = parseTcText(text);
        if (tc < 0 || (tc >> 24) > 23)
            return fail(where + QLatin1Char('.') + QLatin1String(key),
                        QStringLiteral("\"%1\" is not a timecode hh:mm:ss:ff").arg(text));
        out = tc;
        return true;
    }

    bool array(const QJsonObject &o, const QString &where, const char *key, QJsonArray &out, bool required)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return required ? fail(where, QStringLiteral("missing \"%1\"").arg(QLatin1String(key))) : true;
        if (!v.isArray())
            return fail(where + QLatin1Char('.') + QLatin1String(key), QStringLiteral("must be an array"));
        out = v.toArray();
        return true;
    }

    bool object(const QJsonValue &v, const QString &where, QJsonObject &out)
    {
        if (!v.isObject())
            return fail(where, QStringLiteral("must be an object"));
        out = v.toObject();
        return true;
    }
};

QString at(const QString &where, const char *key, int i)
{
    return QStringLiteral("%1%2[%3]").arg(where, QLatin1String(key)).arg(i);
}

bool readRate(Reader &r, const QJsonObject &o, const QString &where, SimPortSpec &port)
{
    const QJsonValue v = o.value(QStringLiteral("rate"));
    if (v.isUndefined())
        return true;
    const QString text = v.isDouble() ? QString::number(v.toDouble()) : v.toString();
    if (text == QLatin1String("24"))
        port.rateCode = 24;
    else if (text == QLatin1String("25"))
        port.rateCode = 25;
    else if (text == QLatin1String("30"))
        port.rateCode = 30;
    else if (text == QLatin1String("29.97"))
        port.rateCode = 29;
    else if (text == QLatin1String("29.97df")) {
        port.rateCode = 29;
        port.dropFrame = true;
    } else
        return r.fail(where + QStringLiteral(".rate"),
                      QStringLiteral("unknown rate \"%1\" (use 24, 25, 29.97, 29.97df or 30)").arg(text));
    return true;
}

bool readDestination(Reader &r, const QJsonObject &o, const QString &where, const char *key,
                     SimDestinationSpec &d)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined())
        return true;
    QJsonObject dest;
    const QString place = where + QLatin1Char('.') + QLatin1String(key);
    return r.object(v, place, dest) && r.string(dest, place, "mgw", d.mgwId, false) &&
           r.string(dest, place, "drive", d.driveId, false) &&
           r.string(dest, place, "folder", d.folderId, false);
}

bool readStatus(Reader &r, const QJsonObject &o, const QString &where, SimScheduleSpec &s)
{
    QString status;
    QString fail;
    if (!r.string(o, where, "status", status, false) || !r.string(o, where, "fail", fail, false))
        return false;
    if (status == QLatin1String("cancelled"))
        s.fixedStatus = -4;
    else if (status == QLatin1String("transferError"))
        s.fixedStatus = -3;
    else if (status == QLatin1String("recError"))
        s.fixedStatus = -2;
    else if (status == QLatin1String("unknownError"))
        s.fixedStatus = -1;
    else if (!status.isEmpty())
        return r.fail(where + QStringLiteral(".status"),
                      QStringLiteral("unknown status \"%1\" (use cancelled, transferError, recError or "
                                     "unknownError; the others follow from the clock)")
                          .arg(status));
    if (fail == QLatin1String("rec"))
        s.failAt = -2;
    else if (fail == QLatin1String("transfer"))
        s.failAt = -3;
    else if (!fail.isEmpty())
        return r.fail(where + QStringLiteral(".fail"),
                      QStringLiteral("unknown failure \"%1\" (use rec or transfer)").arg(fail));
    return true;
}

bool readServers(Reader &r, const QJsonArray &servers, SimScenario &sc)
{
    QSet<QString> ids;
    for (int i = 0; i < servers.size(); ++i) {
        const QString where = at(QString(), "servers", i);
        QJsonObject o;
        SimServerSpec s;
        QJsonArray ports;
        if (!r.object(servers.at(i), where, o) || !r.string(o, where, "id", s.id, true) ||
            !r.string(o, where, "name", s.name, false) || !r.boolean(o, where, "connected", s.connected) ||
            !r.integer(o, where, "systemFrequency", s.systemFrequency, false, 0, 100000) ||
            !r.string(o, where, "remainText", s.remainText, false) ||
            !r.array(o, where, "ports", ports, true))
            return false;
        if (ids.contains(s.id))
            return r.fail(where + QStringLiteral(".id"),
                          QStringLiteral("duplicate server id \"%1\"").arg(s.id));
        ids.insert(s.id);
        if (s.name.isEmpty())
            s.name = s.id;
        QSet<int> portNos;
        QSet<int> cameras;
        for (int j = 0; j < ports.size(); ++j) {
            const QString pw = at(where + QLatin1Char('.'), "ports", j);
            QJsonObject po;
            SimPortSpec p;
            p.port = j;
            p.camera = j + 1;
            p.rateCode = s.systemFrequency;
            if (!r.object(ports.at(j), pw, po) || !r.integer(po, pw, "port", p.port, false, 0, 7) ||
                !r.integer(po, pw, "camera", p.camera, false, 1, 64) || !readRate(r, po, pw, p) ||
                !r.boolean(po, pw, "recording", p.recording) ||
                !r.number(po, pw, "trainHours", p.trainHours, false, 0, 24 * 30) ||
                !r.integer(po, pw, "remainMinutes", p.remainMinutes, false, -1, 1000000) ||
                !r.integer(po, pw, "tcOffsetFrames", p.tcOffsetFrames, false, -100000, 100000))
                return false;
            if (portNos.contains(p.port))
                return r.fail(pw + QStringLiteral(".port"), QStringLiteral("duplicate port %1").arg(p.port));
            if (cameras.contains(p.camera))
                return r.fail(pw + QStringLiteral(".camera"),
                              QStringLiteral("duplicate camera %1").arg(p.camera));
            portNos.insert(p.port);
            cameras.insert(p.camera);
            s.ports.append(p);
        }
        sc.servers.append(s);
    }
    return true;
}

bool readGateways(Reader &r, const QJsonArray &gateways, SimScenario &sc)
{
    QSet<QString> ids;
    for (int i = 0; i < gateways.size(); ++i) {
        const QString where = at(QString(), "gateways", i);
        QJsonObject o;
        SimGatewaySpec g;
        QJsonArray drives;
        if (!r.object(gateways.at(i), where, o) || !r.string(o, where, "id", g.id, true) ||
            !r.string(o, where, "name", g.name, false) || !r.array(o, where, "drives", drives, false))
            return false;
        if (ids.contains(g.id))
            return r.fail(where + QStringLiteral(".id"),
                          QStringLiteral("duplicate gateway id \"%1\"").arg(g.id));
        ids.insert(g.id);
        for (int j = 0; j < drives.size(); ++j) {
            const QString dw = at(where + QLatin1Char('.'), "drives", j);
            QJsonObject d;
            SimDriveSpec drive;
            QJsonArray folders;
            if (!r.object(drives.at(j), dw, d) || !r.string(d, dw, "id", drive.id, true) ||
                !r.string(d, dw, "name", drive.name, false) || !r.array(d, dw, "folders", folders, false))
                return false;
            QSet<QString> folderIds;
            for (int k = 0; k < folders.size(); ++k) {
                const QString fw = at(dw + QLatin1Char('.'), "folders", k);
                QJsonObject f;
                SimFolderSpec folder;
                if (!r.object(folders.at(k), fw, f) || !r.string(f, fw, "id", folder.id, true) ||
                    !r.string(f, fw, "parent", folder.parentId, false) ||
                    !r.string(f, fw, "name", folder.name, true))
                    return false;
                if (folderIds.contains(folder.id))
                    return r.fail(fw + QStringLiteral(".id"),
                                  QStringLiteral("duplicate folder id \"%1\"").arg(folder.id));
                if (!folder.parentId.isEmpty() && !folderIds.contains(folder.parentId))
                    return r.fail(
                        fw + QStringLiteral(".parent"),
                        QStringLiteral("unknown parent \"%1\" (list parents first)").arg(folder.parentId));
                folderIds.insert(folder.id);
                drive.folders.append(folder);
            }
            g.drives.append(drive);
        }
        sc.gateways.append(g);
    }
    return true;
}

const SimServerSpec *findServer(const SimScenario &sc, const QString &id)
{
    for (const SimServerSpec &s : sc.servers)
        if (s.id == id)
            return &s;
    return nullptr;
}

bool hasPort(const SimServerSpec &s, int port)
{
    for (const SimPortSpec &p : s.ports)
        if (p.port == port)
            return true;
    return false;
}

bool readSchedules(Reader &r, const QJsonArray &schedules, SimScenario &sc)
{
    QSet<QString> ids;
    for (int i = 0; i < schedules.size(); ++i) {
        const QString where = at(QString(), "schedules", i);
        QJsonObject o;
        SimScheduleSpec s;
        if (!r.object(schedules.at(i), where, o) || !r.string(o, where, "id", s.id, false) ||
            !r.string(o, where, "server", s.serverId, true) ||
            !r.integer(o, where, "port", s.port, true, 0, 7) || !r.string(o, where, "name", s.name, false) ||
            !r.integer(o, where, "type", s.type, false, 0, 1) ||
            !r.integer(o, where, "proxyPort", s.proxyPort, false, -1, 7) || !readStatus(r, o, where, s) ||
            !readDestination(r, o, where, "master", s.master) ||
            !readDestination(r, o, where, "proxy", s.proxy))
            return false;
        if (!s.id.isEmpty()) {
            if (ids.contains(s.id))
                return r.fail(where + QStringLiteral(".id"),
                              QStringLiteral("duplicate schedule id \"%1\"").arg(s.id));
            ids.insert(s.id);
        }
        const SimServerSpec *server = findServer(sc, s.serverId);
        if (!server)
            return r.fail(where + QStringLiteral(".server"),
                          QStringLiteral("unknown server \"%1\"").arg(s.serverId));
        if (!hasPort(*server, s.port))
            return r.fail(where + QStringLiteral(".port"),
                          QStringLiteral("server \"%1\" has no port %2").arg(s.serverId).arg(s.port));
        if (s.proxyPort >= 0 && (s.proxyPort == s.port || !hasPort(*server, s.proxyPort)))
            return r.fail(
                where + QStringLiteral(".proxyPort"),
                QStringLiteral("port %1 cannot be the proxy of port %2").arg(s.proxyPort).arg(s.port));
        if (o.contains(QStringLiteral("start"))) {
            s.relative = false;
            if (!r.integer(o, where, "day", s.day, false, -15, 15) ||
                !r.timecode(o, where, "start", s.startTc, true) ||
                !r.timecode(o, where, "end", s.endTc, s.type == 0))
                return false;
        } else {
            double startIn = 0;
            double duration = s.type == 1 ? -1 : 60;
            if (!r.number(o, where, "startIn", startIn, true, -15 * 86400.0, 15 * 86400.0) ||
                (s.type == 0 && !r.number(o, where, "duration", duration, false, 1, 86400)))
                return false;
            s.startInSecs = qint64(startIn);
            s.durationSecs = s.type == 1 ? -1 : qint64(duration);
        }
        if (s.name.isEmpty())
            s.name = QStringLiteral("Schedule %1").arg(i + 1);
        sc.schedules.append(s);
    }
    return true;
}

bool readMaster(Reader &r, const QJsonObject &o, SimScenario &sc)
{
    const QJsonValue v = o.value(QStringLiteral("master"));
    if (v.isUndefined())
        return true;
    const QString where = QStringLiteral("master");
    QJsonObject m;
    if (!r.object(v, where, m) || !r.string(m, where, "server", sc.masterServerId, true) ||
        !r.integer(m, where, "port", sc.masterPort, true, 0, 7))
        return false;
    const SimServerSpec *server = findServer(sc, sc.masterServerId);
    if (!server)
        return r.fail(where + QStringLiteral(".server"),
                      QStringLiteral("unknown server \"%1\"").arg(sc.masterServerId));
    if (!hasPort(*server, sc.masterPort))
        return r.fail(
            where + QStringLiteral(".port"),
            QStringLiteral("server \"%1\" has no port %2").arg(sc.masterServerId).arg(sc.masterPort));
    return true;
}

} // namespace

std::optional<SimScenario> SimScenario::fromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    Reader r;
    SimScenario sc;
    QJsonArray servers;
    QJsonArray gateways;
    QJsonArray schedules;
    if (parseError.error != QJsonParseError::NoError)
        r.fail(QStringLiteral("JSON"),
               QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset));
    else if (!doc.isObject())
        r.fail(QStringLiteral("scenario"), QStringLiteral("the document must be an object"));
    else {
        const QJsonObject o = doc.object();
        const QString root = QStringLiteral("scenario");
        int maintenance = -1;
        if (r.string(o, root, "name", sc.name, false) && r.array(o, root, "servers", servers, true) &&
            r.array(o, root, "gateways", gateways, false) &&
            r.array(o, root, "schedules", schedules, false) &&
            r.timecode(o, root, "maintenance", maintenance, false) && readServers(r, servers, sc) &&
            readGateways(r, gateways, sc) && readSchedules(r, schedules, sc) && readMaster(r, o, sc))
            sc.maintenanceTc = maintenance;
    }
    if (!r.error.isEmpty()) {
        if (error)
            *error = r.error;
        return std::nullopt;
    }
    return sc;
}

std::optional<SimScenario> SimScenario::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString why;
    std::optional<SimScenario> sc = fromJson(file.readAll(), &why);
    if (!sc && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    return sc;
}
