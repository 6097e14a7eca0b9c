#pragma once

// The manager's side of one link for catalogue tests: a QTcpServer on 127.0.0.1 running on a
// thread of its own (so that the test thread may block in a synchronous request), which records
// every request, answers each with the status and payload set for its code (1 and no payload by
// default) and writes pushes on demand.

#include <QByteArray>
#include <QDataStream>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QtEndian>

#include <condition_variable>
#include <functional>
#include <mutex>

struct RecordedRequest
{
    qint16 code = 0;
    QByteArray payload;
};

class FakeManagerSide : public QObject
{
public:
    QTcpServer *server = nullptr;
    QTcpSocket *peer = nullptr;
    QByteArray buffer;
    // Standard primitives, which ThreadSanitizer follows in an uninstrumented Qt.
    std::mutex mutex;
    QList<RecordedRequest> requests;
    QMap<int, QPair<int, QByteArray>> answers;

    void listen()
    {
        server = new QTcpServer(this);
        server->listen(QHostAddress::LocalHost, 0);
        connect(server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server->nextPendingConnection()) {
                peer = s;
                buffer.clear();
                connect(s, &QIODevice::readyRead, this, [this, s] { read(s); });
            }
        });
    }

    void read(QTcpSocket *s)
    {
        buffer += s->readAll();
        while (buffer.size() >= 8) {
            const qint64 len = qFromBigEndian<qint64>(buffer.constData());
            if (buffer.size() < 8 + len)
                break;
            QDataStream in(buffer.mid(8, int(len)));
            in.setVersion(QDataStream::Qt_5_5);
            qint16 kind = 0;
            RecordedRequest r;
            QDateTime stamp;
            QString id;
            qint16 status = 0;
            in >> kind >> r.code >> stamp >> id >> status >> r.payload;
            buffer.remove(0, int(8 + len));
            QPair<int, QByteArray> answer(1, QByteArray());
            {
                std::lock_guard<std::mutex> locker(mutex);
                requests.append(r);
                answer = answers.value(r.code, answer);
            }
            QByteArray packet;
            QDataStream out(&packet, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_5_5);
            out << qint64(0) << qint16(2) << r.code << QDateTime::currentDateTimeUtc() << id
                << qint16(answer.first) << answer.second;
            out.device()->seek(0);
            out << qint64(packet.size() - 8);
            s->write(packet);
        }
    }
};

class FakeManager
{
public:
    FakeManager()
    {
        m_side.moveToThread(&m_thread);
        m_thread.start();
        run([this] { m_side.listen(); });
    }
    ~FakeManager()
    {
        run([this] {
            delete m_side.server;
            m_side.server = nullptr;
        });
        m_thread.quit();
        m_thread.wait();
    }

    quint16 port()
    {
        quint16 p = 0;
        run([&] { p = m_side.server->serverPort(); });
        return p;
    }

    void setAnswer(int code, int status, const QByteArray &payload)
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        m_side.answers.insert(code, qMakePair(status, payload));
    }

    QList<RecordedRequest> requests()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        return m_side.requests;
    }

    void clearRequests()
    {
        std::lock_guard<std::mutex> locker(m_side.mutex);
        m_side.requests.clear();
    }

    bool hasPeer()
    {
        bool connected = false;
        run([&] { connected = m_side.peer != nullptr; });
        return connected;
    }

    // Writes raw bytes to the connected client.
    void write(const QByteArray &bytes)
    {
        run([&] {
            if (m_side.peer)
                m_side.peer->write(bytes);
        });
    }

private:
    // Runs f on the manager's thread and waits for it. The hand-over goes through a standard
    // mutex held across the post, so that ThreadSanitizer sees both directions of it.
    void run(const std::function<void()> &f)
    {
        std::unique_lock<std::mutex> lock(m_handOver);
        m_bDone = false;
        QMetaObject::invokeMethod(
            &m_side,
            [this, &f] {
                std::lock_guard<std::mutex> guard(m_handOver);
                f();
                m_bDone = true;
                m_wake.notify_one();
            },
            Qt::QueuedConnection);
        m_wake.wait(lock, [this] { return m_bDone; });
    }

    // Created before the manager's thread starts, so that the thread sees them initialised.
    std::mutex m_handOver;
    std::condition_variable m_wake;
    bool m_bDone = false;
    QThread m_thread;
    FakeManagerSide m_side;
};
