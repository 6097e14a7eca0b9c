#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/syscall.h>
#include <unistd.h>

// Makes the real client crash on one of its worker threads, from outside: the client takes no
// options, so the fault is a SIGSEGV sent to that one thread.
class tst_ClientCrash : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void crashOnWorkerThreadWritesItsDumpAndTellsTheOperator();

private:
    QString dataFolder() const;
    QStringList workerThreads(qint64 pid) const;
    bool waitForLogLine(const QString &needle, int timeoutMs) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ClientCrash::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("runtime")));
    QFile::setPermissions(m_dir->filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_ClientCrash::cleanup()
{
    m_dir.reset();
}

QString tst_ClientCrash::dataFolder() const
{
    return m_dir->filePath(QStringLiteral("data/Orvane/QMX-MRL1"));
}

QStringList tst_ClientCrash::workerThreads(qint64 pid) const
{
    QStringList tids =
        QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    tids.removeAll(QString::number(pid));
    return tids;
}

bool tst_ClientCrash::waitForLogLine(const QString &needle, int timeoutMs) const
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile log(dataFolder() + QStringLiteral("/Logs/Tarsa.log"));
        if (log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains(needle))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void tst_ClientCrash::crashOnWorkerThreadWritesItsDumpAndTellsTheOperator()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir->filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess client;
    client.setProcessEnvironment(env);
    client.start(QStringLiteral(TARSA_BIN), QStringList());
    QVERIFY(client.waitForStarted());
    const qint64 pid = client.processId();
    QVERIFY(waitForLogLine(QStringLiteral("<MRL> Started"), 20000));

    // The client starts its worker threads while it builds its window and tries the link.
    QStringList workers;
    QElapsedTimer timer;
    timer.start();
    while ((workers = workerThreads(pid)).isEmpty() && timer.elapsed() < 20000)
        QTest::qWait(50);
    QVERIFY2(!workers.isEmpty(), "the client runs no thread besides the main one");
    const long tid = workers.last().toLong();
    QVERIFY(tid > 0 && tid != pid);

    QCOMPARE(::syscall(SYS_tgkill, static_cast<long>(pid), tid, SIGSEGV), 0L);
    QVERIFY(client.waitForFinished(30000));
    QCOMPARE(client.exitStatus(), QProcess::CrashExit);

    const QString tidHex = QString::number(tid, 16);
    const QStringList dumps = QDir(dataFolder()).entryList({QStringLiteral("OXA.exe-*.dmp")}, QDir::Files);
    QCOMPARE(dumps.size(), 1);
    static const QRegularExpression name(QStringLiteral("^OXA\\.exe-\\d{14}-0x([0-9a-f]+)\\.dmp$"));
    const QRegularExpressionMatch m = name.match(dumps.first());
    QVERIFY2(m.hasMatch(), qPrintable(dumps.first()));
    QCOMPARE(m.captured(1), tidHex);

    const QString dumpPath = dataFolder() + QLatin1Char('/') + dumps.first();
    QFile dump(dumpPath);
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QString dumpText = QString::fromUtf8(dump.readAll());
    QVERIFY(dumpText.contains(QStringLiteral("signal: 11 (SIGSEGV)")));
    QVERIFY(dumpText.contains(QStringLiteral("thread: 0x") + tidHex + QLatin1Char('\n')));

    const QString expectedMessage =
        QStringLiteral("QMX-TRX1: A critical error has occurred. \t\t\t\t\t \t\t\t\t\t\t \n"
                       "Please send the crash dump file\n \"") +
        QDir::cleanPath(dumpPath) + QStringLiteral("\"\n to vendor for technical support.");
    const QString err = QString::fromLocal8Bit(client.readAllStandardError());
    QVERIFY2(err.contains(expectedMessage), qPrintable(err));
    QVERIFY(waitForLogLine(QStringLiteral("Please send the crash dump file"), 1000));
}

QTEST_GUILESS_MAIN(tst_ClientCrash)
#include "tst_clientcrash.moc"
