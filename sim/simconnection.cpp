#include "simconnection.h"

#include "simframes.h"
#include "simserver.h"

#include "platform/idbg.h"
#include "trx/catalogue.h"
#include "trx/streamio.h"

#include <QDataStream>
#include <QDateTime>
#include <QTcpSocket>
#include <QTimer>

SimConnection::SimConnection(QTcpSocket *socket, SimServer *server)
    : QObject(server), m_pSocket(socket), m_pServer(server)
{
    socket->setParent(this);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_strPeer = QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
    m_pSplitTimer = new QTimer(this);
    m_pSplitTimer->setInterval(0);
    connect(m_pSplitTimer, &QTimer::timeout, this, &SimConnection::drainSplit);
    connect(socket, &QIODevice::readyRead, this, &SimConnection::onReadyRead);
    connect(socket, &QAbstractSocket::disconnected, this, [this] {
        if (!m_bClosed) {
            m_bClosed = true;
            emit closed(this);
        }
    });
}

SimConnection::~SimConnection() = default;

void SimConnection::close()
{
    if (m_pSocket && m_pSocket->state() != QAbstractSocket::UnconnectedState) {
        idbg_api("[%04x] INFO <TRXMSim> Closing the link to %s", logTid(), m_strPeer.toUtf8().constData());
        m_pSocket->disconnectFromHost();
    }
}

void SimConnection::dropAfter(int ms)
{
    QTimer::singleShot(ms, this, &SimConnection::close);
}

void SimConnection::onReadyRead()
{
    if (!m_pSocket)
        return;
    m_reader.append(m_pSocket->readAll());
    QByteArray body;
    for (;;) {
        const FrameReader::Result r = m_reader.next(body);
        if (r == FrameReader::Result::NeedMore)
            return;
        if (r == FrameReader::Result::BadLength) {
            idbg_api("[%04x] WARNING <TRXMSim> Frame length %lld from %s refused; closing the link", logTid(),
                     static_cast<long long>(m_reader.badLength()), m_strPeer.toUtf8().constData());
            m_pSocket->abort();
            return;
        }
        const int delay = m_pServer->faults().answerDelayMs;
        if (delay > 0)
            QTimer::singleShot(delay, this, [this, body] { handleBody(body); });
        else
            handleBody(body);
    }
}

void SimConnection::handleBody(const QByteArray &body)
{
    QDataStream s(body);
    trx::prepareWireStream(s);
    qint16 kind = 0;
    qint16 code = 0;
    QString id;
    qint16 status = 0;
    QByteArray payload;
    s >> kind >> code;
    trx::skipWireDateTime(s); // the sender's stamp: read past, never built
    if (s.status() != QDataStream::Ok || kind != trx::KindRequest) {
        idbg_api("[%04x] WARNING <TRXMSim> Packet of kind %d from %s ignored", logTid(), kind,
                 m_strPeer.toUtf8().constData());
        return;
    }
    s >> id >> status >> payload;
    if (s.status() != QDataStream::Ok || id.isEmpty()) {
        idbg_api("[%04x] WARNING <TRXMSim> Malformed request %d from %s", logTid(), code,
                 m_strPeer.toUtf8().constData());
        if (!id.isEmpty())
            sendResponse(code, id, -1, QByteArray());
        return;
    }
    m_pServer->handleRequest(this, code, id, payload);
}

void SimConnection::sendResponse(int code, const QString &requestId, int status, const QByteArray &payload)
{
    sendFrame(simframes::response(code, requestId, status, payload));
}

void SimConnection::sendPush(int code, const QByteArray &payload)
{
    sendFrame(simframes::push(code, payload));
}

void SimConnection::sendFrame(const QByteArray &frame)
{
    if (!m_pSocket || m_pSocket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_pServer->faults().splitWriteBytes > 0 || !m_pendingSplit.isEmpty()) {
        m_pendingSplit += frame;
        if (!m_pSplitTimer->isActive())
            m_pSplitTimer->start();
        return;
    }
    m_pSocket->write(frame);
}

void SimConnection::drainSplit()
{
    if (!m_pSocket || m_pSocket->state() != QAbstractSocket::ConnectedState) {
        m_pendingSplit.clear();
        m_pSplitTimer->stop();
        return;
    }
    const int piece = m_pServer->faults().splitWriteBytes;
    const int n = int(piece > 0 ? qMin<qint64>(piece, m_pendingSplit.size()) : m_pendingSplit.size());
    m_pSocket->write(m_pendingSplit.constData(), n);
    m_pSocket->flush();
    m_pendingSplit.remove(0, n);
    if (m_pendingSplit.isEmpty())
        m_pSplitTimer->stop();
}
