#pragma once

#include "framereader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class QTcpSocket;
class QTimer;
class SimServer;

// One client's link: splits the incoming stream into requests for the server, writes frames
// back (whole, or in small flushed pieces when the split fault is on) and remembers which
// recording servers the client asked to be notified about.
class SimConnection : public QObject
{
    Q_OBJECT

public:
    SimConnection(QTcpSocket *socket, SimServer *server);
    ~SimConnection() override;

    void sendFrame(const QByteArray &frame);
    void sendResponse(int code, const QString &requestId, int status, const QByteArray &payload);
    void sendPush(int code, const QByteArray &payload);

    void registerServer(const QString &serverId) { m_registered.insert(serverId); }
    bool isRegistered(const QString &serverId) const { return m_registered.contains(serverId); }
    QString peerName() const { return m_strPeer; }
    void close();
    // Closes the link after ms milliseconds.
    void dropAfter(int ms);

signals:
    void closed(SimConnection *connection);

private:
    void onReadyRead();
    void handleBody(const QByteArray &body);
    void drainSplit();

    QPointer<QTcpSocket> m_pSocket;
    SimServer *m_pServer = nullptr;
    FrameReader m_reader;
    QSet<QString> m_registered;
    QString m_strPeer;
    QByteArray m_pendingSplit;
    QTimer *m_pSplitTimer = nullptr;
    bool m_bClosed = false;
};
