#include "simrunner.h"

#include <QMetaObject>

#include <condition_variable>
#include <mutex>

// Runs the task handed over by SimRunner on the simulator's thread. The hand-over itself uses
// standard primitives, so that ThreadSanitizer sees it in an uninstrumented Qt.
class SimRunnerContext : public QObject
{
    Q_OBJECT

public:
    std::mutex mutex;
    std::condition_variable done;
    std::function<void()> task;
    bool bDone = false;

    Q_INVOKABLE void runTask()
    {
        std::function<void()> f;
        {
            std::lock_guard<std::mutex> locker(mutex);
            f = task;
        }
        f();
        std::lock_guard<std::mutex> locker(mutex);
        bDone = true;
        done.notify_all();
    }
};

SimRunner::SimRunner(const SimScenario &scenario)
{
    m_thread.setObjectName(QStringLiteral("trxm-sim"));
    // Built before the thread starts, so that its construction is ordered before every use there.
    m_pContext = new SimRunnerContext;
    m_pContext->moveToThread(&m_thread);
    m_thread.start();
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
    std::unique_lock<std::mutex> locker(m_pContext->mutex);
    m_pContext->task = fn;
    m_pContext->bDone = false;
    QMetaObject::invokeMethod(m_pContext, "runTask", Qt::QueuedConnection);
    m_pContext->done.wait(locker, [this] { return m_pContext->bDone; });
    m_pContext->task = nullptr;
}

#include "simrunner.moc"
