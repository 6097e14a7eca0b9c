#include "simrunner.h"

#include <QMetaObject>

SimRunner::SimRunner(const SimScenario &scenario)
{
    m_thread.setObjectName(QStringLiteral("trxm-sim"));
    m_thread.start();
    m_pContext = new QObject;
    m_pContext->moveToThread(&m_thread);
    run([&] { m_pServer = new SimServer(scenario); });
}

SimRunner::~SimRunner()
{
    run([this] {
        delete m_pServer;
        m_pServer = nullptr;
    });
    m_thread.quit();
    m_thread.wait();
    delete m_pContext;
}

quint16 SimRunner::start(quint16 port)
{
    m_iPort = call([port](SimServer &s) -> quint16 {
        QString error;
        return s.listen(QHostAddress::LocalHost, port, &error) ? s.serverPort() : quint16(0);
    });
    return m_iPort;
}

void SimRunner::run(const std::function<void()> &fn)
{
    Q_ASSERT(QThread::currentThread() != &m_thread);
    QMetaObject::invokeMethod(m_pContext, fn, Qt::BlockingQueuedConnection);
}
